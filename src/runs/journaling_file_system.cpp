#include "runs/journaling_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <typeinfo>
#include <utility>

#include "platform/move_across.h"

namespace {

ItemIdentity identityFrom(const FileStatus& status) { return {status.device, status.inode}; }

}  // namespace

Path desktidyStateFolder(const QString& home) {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = home + QStringLiteral("/.local/state");
    return Path(QFile::encodeName(state)) / "Desktidy";
}

JournalingFileSystem::JournalingFileSystem(FileSystem& inner, Path stateFolder)
    : inner_(inner),
      stateFolder_(std::move(stateFolder)),
      innerIsLocal_(typeid(inner) == typeid(LocalFileSystem)) {}

JournalingFileSystem::~JournalingFileSystem() {
    if (runOpen()) (void)endRun(RunOutcome::Stopped);
    forgetFolder();
}

void JournalingFileSystem::forgetFolder() {
    if (heldFolderFd_ >= 0) ::close(heldFolderFd_);
    heldFolderFd_ = -1;
    heldFolder_ = Path();
}

std::optional<ItemIdentity> JournalingFileSystem::identityOf(const Path& path) {
    if (innerIsLocal_) {
        const Path folder = path.parent();
        if (folder != heldFolder_) {
            forgetFolder();
            heldFolderFd_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (heldFolderFd_ >= 0) heldFolder_ = folder;
        }
        struct statx item;
        if (heldFolderFd_ >= 0 &&
            ::statx(heldFolderFd_, path.fileName().constData(),
                    AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO, &item) == 0)
            return ItemIdentity{makedev(item.stx_dev_major, item.stx_dev_minor), item.stx_ino};
    }
    // Not found by the folder held (it may have been moved meanwhile): by the whole path.
    const std::optional<FileStatus> status = inner_.status(path);
    if (!status) return std::nullopt;
    return ItemIdentity{status->device, status->inode};
}

void JournalingFileSystem::beginRun(RunHeader header) {
    if (runOpen()) (void)endRun(RunOutcome::Stopped);
    header_ = std::move(header);
    recordError_ = {};
    moreFolders_.clear();
    plannedBeforeRecord_ = 0;
    listed_.clear();
    // Made now, not at the first change: a run that makes the missing folders of a path
    // (the Trash's, under ~/.local) must not find some of them made meanwhile by us.
    QDir().mkpath(QFile::decodeName(historyFolder().bytes()));
}

bool JournalingFileSystem::recorded(bool ok, const FileError& error) {
    if (!ok) recordError_ = error;
    return ok;
}

void JournalingFileSystem::noteFolder(const Path& folder) {
    if (!runOpen() || header_->folder == folder || moreFolders_.contains(folder)) return;
    moreFolders_ << folder;
    FileError error;
    if (journal_) recorded(journal_->noteFolder(folder, error), error);
}

void JournalingFileSystem::notePlanned(qsizetype items) {
    if (!runOpen()) return;
    FileError error;
    if (journal_)
        recorded(journal_->notePlanned(items, error), error);
    else
        plannedBeforeRecord_ += items;
}

int JournalingFileSystem::endRun(RunOutcome outcome, const QString& result) {
    refusedMove_.reset();
    int number = 0;
    if (journal_) {
        journal_->finish(outcome, result);
        number = journal_->number();
    }
    journal_.reset();
    header_.reset();
    listed_.clear();
    lastRunNumber_ = number;
    return number;
}

RunJournal* JournalingFileSystem::journal(FileError& error) {
    if (!journal_ && header_) {
        journal_ = RunJournal::create(historyFolder(), *header_, clock(), error, recordLimit);
        if (!journal_) recordError_ = error;
        bool written = journal_ != nullptr;
        for (const Path& folder : moreFolders_)
            written = written && journal_->noteFolder(folder, error);
        if (written && plannedBeforeRecord_ > 0)
            written = journal_->notePlanned(plannedBeforeRecord_, error);
        if (journal_ && !recorded(written, error)) return nullptr;
    }
    return journal_.get();
}

bool JournalingFileSystem::noteIfTemporary(const Path& path, FileError& error) {
    if (!runOpen() || !isTemporaryCopyName(path.fileName())) return true;
    RunJournal* record = journal(error);
    return recorded(record && record->noteTemporary(path, error), error);
}

FileError JournalingFileSystem::readFolder(const Path& folder, NameList& names) {
    const FileError error = inner_.readFolder(folder, names);
    // Only a listing made within the run: one from before (a preview) may be old news.
    if (error.ok() && runOpen() && innerIsLocal_) listed_.remember(folder, names);
    return error;
}

std::optional<FileStatus> JournalingFileSystem::status(const Path& path) {
    return inner_.status(path);
}

std::optional<qint64> JournalingFileSystem::noteMoveIntent(const Path& from, const Path& to,
                                                           FileError& error) {
    // A folder moved away may be the one held, or hold it.
    if (heldFolder_.isAtOrBelow(from)) forgetFolder();
    // An item whose inode the listing gave is no folder: nothing listed is in it.
    std::optional<ItemIdentity> item = listed_.take(from);
    if (!item) {
        listed_.changed(from);
        item = identityOf(from);
    }
    listed_.changed(to);
    if (!item) return std::nullopt;
    RunJournal* record = journal(error);
    const qint64 id = record ? record->noteMove(from, to, *item, error) : 0;
    (void)recorded(id != 0, error);
    return id;
}

