#include "runs/run_undo.h"

#include <cerrno>
#include <utility>

namespace {

bool isAt(FileSystem& files, const Path& path, const ItemIdentity& identity) {
    const std::optional<FileStatus> status = files.status(path);
    return status && ItemIdentity{status->device, status->inode} == identity;
}

class Undoer {
  public:
    Undoer(JournalingFileSystem& files, UndoOutcome& outcome, const RunRecord& record,
           const TrashLocation& trash)
        : files_(files),
          outcome_(outcome),
          record_(record),
          runEnded_(!record.end.isEmpty()),
          trash_(trash) {}

    void undo(const RunEntry& entry) {
        switch (entry.kind) {
            case RunEntry::Kind::Move: {
                // A Trash record written back just before (the step after this move in
                // the run) names nothing unless its item is back too.
                const std::optional<Path> record = std::exchange(recordAwaitingItem_, {});
                if (!moveBack(entry) && record && entry.path == trashItemOf(*record))
                    (void)files_.removeFile(*record);
                return;
            }
            case RunEntry::Kind::WroteFile:
                return removeWrittenFile(entry);
            case RunEntry::Kind::RemovedFile:
                return writeRemovedFile(entry);
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
    // The item in the Trash's files/ that path, a record in its info/ folder, is the record
    // of; empty for any other path.
    Path trashItemOf(const Path& path) const {
        const QByteArray name = path.fileName();
        if (path.parent().cleaned() != trash_.info().cleaned() || !name.endsWith(".trashinfo"))
            return {};
        return trash_.files() / name.chopped(int(sizeof ".trashinfo") - 1);
    }

    // The file the run removed is written again, holding what it held, where its name is
    // free. A Trash record is written only for an item about to go back into the Trash
    // (restored by the run and still where the run left it, its name in the Trash free),
    // before the item, as the Trash takes an item: the record first claims the name.
    void writeRemovedFile(const RunEntry& entry) {
        QByteArray now;
        if (files_.readSmallFile(entry.path, now, JournalingFileSystem::keptFileLimit).ok() &&
            now == entry.contents)
            return;  // as it was: never removed (the run stopped first), or back already
        const Path item = trashItemOf(entry.path);
        if (!item.isEmpty() && !itemGoesBackTo(item)) return;  // the item stays, and is listed
        if (files_.exists(entry.path)) return skip(entry.path, QStringLiteral("its name is taken"));
        if (!item.isEmpty()) recordAwaitingItem_ = entry.path;
        if (const FileError error = files_.writeNewFile(entry.path, entry.contents); !error.ok()) {
            recordAwaitingItem_.reset();
            fail(entry.path, error.message);
        }
    }

    // Whether the run moved the item at inTrash out of the Trash, it is still where the run
    // left it, and nothing has its name in the Trash.
    bool itemGoesBackTo(const Path& inTrash) {
        if (files_.exists(inTrash)) return false;
        for (const RunEntry& entry : record_.entries)
            if (entry.kind == RunEntry::Kind::Move && entry.path == inTrash &&
                isAt(files_, entry.target, entry.identity))
                return true;
        return false;
    }

    // A file the run made goes only when it is the one the run made (by its identity; by
    // what it holds, for one a killed run made before its mark was kept). A Trash record
    // goes only once its item has left the Trash.
    void removeWrittenFile(const RunEntry& entry) {
        if (!entry.done && runEnded_) return;  // never made
        if (!files_.exists(entry.path)) return;
        QByteArray now;
        const bool same =
            entry.done
                ? isAt(files_, entry.path, entry.identity)
                : files_.readSmallFile(entry.path, now, JournalingFileSystem::keptFileLimit).ok() &&
                      now == entry.contents;
        if (!same) return skip(entry.path, QStringLiteral("it has changed since the run"));
        if (const Path item = trashItemOf(entry.path); !item.isEmpty() && files_.exists(item))
            return;  // its item stayed in the Trash, and is listed as it did
        if (const FileError error = files_.removeFile(entry.path); !error.ok())
            fail(entry.path, error.message);
    }

    // A folder made in the Trash (application removal's "DKT Deleted Apps") came with its
    // Trash record, which names nothing once the folder is gone. Only in that Trash: a
    // user's folder named "files" holds no Trash records.
    void removeTrashRecordOf(const Path& folder) {
        if (folder.parent().cleaned() != trash_.files().cleaned()) return;
        const Path record = trash_.infoFileFor(folder.fileName());
        const std::optional<FileStatus> status = files_.status(record);
        if (status && status->kind == FileStatus::Kind::File) (void)files_.removeAll(record);
    }

    // Whether the item is at its old place now.
    bool moveBack(const RunEntry& entry) {
        if (entry.acrossDevices) return copyBack(entry);
        if (!isAt(files_, entry.target, entry.identity)) {
            // Not moved after all (the run stopped first), or already back: nothing to do.
            if (isAt(files_, entry.path, entry.identity)) return true;
            if (entry.done)
                skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return false;
        }
        const FileError error = files_.moveNoReplace(entry.target, entry.path);
        if (error.ok())
            ++outcome_.movedBack;
        else if (error.code == EEXIST)
            skip(entry.target,
                 QStringLiteral("its old place, %1, is taken").arg(entry.path.display()));
        else
            fail(entry.target, error.message);
        return error.ok();
    }

    // An item on another file system comes back as the move that took it there: by copy,
    // the item leaving only once its copy is complete. The plain move is tried first, so
    // that this run's record holds both as one move, which an undo of this undo makes again.
    bool copyBack(const RunEntry& entry) {
        if (!isAt(files_, entry.target, entry.identity)) {
            skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return false;
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
        return moved.ok();
    }

    void skip(const Path& path, const QString& why) {
        outcome_.skipped << path.display() + QStringLiteral(": ") + why;
    }
    void fail(const Path& path, const QString& why) {
        outcome_.failed << path.display() + QStringLiteral(": ") + why;
    }

    JournalingFileSystem& files_;
    UndoOutcome& outcome_;
    const RunRecord& record_;
    bool runEnded_;
    const TrashLocation& trash_;
    std::optional<Path> recordAwaitingItem_;
};

}  // namespace

RunReport UndoOutcome::report(const RunRecord& record, Wording wording) const {
    RunReport report;
    report.kind = RunKind::Undo;
    report.subject =
        QStringLiteral("run %1 (%2)").arg(record.number).arg(runKindName(record.kind, wording));
    report.done = movedBack;
    report.nameTaken = static_cast<int>(skipped.size());
    report.failed = static_cast<int>(failed.size());
    report.cancelled = stopped;
    report.details = failed + skipped;
    return report;
}

std::optional<QString> whyNotUndoable(const RunHistory& history, const RunRecord& record,
                                      Wording wording) {
    const auto refusal = [&](const QString& why) {
        return QStringLiteral("Run %1 (%2) %3")
            .arg(record.number)
            .arg(runKindName(record.kind, wording), why);
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
    Undoer undoer(files, outcome, record, trash);
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
