#include "runs/run_scope.h"

#include "runs/run_history.h"

namespace {

// The folders this process has locked (by their lock's key), so that a scope inside
// another, or a second spelling of a folder, does not find its own run's lock busy.
QList<QByteArray>& foldersLockedHere() {
    static QList<QByteArray> folders;
    return folders;
}

}  // namespace

RunScope::RunScope(FileSystem& files, Prompter& prompter, const QByteArray& kind,
                   const QList<Path>& folders, QList<QPair<QByteArray, QByteArray>> options) {
    journal_ = dynamic_cast<JournalingFileSystem*>(&files);
    if (!journal_) return;
    for (const Path& folder : folders) {
        const QByteArray key = folder.isEmpty() ? QByteArray() : FolderLock::keyOf(folder);
        if (key.isEmpty() || foldersLockedHere().contains(key)) continue;
        FolderLock lock;
        if (lock.acquire(journal_->lockFolder(), folder) == FolderLock::Outcome::Busy) {
            refused_ = true;
            releaseLocks();
            prompter.criticalNotice(QStringLiteral("Another Desktidy run is changing ") +
                                    folder.display() +
                                    QStringLiteral(". Try again when it has finished."));
            return;
        }
        locks_.push_back(std::move(lock));
        lockedKeys_ << key;
        foldersLockedHere() << key;
    }
    const Path folder = folders.value(0);
    if (journal_->runOpen()) {
        for (const Path& f : folders)
            if (!f.isEmpty()) journal_->noteFolder(f);
        return;
    }
    journal_->beginRun({kind, folder, std::move(options)});
    opened_ = true;
    for (const Path& f : folders.mid(1))
        if (!f.isEmpty()) journal_->noteFolder(f);
}

void RunScope::releaseLocks() {
    for (const QByteArray& key : std::as_const(lockedKeys_)) foldersLockedHere().removeOne(key);
    lockedKeys_.clear();
    locks_.clear();
}

RunScope::~RunScope() {
    // The record ends before the folders are free for another run.
    if (opened_ && journal_->endRun(stopped_) != 0)
        RunHistory(journal_->historyFolder()).prune(QDateTime::currentDateTimeUtc());
    releaseLocks();
}

RunResult RunScope::finish(RunResult result) {
    stopped_ = stopped_ || result == RunResult::Cancelled;
    return result;
}
