#include "runs/run_scope.h"

#include "runs/run_history.h"

namespace {

// The folders this process has locked, so that a scope inside another does not wait on
// its own run's lock.
QList<Path>& foldersLockedHere() {
    static QList<Path> folders;
    return folders;
}

}  // namespace

RunScope::RunScope(FileSystem& files, Prompter& prompter, const QByteArray& kind,
                   const Path& folder, QList<QPair<QByteArray, QByteArray>> options) {
    journal_ = dynamic_cast<JournalingFileSystem*>(&files);
    if (!journal_) return;
    if (!folder.isEmpty() && !foldersLockedHere().contains(folder)) {
        if (lock_.acquire(journal_->lockFolder(), folder) == FolderLock::Outcome::Busy) {
            refused_ = true;
            prompter.criticalNotice(QStringLiteral("Another Desktidy run is changing ") +
                                    folder.display() +
                                    QStringLiteral(". Try again when it has finished."));
            return;
        }
        lockedFolder_ = folder;
        foldersLockedHere() << folder;
    }
    if (journal_->runOpen()) {
        if (!folder.isEmpty()) journal_->noteFolder(folder);
        return;
    }
    journal_->beginRun({kind, folder, std::move(options)});
    opened_ = true;
}

RunScope::~RunScope() {
    if (!lockedFolder_.isEmpty()) foldersLockedHere().removeOne(lockedFolder_);
    if (!opened_) return;
    if (journal_->endRun(stopped_) != 0)
        RunHistory(journal_->historyFolder()).prune(QDateTime::currentDateTimeUtc());
}

RunResult RunScope::finish(RunResult result) {
    stopped_ = stopped_ || result == RunResult::Cancelled;
    return result;
}
