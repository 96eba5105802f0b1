#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <memory>

#include "platform/file_error.h"
#include "runs/run_record.h"

// How a run ended, as its record's last line says: "end done", "end stopped" (Cancel, a
// signal) or "end failed" (items that should have moved did not).
enum class RunOutcome { Done, Stopped, Failed };

// What a run is, written at the head of its record.
struct RunHeader {
    QByteArray kind;
    Path folder;
    QList<QPair<QByteArray, QByteArray>> options;
};

// Writes the record of one run: a new file "<number>.run" in the history folder, held
// locked (flock) while the run lasts, so that a reader can tell a live run from one whose
// process died. Lines go into a shared mapping of the file, that is straight into the
// kernel's page cache: what is stored there outlives a killed process, without a system
// call per line (where the file cannot be mapped, write(2) does the same). The space is
// reserved ahead in steps (fallocate), so a full disk refuses the next step instead of
// failing a store. The intent of a move is stored before the move; the marks that follow a
// step ("done") wait for the next intent or the end, as a mark lost in a crash is found
// again from the items themselves. The end trims the file to its lines and syncs it to
// disk; a killed run's record ends in zero bytes, which readers pass over.
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
    // The same for a folder about to be made.
    bool noteMakingFolder(const Path& path, FileError& error);
    // Written at once: the item of move id now lives on another file system, as the copy
    // with this identity, and its old one is about to be removed.
    bool noteMovedAcross(qint64 id, const ItemIdentity& identity, FileError& error);
    // The same for a small file about to be made, and for one about to be removed: each
    // with what it holds, so that an undo can remove the one or write the other again.
    bool noteWritingFile(const Path& path, const QByteArray& contents, FileError& error);
    bool noteRemovingFile(const Path& path, const QByteArray& contents, FileError& error);
    // Marks kept until the next write.
    void noteDone(qint64 id);
    void noteWroteFile(const Path& path, const ItemIdentity& identity);
    void noteMadeFolder(const Path& path, const ItemIdentity& identity);
    void noteRemovedFolder(const Path& path);
    void noteFolder(const Path& folder);
    void notePlanned(qsizetype items);

    // Writes the run's result line and its end mark, and syncs; the lock goes with the file.
    void finish(RunOutcome outcome, const QString& result);

  private:
    RunJournal(int fd, int number) : fd_(fd), number_(number) {}
    bool write(QByteArrayView lines, FileError& error);
    // Stores the waiting lines, of which those from waitingBefore on are the new one; on
    // failure only the marks before it stay waiting.
    bool storeWaiting(qsizetype waitingBefore, FileError& error);
    // The next step of the mapping, its space reserved; false when there is none.
    bool mapNextStep();
    void unmap();

    int fd_;
    char* map_ = nullptr;
    qint64 mapStart_ = 0;  // the file offset the mapping starts at
    qint64 length_ = 0;    // bytes of lines written
    bool mapped_ = true;   // false: write(2) instead
    int number_;
    qint64 lastId_ = 0;
    QByteArray waiting_;  // marks to store with the next line; its room is kept
    Path path_;
};

// Appends one line to a finished record (an undo mark, a stop that has been told).
bool appendToRecord(const Path& recordPath, const QByteArray& line);
