#include "runs/run_undo.h"

#include <cerrno>
#include <utility>

namespace {

class Undoer {
  public:
    Undoer(JournalingFileSystem& files, const RunRecord& record, const TrashLocation& trash,
           UndoOutcome& outcome)
        : files_(files), record_(record), trash_(trash), outcome_(outcome) {}

    // False when the undo cannot go on: its own record cannot be written.
    bool undo(const RunEntry& entry) {
        switch (entry.kind) {
            case RunEntry::Kind::Move: {
                // A Trash record written back just before (the step after this move in the
                // run) names nothing unless its item is back in the Trash too.
                const std::optional<Path> trashRecord = std::exchange(recordAwaitingItem_, {});
                const bool goOn = entry.acrossDevices ? copyBack(entry) : moveBack(entry);
                if (trashRecord && entry.path == trashItemOf(*trashRecord) &&
                    !entry.isItem(files_.status(entry.path)))
                    (void)files_.removeFile(*trashRecord);
                return goOn;
            }
            case RunEntry::Kind::WroteFile:
                return removeWrittenFile(entry);
            case RunEntry::Kind::RemovedFile:
                return writeRemovedFile(entry);
            case RunEntry::Kind::MadeFolder:
                // A folder the run did not make after all stays; one a killed run was
                // making counts as made. Removed only when nothing is left in it, and not
                // by its identity: an undo of an unfiling makes the folder again, as a new one.
                if (!entry.done && !record_.end.isEmpty()) return true;
                if (const FileError removed = files_.removeEmptyDirectory(entry.path); removed.ok())
                    removeTrashRecordOf(entry.path);
                else if (!files_.recordError().ok())
                    return fail(entry.path, removed.message);
                return true;
            case RunEntry::Kind::RemovedFolder:
                // Written before its removal: a removal that failed left the folder.
                if (files_.exists(entry.path)) return true;
                if (FileError made = files_.makeDirectory(entry.path); !made.ok())
                    return fail(entry.path, made.message);
                return true;
            case RunEntry::Kind::Temporary:
            case RunEntry::Kind::Exchange:  // copies, which are not undone
                return true;
        }
        return true;
    }

  private:
    // The item in the Trash's files/ that path, a record in its info/ folder, is the record
    // of; empty for any other path.
    Path trashItemOf(const Path& path) const {
        const QByteArray name = path.fileName();
        if (path.parent() != trash_.info() || !name.endsWith(".trashinfo")) return {};
        return trash_.files() / name.chopped(qsizetype(sizeof ".trashinfo") - 1);
    }

    bool holds(const Path& path, const QByteArray& contents) {
        QByteArray now;
        return files_.readSmallFile(path, now, JournalingFileSystem::keptFileLimit).ok() &&
               now == contents;
    }

    // The file the run removed is written again, holding what it held, where its name is
    // free. A Trash record only for an item about to go back into the Trash (moved out by
    // the run, still where the run left it, its name in the Trash free): before the item,
    // as the Trash takes an item, the record claiming the name first.
    bool writeRemovedFile(const RunEntry& entry) {
        if (holds(entry.path, entry.contents)) return true;  // never removed, or back already
        const Path item = trashItemOf(entry.path);
        if (!item.isEmpty() && !itemGoesBackTo(item)) return true;  // the item stays, listed
        if (files_.exists(entry.path)) {
            skip(entry.path, QStringLiteral("its name is taken"));
            return true;
        }
        if (const FileError error = files_.writeNewFile(entry.path, entry.contents); !error.ok())
            return fail(entry.path, error.message);
        if (!item.isEmpty()) recordAwaitingItem_ = entry.path;
        return true;
    }

    // Whether the run moved the item at inTrash out of the Trash, that item is still where
    // the run left it, and nothing has its name in the Trash.
    bool itemGoesBackTo(const Path& inTrash) {
        if (files_.exists(inTrash)) return false;
        for (const RunEntry& entry : record_.entries)
            if (entry.kind == RunEntry::Kind::Move && entry.path == inTrash &&
                entry.isItem(files_.status(entry.target)))
                return true;
        return false;
    }

