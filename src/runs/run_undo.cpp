#include "runs/run_undo.h"

#include <cerrno>

#include "platform/copy_tree.h"

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

    // An item on another file system comes back as a copy, and only a complete copy lets
    // the moved item go. The move is tried first, so that this run's record holds it as a
    // move across file systems, which an undo of this undo makes again.
    void copyBack(const RunEntry& entry) {
        if (!isAt(files_, entry.target, entry.identity)) {
            skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return;
        }
        const FileError moved = files_.moveNoReplace(entry.target, entry.path);
        if (moved.ok()) {
            ++outcome_.movedBack;
            return;
        }
        if (moved.code == EEXIST) {
            skip(entry.target,
                 QStringLiteral("its old place, %1, is taken").arg(entry.path.display()));
            return;
        }
        if (moved.code != EXDEV) {
            fail(entry.target, moved.message);
            return;
        }
        // The copy is part of that one move, not folders of its own for an undo to remove.
        if (FileError copied = copyTree(files_.inner(), entry.target, entry.path); !copied.ok()) {
            if (files_.exists(entry.path)) (void)files_.removeAll(entry.path);
            fail(entry.target, copied.message);
            return;
        }
        if (FileError removed = files_.removeAll(entry.target); !removed.ok()) {
            fail(entry.target,
                 QStringLiteral("it was copied back to %1 but could not be removed. %2")
                     .arg(entry.path.display(), removed.message));
            return;
        }
        ++outcome_.movedBack;
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
