#pragma once

#include <unistd.h>

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <memory>

#include "platform/file_error.h"
#include "runs/record_file.h"
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
// process died. The file is made without a name, locked and given its head before it takes
// its number, so that no other process ever sees it unlocked or empty. Lines go into a
// shared mapping of the file, that is straight into the kernel's page cache: what is stored
// there outlives a killed process, without a system call per line (where the file cannot
// be mapped, write(2) does the same). The space is reserved ahead in steps (fallocate), so
// a full disk refuses the next step instead of failing a store.
// Every step that undo or recovery needs is stored before the step is made; only the
// "done" marks wait for the next line or the end, as a mark lost in a crash is found
// again from the items themselves. The end trims the file to its lines and syncs it to
// disk; a killed run's record ends in zero bytes, which readers pass over.
class RunJournal {
  public:
    // Creates the record (and the history folder); nullptr with error set when it cannot.
    // The record never grows beyond limit bytes: the store that would is refused.
    static std::unique_ptr<RunJournal> create(const Path& historyFolder, const RunHeader& header,
                                              const QDateTime& time, FileError& error,
                                              qint64 limit = maxRecordBytes);
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    int number() const { return number_; }

    // Stores the intent of a move, with the marks waiting before it; returns the move's
    // id, or 0 when the record could not be written (error set): the move must then not
    // be made. A "clock" line goes before it whenever the clock has moved on since the
    // last one: a time after the item was there and (to the millisecond) before its move.
    qint64 noteMove(const Path& from, const Path& to, const ItemIdentity& identity,
                    FileError& error);
    // The same for the swap of a complete copy at first with the item at second.
    qint64 noteExchange(const Path& first, const Path& second, const ItemIdentity& identity,
                        FileError& error);
    // Stored at once, each before its step is made (or, for a move's arrival on another
    // file system and a folder made, as soon as it is known).
    bool noteTemporary(const Path& path, FileError& error);
    bool noteMakingFolder(const Path& path, FileError& error);
    bool noteMadeFolder(const Path& path, const ItemIdentity& identity, FileError& error);
    bool noteRemovingFolder(const Path& path, FileError& error);
    // The item of move id now lives on another file system, as the copy with this
    // identity, and its old one is about to be removed.
    bool noteMovedAcross(qint64 id, const ItemIdentity& identity, FileError& error);
    // The same for a small file about to be made, and for one about to be removed: each
    // with what it holds, so that an undo can remove the one or write the other again.
    bool noteWritingFile(const Path& path, const QByteArray& contents, FileError& error);
    bool noteRemovingFile(const Path& path, const QByteArray& contents, FileError& error);
    // The file is made, with this identity (after a "clock" line: it is born before it).
    bool noteWroteFile(const Path& path, const ItemIdentity& identity, FileError& error);
    bool noteFolder(const Path& folder, FileError& error);
    bool notePlanned(qsizetype items, FileError& error);
    // Kept until the next store.
    void noteDone(qint64 id);

    // Writes the run's result line and its end mark, and syncs; the lock goes with the file.
    void finish(RunOutcome outcome, const QString& result);

    // How the end syncs the record to disk: fsync, or a test's stand-in that counts it.
    static inline int (*syncFile)(int fd) = ::fsync;

  private:
    RunJournal(int fd, qint64 limit) : fd_(fd), limit_(limit) {}
    bool write(QByteArrayView lines, FileError& error);
    // Stores the waiting lines, of which those from waitingBefore on are the new one; on
    // failure only the marks before it stay waiting.
    bool storeWaiting(qsizetype waitingBefore, FileError& error);
    // The next step of the mapping, its space reserved; false when there is none.
    bool mapNextStep();
    void unmap();
    qint64 noteStep(const char* key, const Path& from, const Path& to, const ItemIdentity& identity,
                    FileError& error);
    void appendClockIfMoved();

    int fd_;
    qint64 limit_;
    char* map_ = nullptr;
    qint64 mapStart_ = 0;  // the file offset the mapping starts at
    qint64 length_ = 0;    // bytes of lines written
    bool mapped_ = true;   // false: write(2) instead
    int number_ = 0;
    qint64 lastId_ = 0;
    qint64 lastClock_ = 0;  // the milliseconds of the last "clock" line
    QByteArray waiting_;    // marks to store with the next line; its room is kept
    Path path_;
};

// Appends lines (without their last line break) to a finished record: an undo mark, a
// stop that has been told. False when it is no record or cannot be written.
bool appendToRecord(const Path& recordPath, const QByteArray& lines);