    // A file the run wrote goes only while it is the one the run wrote and holds what it
    // was written with. One a killed run was writing, before its mark, is known by what it
    // holds alone: all or the start of it, as the kill may have come half-way.
    // A Trash record goes only once its item has left the Trash.
    bool removeWrittenFile(const RunEntry& entry) {
        if (!entry.done && !record_.end.isEmpty()) return true;  // never written
        if (!files_.exists(entry.path)) return true;
        QByteArray now;
        const bool read =
            files_.readSmallFile(entry.path, now, JournalingFileSystem::keptFileLimit).ok();
        const bool ours =
            entry.done ? entry.isItem(files_.status(entry.path)) && read && now == entry.contents
                       : read && entry.contents.startsWith(now);
        if (!ours) {
            skip(entry.path, QStringLiteral("it has changed since the run"));
            return true;
        }
        if (const Path item = trashItemOf(entry.path); !item.isEmpty() && files_.exists(item))
            return true;  // its item stayed in the Trash, and is listed as such
        if (const FileError error = files_.removeFile(entry.path); !error.ok())
            return fail(entry.path, error.message);
        return true;
    }

    // A folder made in the Trash (application removal's "DKT Deleted Apps") came with its
    // Trash record, which names nothing once the folder is gone.
    void removeTrashRecordOf(const Path& folder) {
        if (folder.parent() != trash_.files()) return;
        const Path record = trash_.infoFileFor(folder.fileName());
        const std::optional<FileStatus> status = files_.status(record);
        if (status && status->kind == FileStatus::Kind::File) (void)files_.removeAll(record);
    }

    enum class Place { Ready, Skipped, Failed };
    // Makes sure the folder of the item's old place is there: one inside a folder of the
    // run is made again (with the folders between), as its removal may be all a killed
    // run's record lost; elsewhere the item stays, and the folder is named as missing.
    Place oldFolderFor(const RunEntry& entry) {
        const Path folder = entry.path.parent();
        if (files_.isDirectory(folder)) return Place::Ready;
        for (const Path& runFolder : record_.folders) {
            if (!folder.isBelow(runFolder) || !files_.isDirectory(runFolder)) continue;
            QList<Path> missing;
            for (Path f = folder; f != runFolder && !files_.exists(f); f = f.parent())
                missing.prepend(f);
            for (const Path& f : std::as_const(missing)) {
                if (FileError made = files_.makeDirectory(f); !made.ok()) {
                    fail(entry.target, QStringLiteral("its old folder, %1, is missing and could "
                                                      "not be made again. %2")
                                           .arg(folder.display(), made.message));
                    return Place::Failed;
                }
            }
            return Place::Ready;
        }
        skip(entry.target, QStringLiteral("its old folder, %1, is missing").arg(folder.display()));
        return Place::Skipped;
    }

    bool moveBack(const RunEntry& entry) {
        if (!entry.isItem(files_.status(entry.target))) {
            // Not moved after all (the run stopped first), or already back: nothing to do.
            if (entry.isItem(files_.status(entry.path))) return true;
            if (entry.done)
                skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return true;
        }
        if (const Place place = oldFolderFor(entry); place != Place::Ready)
            return place == Place::Skipped || files_.recordError().ok();
        const FileError error = files_.moveNoReplace(entry.target, entry.path);
        if (error.ok()) {
            outcome_.movedBack += entry.countsAsItem();
            return true;
        }
        if (error.code == EEXIST) {
            skipTaken(entry);
            return true;
        }
        return fail(entry.target, error.message);
    }

    // An item on another file system comes back as the move that took it there: by copy,
    // the item leaving only once its copy is complete. The plain move is tried first, so
    // that this run's record holds both as one move, which an undo of this undo makes again.
    bool copyBack(const RunEntry& entry) {
        if (!entry.isItem(files_.status(entry.target))) {
            skip(entry.target, QStringLiteral("it is no longer where the run left it"));
            return true;
        }
        if (const Place place = oldFolderFor(entry); place != Place::Ready)
            return place == Place::Skipped || files_.recordError().ok();
        const FileError moved = files_.moveNoReplace(entry.target, entry.path);
        if (moved.ok()) {
            outcome_.movedBack += entry.countsAsItem();
            return true;
        }
        if (moved.code == EEXIST) {
            skipTaken(entry);
            return true;
        }
        if (moved.code != EXDEV) return fail(entry.target, moved.message);
        // Across file systems as the run went: a complete copy under a hidden name first
        // (recorded, so that a kill leaves nothing but what recovery removes), then the old
        // name, and only then does the moved item go.
        if (const FileError across = files_.moveAcrossFileSystems(entry.target, entry.path);
            !across.ok()) {
            if (across.code == EEXIST) {
                skipTaken(entry);
                return true;
            }
            return fail(entry.target, across.message);
        }
        outcome_.movedBack += entry.countsAsItem();
        return true;
    }

