#include "runs/run_undo.h"

#include <cerrno>

#include "runs/run_scope.h"

namespace {

bool isAt(FileSystem& files, const Path& path, const ItemIdentity& identity) {
    const std::optional<FileStatus> status = files.status(path);
    return status && ItemIdentity{status->device, status->inode} == identity;
}

class Undoer {
  public:
    Undoer(JournalingFileSystem& files, UndoOutcome& outcome, bool runEnded)
        : files_(files), outcome_(outcome), runEnded_(runEnded) {}

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
    // A folder made in a Trash (application removal's "DKT Deleted Apps") came with its
    // Trash record, which names nothing once the folder is gone.
    void removeTrashRecordOf(const Path& folder) {
        const Path trashFiles = folder.parent();
        if (trashFiles.fileName() != "files") return;
        const Path record =
            trashFiles.parent() / "info" / (folder.fileName() + QByteArrayLiteral(".trashinfo"));
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
            skip(entry.target, error.message);
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
            skip(entry.target, moved.message);
    }

    void skip(const Path& path, const QString& why) {
        outcome_.skipped << path.display() + QStringLiteral(": ") + why;
    }

    JournalingFileSystem& files_;
    UndoOutcome& outcome_;
    bool runEnded_;
};

}  // namespace

bool isUndoable(const QByteArray& kind) { return kind != "pack" && kind != "unpack"; }

QString UndoOutcome::summary(const RunRecord& record) const {
    if (status == Status::Refused) return message;
    QString text = QStringLiteral("Undid run %1 (%2): %3 moved back.")
                       .arg(record.number)
                       .arg(runKindTitle(record.kind))
                       .arg(movedBack == 1 ? QStringLiteral("1 item")
                                           : QStringLiteral("%1 items").arg(movedBack));
    if (!skipped.isEmpty()) {
        text += skipped.size() == 1
                    ? QStringLiteral(" 1 item stayed where it is:")
                    : QStringLiteral(" %1 items stayed where they are:").arg(skipped.size());
        for (const QString& line : skipped) text += QStringLiteral("\n  ") + line;
    }
    return text;
}

UndoOutcome undoRun(JournalingFileSystem& files, const RunHistory& history, const RunRecord& record,
                    Prompter& prompter) {
    UndoOutcome outcome;
    const auto refuse = [&](const QString& why) {
        outcome.status = UndoOutcome::Status::Refused;
        outcome.message =
            QStringLiteral("Run %1 (%2) %3").arg(record.number).arg(runKindTitle(record.kind), why);
        return outcome;
    };
    if (!isUndoable(record.kind))
        return refuse(QStringLiteral("made copies, which cannot be undone."));
    const RunState state = history.stateOf(record);
    if (state == RunState::Undone) return refuse(QStringLiteral("has been undone already."));
    if (state == RunState::Running) return refuse(QStringLiteral("is still running."));

    {
        // The undo's own run, holding every folder of the run it undoes.
        RunScope scope(files, prompter, QByteArrayLiteral("undo"), record.folders,
                       {{"undoes", QByteArray::number(record.number)}});
        if (!scope.started()) return refuse(QStringLiteral("cannot be undone now."));
        Undoer undoer(files, outcome, !record.end.isEmpty());
        for (auto entry = record.entries.crbegin(); entry != record.entries.crend(); ++entry)
            undoer.undo(*entry);
    }
    outcome.undoRun = files.lastRunNumber();
    (void)history.mark(record.number, "undone-by " + QByteArray::number(outcome.undoRun));
    if (record.kind == "undo")
        if (const int undid = record.option("undoes").toInt(); undid > 0)
            (void)history.mark(undid, "redone-by " + QByteArray::number(outcome.undoRun));
    return outcome;
}
