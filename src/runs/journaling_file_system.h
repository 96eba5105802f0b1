#pragma once

#include <QDateTime>
#include <functional>
#include <memory>
#include <optional>

#include "platform/file_system.h"
#include "runs/listed_inodes.h"
#include "runs/run_journal.h"

// The file system every run goes through: it passes each call on to the real one and,
// while a run is open, writes the run's record. A move is written (with the item's
// device and inode) before it is made and marked done after; a folder about to be made or
// removed, a temporary copy about to begin and a complete copy about to be swapped into
// place are written before too. So filing, archiving, unfiling, name changes (the case
// pass's temporary names too), pack copies and application removal are all recorded
// without knowing of it. A step whose record cannot be written is not made.
class JournalingFileSystem : public FileSystem {
  public:
    // stateFolder is $XDG_STATE_HOME/Desktidy: records go in its "history" folder, folder
    // locks in its "locks" folder.
    JournalingFileSystem(FileSystem& inner, Path stateFolder);
    ~JournalingFileSystem() override;

    FileSystem& inner() { return inner_; }
    Path historyFolder() const { return stateFolder_ / "history"; }
    Path lockFolder() const { return stateFolder_ / "locks"; }

    // Opens a run. Its record is made at its first change, so that a run that changes
    // nothing (a question answered Cancel) leaves no record.
    void beginRun(RunHeader header);
    bool runOpen() const { return header_.has_value(); }
    // A further folder the open run works on (file all, for one).
    void noteFolder(const Path& folder);
    // The items one pass of the open run means to move, so that a run stopped half-way
    // can tell how many of how many it moved.
    void notePlanned(qsizetype items);
    // Ends the open run with its outcome and result line; its number, or 0 when it changed
    // nothing (and so has no record).
    int endRun(RunOutcome outcome, const QString& result = {});
    // What the last endRun returned.
    int lastRunNumber() const { return lastRunNumber_; }

    // The time written at the head of each record; tests fix it.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTimeUtc(); };
    // The size a record may not grow beyond; tests make it small.
    qint64 recordLimit = maxRecordBytes;
    // Why the open run's record could not be written last; ok while it could.
    const FileError& recordError() const { return recordError_; }

    FileError readFolder(const Path& folder, NameList& names) override;
    std::optional<FileStatus> status(const Path& path) override;
    FileError moveNoReplace(const Path& from, const Path& to) override;
    // Written as one move: its intent before anything (the refused move's, when it was
    // just tried), the temporary name of the copy, and once the copy is in place, its
    // identity ("across"), stored before the old item is removed.
    FileError moveAcrossFileSystems(const Path& from, const Path& to) override;
    FileError makeDirectory(const Path& path) override;
    FileError removeEmptyDirectory(const Path& path) override;
    FileError removeAll(const Path& path) override;
    FileError readSmallFile(const Path& path, QByteArray& contents, qsizetype limit) override;
    // Written before, with the contents, and marked with the new file's identity after.
    FileError writeNewFile(const Path& path, const QByteArray& contents) override;
    // The file's contents are written into the record before it goes, so that an undo can
    // write it again; a file that cannot be read whole (over keptFileLimit) is not removed.
    FileError removeFile(const Path& path) override;
    static constexpr qsizetype keptFileLimit = 64 * 1024;
    FileError copyEntry(const Path& from, const Path& to) override;
    FileError copyAttributes(const Path& from, const Path& to) override;
    FileError exchange(const Path& first, const Path& second) override;

  private:
    // The item's device and inode: from the run's listing of its folder when that can be
    // trusted; else, on the real file system, by its name in the folder last asked about,
    // held open: a filing asks about thousands of items of one folder, and the walk of the
    // whole path would cost as much as the move.
    std::optional<ItemIdentity> identityOf(const Path& path);
    void forgetFolder();

    // The open run's journal, made now if need be; nullptr (error set) when it cannot be.
    RunJournal* journal(FileError& error);
    bool noteIfTemporary(const Path& path, FileError& error);
    // Keeps a record's failure for recordError; passes ok on.
    bool recorded(bool ok, const FileError& error);
    // Writes the intent of a move and returns its id: nullopt when there is no item at
    // from, 0 when the record could not be written (error set).
    std::optional<qint64> noteMoveIntent(const Path& from, const Path& to, FileError& error);
    // The last move, when it was refused as crossing file systems: moveAcrossFileSystems
    // then makes it under the same intent.
    struct RefusedMove {
        qint64 id;
        Path from, to;
    };
    std::optional<RefusedMove> refusedMove_;

    FileSystem& inner_;
    Path stateFolder_;
    std::optional<RunHeader> header_;
    QList<Path> moreFolders_;
    qsizetype plannedBeforeRecord_ = 0;
    std::unique_ptr<RunJournal> journal_;
    FileError recordError_;
    int lastRunNumber_ = 0;
    const bool innerIsLocal_;
    Path heldFolder_;
    int heldFolderFd_ = -1;
    ListedInodes listed_;  // the open run's listings, on the real file system only
};

// $XDG_STATE_HOME/Desktidy, or home/.local/state/Desktidy when that is not set.
Path desktidyStateFolder(const QString& home);