    void skip(const Path& path, const QString& why) {
        outcome_.skipped << path.display() + QStringLiteral(": ") + why;
    }
    void skipTaken(const RunEntry& entry) {
        skip(entry.target, QStringLiteral("its old place, %1, is taken").arg(entry.path.display()));
    }
    // Every later step would fail as this one did when the undo's own record cannot be
    // written: the undo stops there.
    bool fail(const Path& path, const QString& why) {
        outcome_.status = UndoOutcome::Status::Failed;
        outcome_.failed << path.display() + QStringLiteral(": ") + why;
        return files_.recordError().ok();
    }

    JournalingFileSystem& files_;
    const RunRecord& record_;
    const TrashLocation& trash_;
    UndoOutcome& outcome_;
    std::optional<Path> recordAwaitingItem_;
};

QString itemsText(int count) {
    return count == 1 ? QStringLiteral("1 item") : QStringLiteral("%1 items").arg(count);
}

}  // namespace

QString UndoOutcome::summary(const RunRecord& record, Wording wording) const {
    if (status == Status::Refused) return message;
    const QString run =
        QStringLiteral("run %1 (%2)").arg(record.number).arg(runKindName(record.kind, wording));
    QString text;
    switch (status) {
        case Status::Done:
            text = QStringLiteral("Undid %1: %2 moved back.").arg(run, itemsText(movedBack));
            break;
        case Status::Stopped:
            text =
                QStringLiteral("Stopped undoing %1: %2 moved back.").arg(run, itemsText(movedBack));
            break;
        default:
            text = QStringLiteral("Could not undo all of %1: %2 moved back, %3 could not be:")
                       .arg(run, itemsText(movedBack))
                       .arg(failed.size());
            for (const QString& line : failed) text += QStringLiteral("\n  ") + line;
            break;
    }
    if (!skipped.isEmpty()) {
        text += skipped.size() == 1
                    ? QStringLiteral(" 1 item stayed where it is:")
                    : QStringLiteral(" %1 items stayed where they are:").arg(skipped.size());
        for (const QString& line : skipped) text += QStringLiteral("\n  ") + line;
    }
    if (status != Status::Done)
        text += QStringLiteral("\nRun %1 can be undone again to move back the rest.")
                    .arg(record.number);
    return text;
}

RunReport UndoOutcome::report(const RunRecord& record, Wording wording) const {
    RunReport report;
    report.kind = RunKind::Undo;
    report.subject =
        QStringLiteral("run %1 (%2)").arg(record.number).arg(runKindName(record.kind, wording));
    report.done = movedBack;
    report.leftAlone = static_cast<int>(skipped.size());
    report.failed = static_cast<int>(failed.size());
    report.cancelled = status == Status::Stopped;
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
    Undoer undoer(files, record, trash, outcome);
    qsizetype total = 0, done = 0;
    for (const RunEntry& entry : record.entries) total += entry.kind == RunEntry::Kind::Move;
    observer.passBegins(QStringLiteral("Undoing..."), total, true);
    for (auto entry = record.entries.crbegin(); entry != record.entries.crend(); ++entry) {
        if (entry->kind == RunEntry::Kind::Move) {
            if (observer.stopRequested()) {
                if (outcome.status == UndoOutcome::Status::Done)
                    outcome.status = UndoOutcome::Status::Stopped;
                break;
            }
            observer.step(++done, total, StepItem::name(entry->target.name()));
        }
        if (!undoer.undo(*entry)) break;
    }
    observer.passEnds();
    return outcome;
}

bool markUndone(const RunHistory& history, const RunRecord& record, const UndoOutcome& outcome,
                int undoRunNumber) {
    if (undoRunNumber == 0 || outcome.status != UndoOutcome::Status::Done) return false;
    if (!history.mark(record.number, "undone-by " + QByteArray::number(undoRunNumber)))
        return false;
    // The run this undo had undone is done again, when that is what its record says.
    if (record.kind == "undo")
        if (const int undid = record.option("undoes").toInt(); undid > 0)
            if (const std::optional<RunRecord> undone = history.read(undid);
                undone && undone->undone && undone->undoneBy == record.number)
                (void)history.mark(undid, "redone-by " + QByteArray::number(undoRunNumber));
    return true;
}
