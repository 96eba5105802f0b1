#include "runs/run_undo.h"

#include <cerrno>

namespace {

bool isAt(FileSystem& files, const Path& path, const ItemIdentity& identity) {
    const std::optional<FileStatus> status = files.status(path);
    return status && ItemIdentity{status->device, status->inode} == identity;
}

class Undoer {
  public:
    Undoer(JournalingFileSystem& files, UndoOutcome& outcome, bool runEnded,
           const TrashLocation& trash)
        : files_(files), outcome_(outcome), runEnded_(runEnded), trash_(trash) {}

    void undo(const RunEntry& entry) {
        switch (entry.kind) {
            case RunEntry::Kind::Move:
                return moveBack(entry);
            case RunEntry::Kind::MadeFolder:
                // A folder the run did not make after all stays; one a killed run was
                // making counts as made. Removed only when nothing is left in it, and not
                // by its identity: an undo of an unfiling makes the folder again, as a new one.
                if (!entry.done && runEnded_) return;
                if (files_.removeEmptyDirectory(entry.path).ok()) removeTrashRecordOf(entry.path);
                return;
            case RunEntry::Kind::RemovedFolder:
                if (!files_.exists(entry.path)) (void)files_.makeDirectory(entry.path);
                return;
            case RunEntry::Kind::Temporary:
                return;
        }
    }

  private:
    // A folder made in the Trash (application removal's "DKT Deleted Apps") came with its
    // Trash record, which names nothing once the folder is gone. Only in that Trash: a
    // user's folder named "files" holds no Trash records.
    void removeTrashRecordOf(const Path& folder) {
        if (folder.parent().cleaned() != trash_.files().cleaned()) return;
        const Path record = trash_.infoFileFor(folder.fileName());
        const std::optional<FileStatus> status = files_.status(record);
        if (status && status->kind == FileStatus::Kind::File) (void)files_.removeAll(record);
    }

    void moveBack(const RunEntry& entry) {
        if (entry.acrossDevices) return copyBack(entry);
        if (!isAt(files_, entry.target, entry.identity)) {
            // Not moved after all (the run stopped first), or already back: nothing to do.
            if (isAt(files_, entry.path, entry.identity)) return;
            if (entry.done)
                skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return;
        }
        const FileError error = files_.moveNoReplace(entry.target, entry.path);
        if (error.ok())
            ++outcome_.movedBack;
        else if (error.code == EEXIST)
            skip(entry.target,
                 QStringLiteral("its old place, %1, is taken").arg(entry.path.display()));
        else
            fail(entry.target, error.message);
    }

    // An item on another file system comes back as the move that took it there: by copy,
    // the item leaving only once its copy is complete. The plain move is tried first, so
    // that this run's record holds both as one move, which an undo of this undo makes again.
    void copyBack(const RunEntry& entry) {
        if (!isAt(files_, entry.target, entry.identity)) {
            skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return;
        }
        FileError moved = files_.moveNoReplace(entry.target, entry.path);
        if (moved.code == EXDEV) moved = files_.moveAcrossFileSystems(entry.target, entry.path);
        if (moved.ok())
            ++outcome_.movedBack;
        else if (moved.code == EEXIST)
            skip(entry.target,
                 QStringLiteral("its old place, %1, is taken").arg(entry.path.display()));
        else
            fail(entry.target, moved.message);
    }

    void skip(const Path& path, const QString& why) {
        outcome_.skipped << path.display() + QStringLiteral(": ") + why;
    }
    void fail(const Path& path, const QString& why) {
        outcome_.failed << path.display() + QStringLiteral(": ") + why;
    }

    JournalingFileSystem& files_;
    UndoOutcome& outcome_;
    bool runEnded_;
    const TrashLocation& trash_;
};

}  // namespace

RunReport UndoOutcome::report(const RunRecord& record) const {
    RunReport report;
    report.kind = RunKind::Undo;
    report.subject =
        QStringLiteral("run %1 (%2)").arg(record.number).arg(runKindTitle(record.kind));
    report.done = movedBack;
    report.nameTaken = static_cast<int>(skipped.size());
    report.failed = static_cast<int>(failed.size());
    report.cancelled = stopped;
    report.details = failed + skipped;
    return report;
}

std::optional<QString> whyNotUndoable(const RunHistory& history, const RunRecord& record) {
    const auto refusal = [&](const QString& why) {
        return QStringLiteral("Run %1 (%2) %3")
            .arg(record.number)
            .arg(runKindTitle(record.kind), why);
    };
    if (!isUndoable(record.kind))
        return refusal(QStringLiteral("made copies, which cannot be undone."));
    const RunState state = history.stateOf(record);
    if (state == RunState::Undone) return refusal(QStringLiteral("has been undone already."));
    if (state == RunState::Running) return refusal(QStringLiteral("is still running."));
    return std::nullopt;
}

UndoOutcome undoSteps(JournalingFileSystem& files, const RunRecord& record,
                      const TrashLocation& trash, RunObserver& observer) {
    UndoOutcome outcome;
    Undoer undoer(files, outcome, !record.end.isEmpty(), trash);
    const qsizetype total = record.entries.size();
    observer.passBegins(QStringLiteral("Undoing..."), total, false);
    qsizetype done = 0;
    for (auto entry = record.entries.crbegin(); entry != record.entries.crend(); ++entry) {
        if (observer.stopRequested()) {
            outcome.stopped = true;
            break;
        }
        observer.step(++done, total, entry->target.display());
        undoer.undo(*entry);
    }
    observer.passEnds();
    return outcome;
}

void markUndone(const RunHistory& history, const RunRecord& record, const UndoOutcome& outcome,
                int undoRun) {
    // A run whose undo could not be recorded, or that left items it should have moved
    // back, stays undoable: a later undo takes the rest.
    if (outcome.stopped || !outcome.failed.isEmpty()) return;
    // An undo that changed nothing has no record: it counts only when nothing was left to
    // move back (a run that moved nothing), and it undoes no undo.
    if (undoRun == 0 && (outcome.movedBack > 0 || !outcome.skipped.isEmpty())) return;
    (void)history.mark(record.number, "undone-by " + QByteArray::number(undoRun));
    if (undoRun == 0) return;
    if (record.kind == "undo")
        if (const int undid = record.option("undoes").toInt(); undid > 0)
            (void)history.mark(undid, "redone-by " + QByteArray::number(undoRun));
}