FileError JournalingFileSystem::moveNoReplace(const Path& from, const Path& to) {
    if (!runOpen()) return inner_.moveNoReplace(from, to);
    refusedMove_.reset();
    FileError error;
    const std::optional<qint64> id = noteMoveIntent(from, to, error);
    if (!id) return inner_.moveNoReplace(from, to);  // fails: there is nothing to move
    if (*id == 0) return error;  // a move that could not be written down is not made
    error = inner_.moveNoReplace(from, to);
    if (error.ok()) journal_->noteDone(*id);
    if (error.code == EXDEV) refusedMove_ = RefusedMove{*id, from, to};
    return error;
}

FileError JournalingFileSystem::moveAcrossFileSystems(const Path& from, const Path& to) {
    if (!runOpen()) return moveByCopy(inner_, from, to);
    FileError error;
    std::optional<qint64> id;
    if (refusedMove_ && refusedMove_->from == from && refusedMove_->to == to)
        id = refusedMove_->id;  // the intent is written already
    else
        id = noteMoveIntent(from, to, error);
    refusedMove_.reset();
    if (!id) return moveByCopy(inner_, from, to);  // fails: there is nothing to move
    if (*id == 0) return error;
    // The copy is part of this one move, not folders of its own for an undo to remove: it
    // is made on the inner file system, and only its temporary name is written down, for
    // a recovery to remove a half-made one. Where the complete copy lives is stored before
    // the old item goes, so that an undo finds the item whatever happens next.
    RunJournal* record = journal_.get();
    MoveByCopySteps steps;
    steps.copying = [record](const Path& temporary, FileError& e) {
        return record->noteTemporary(temporary, e);
    };
    steps.copied = [record, id = *id](const FileStatus& copy, FileError& e) {
        return record->noteMovedAcross(id, identityFrom(copy), e);
    };
    return moveByCopy(inner_, from, to, steps);
}

FileError JournalingFileSystem::makeDirectory(const Path& path) {
    if (!runOpen()) return inner_.makeDirectory(path);
    FileError error;
    if (!noteIfTemporary(path, error)) return error;
    // Written before, as a move is: a crash right after the folder is made leaves it
    // empty, and the record is what lets an undo find it.
    RunJournal* record = journal(error);
    if (!recorded(record && record->noteMakingFolder(path, error), error)) return error;
    error = inner_.makeDirectory(path);
    listed_.changed(path);
    // Without its mark the folder counts as made by a killed run, and as not made by one
    // that ended: the mark is the folder's "done".
    FileError unmarked;
    if (error.ok())
        if (const auto made = inner_.status(path))
            recorded(record->noteMadeFolder(path, identityFrom(*made), unmarked), unmarked);
    return error;
}

FileError JournalingFileSystem::removeEmptyDirectory(const Path& path) {
    if (path == heldFolder_) forgetFolder();
    listed_.changed(path);
    // Written before, so that an undo makes the folder again however the run ends. Only a
    // folder that is there: an undo of a removal that failed finds it still there, and
    // leaves it.
    if (runOpen() && inner_.isDirectory(path)) {
        FileError error;
        RunJournal* record = journal(error);
        if (!recorded(record && record->noteRemovingFolder(path, error), error)) return error;
    }
    return inner_.removeEmptyDirectory(path);
}

FileError JournalingFileSystem::removeAll(const Path& path) {
    listed_.changed(path);
    return inner_.removeAll(path);
}

FileError JournalingFileSystem::readSmallFile(const Path& path, QByteArray& contents,
                                              qsizetype limit) {
    return inner_.readSmallFile(path, contents, limit);
}

FileError JournalingFileSystem::writeNewFile(const Path& path, const QByteArray& contents) {
    if (!runOpen()) return inner_.writeNewFile(path, contents);
    FileError error;
    RunJournal* record = journal(error);
    if (!recorded(record && record->noteWritingFile(path, contents, error), error)) return error;
    error = inner_.writeNewFile(path, contents);
    listed_.changed(path);
    // Without its mark the file counts as written by a killed run when it holds what the
    // record says, and as never written by one that ended.
    FileError unmarked;
    if (error.ok())
        if (const auto made = inner_.status(path))
            recorded(record->noteWroteFile(path, identityFrom(*made), unmarked), unmarked);
    return error;
}

FileError JournalingFileSystem::removeFile(const Path& path) {
    if (!runOpen()) return inner_.removeFile(path);
    QByteArray contents;
    FileError error = inner_.readSmallFile(path, contents, keptFileLimit);
    if (!error.ok()) return error;
    RunJournal* record = journal(error);
    if (!recorded(record && record->noteRemovingFile(path, contents, error), error)) return error;
    listed_.changed(path);
    return inner_.removeFile(path);
}

FileError JournalingFileSystem::copyEntry(const Path& from, const Path& to) {
    FileError error;
    if (!noteIfTemporary(to, error)) return error;
    listed_.changed(to);
    return inner_.copyEntry(from, to);
}

FileError JournalingFileSystem::copyAttributes(const Path& from, const Path& to) {
    return inner_.copyAttributes(from, to);
}

FileError JournalingFileSystem::exchange(const Path& first, const Path& second) {
    listed_.changed(first);
    listed_.changed(second);
    if (!runOpen()) return inner_.exchange(first, second);
    refusedMove_.reset();
    if (heldFolder_.isAtOrBelow(first) || heldFolder_.isAtOrBelow(second)) forgetFolder();
    // A copy put in place is one of the run's items, as a move is.
    const std::optional<ItemIdentity> copy = identityOf(first);
    if (!copy) return inner_.exchange(first, second);  // fails: there is nothing to swap
    FileError error;
    RunJournal* record = journal(error);
    const qint64 id = record ? record->noteExchange(first, second, *copy, error) : 0;
    if (!recorded(id != 0, error)) return error;
    error = inner_.exchange(first, second);
    if (error.ok()) record->noteDone(id);
    return error;
}
