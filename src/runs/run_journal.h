#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <memory>

#include "platform/file_error.h"
#include "runs/run_record.h"

// What a run is, written at the head of its record.
struct RunHeader {
    QByteArray kind;
    Path folder;
    QList<QPair<QByteArray, QByteArray>> options;
};

// Writes the record of one run: a new file "<number>.run" in the history folder, held
// locked (flock) while the run lasts, so that a reader can tell a live run from one whose
// process died. Lines are appended with write(2): what is handed to the kernel outlives a
// killed process. The intent of a move is written before the move; the marks that follow a
// step ("done", a made folder) wait for the next intent or the end, as a mark lost in a
// crash is found again from the items themselves. The end syncs the file to disk.
class RunJournal {
  public:
    // Creates the record (and the history folder); nullptr with error set when it cannot.
    static std::unique_ptr<RunJournal> create(const Path& historyFolder, const RunHeader& header,
                                              const QDateTime& time, FileError& error);
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    int number() const { return number_; }

    // Written at once, with the marks waiting before it; returns the move's id, or 0 when
    // the record could not be written (error set): the move must then not be made.
    qint64 noteMove(const Path& from, const Path& to, const ItemIdentity& identity,
                    FileError& error);
    // The same for a temporary copy about to be made.
    bool noteTemporary(const Path& path, FileError& error);
    // Written at once too.
    void noteMadeFolder(const Path& path, const ItemIdentity& identity, FileError& error);
    // Marks kept until the next write.
    void noteDone(qint64 id);
    void noteRemovedFolder(const Path& path);
    void noteFolder(const Path& folder);

    // Writes the end mark ("done" or "stopped") and syncs; the lock goes with the file.
    void finish(bool stopped);

  private:
    RunJournal(int fd, int number) : fd_(fd), number_(number) {}
    bool write(const QByteArray& lines, FileError& error);

    int fd_;
    int number_;
    qint64 lastId_ = 0;
    QByteArray waiting_;
    Path path_;
};

// Appends one line to a finished record (an undo mark, a stop that has been told).
bool appendToRecord(const Path& recordPath, const QByteArray& line);
