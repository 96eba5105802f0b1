#include "trash/trash_restore.h"

#include <QStringList>
#include <cerrno>

#include "trash/directory_sizes.h"
#include "trash/trash_listing.h"
#include "trash/trash_records.h"

namespace {

// A record is a few lines; anything longer is not one.
constexpr qsizetype recordLimit = 64 * 1024;

PlannedStep refused(const Path& item, Refusal why, const QString& text, const Path& to = {}) {
    return {item, to, why, text};
}

// The folders on the way to place that are missing, outermost first; nullopt (with the
// refusal in step) when one on the way is held by something that is no folder.
std::optional<QList<Path>> missingFolders(const Path& place, FileSystem& files) {
    QList<Path> missing;
    for (Path folder = place.parent(); !folder.isEmpty() && folder.bytes() != "/";
         folder = folder.parent()) {
        const std::optional<FileStatus> status = files.status(folder);
        if (!status) {
            missing.prepend(folder);
            continue;
        }
        // A link may well lead to a folder (~/Documents elsewhere); the move tells if not.
        if (status->isDirectory() || status->isSymlink()) return missing;
        return std::nullopt;
    }
    return missing;
}

// The first folder on the way to place that is something else (for the refusal's text).
Path blockingItem(const Path& place, FileSystem& files) {
    for (Path folder = place.parent(); !folder.isEmpty(); folder = folder.parent())
        if (const auto status = files.status(folder))
            if (!status->isDirectory() && !status->isSymlink()) return folder;
    return place.parent();
}

PlannedStep restoreStep(const Path& item, const TrashLocation& trash, FileSystem& files) {
    if (!isDirectlyInTrash(item, trash))
        return refused(item, Refusal::NotAllowed, QStringLiteral("it is not an item of the Trash"));
    if (!files.exists(item))
        return refused(item, Refusal::NotAllowed, QStringLiteral("it is not in the Trash"));
    QByteArray text;
    if (!files.readSmallFile(trash.infoFileFor(item.fileName()), text, recordLimit).ok())
        return refused(item, Refusal::NotAllowed,
                       QStringLiteral("it has no record of where it came from"));
    const Path place = restorePlace(parseTrashRecord(text).originalPath, trash);
    if (place.isEmpty())
        return refused(item, Refusal::NotAllowed,
                       QStringLiteral("its record names no place to go back to"));
    if (files.exists(place))
        return refused(item, Refusal::NameTaken,
                       QStringLiteral("its place, %1, is taken").arg(place.display()), place);
    if (!missingFolders(place, files))
        return refused(
            item, Refusal::NotAFolder,
            QStringLiteral("%1 is not a folder").arg(blockingItem(place, files).display()), place);
    return {item, place};
}

}  // namespace

Path restorePlace(const Path& recordedPath, const TrashLocation& trash) {
    const QByteArray bytes = recordedPath.bytes();
    // A NUL byte (from "%00") would cut the path short at the system call.
    if (bytes.isEmpty() || bytes.contains('\0')) return {};
    for (const QByteArray& part : bytes.split('/'))
        if (part == "." || part == "..") return {};
    const Path place = recordedPath.isAbsolute() ? recordedPath : trash.folder.parent() / bytes;
    if (place.cleaned().bytes() == "/") return {};
    return place.cleaned();
}

RunPlan planRestore(const QList<Path>& items, const TrashLocation& trash, FileSystem& files) {
    RunPlan plan;
    plan.kind = RunKind::Restore;
    for (const Path& item : items) plan.steps.push_back(restoreStep(item, trash, files));
    return plan;
}

RunResult restoreTrashItems(const QList<Path>& items, const TrashLocation& trash, FileSystem& files,
                            RunObserver& observer, RestoreOutcome& outcome) {
    RunReport& report = outcome.report;
    report = {};
    report.kind = RunKind::Restore;
    report.total = static_cast<int>(items.size());
    observer.passBegins(QStringLiteral("Putting Back..."), report.total, true);
    QStringList stayed;       // each with why
    QStringList recordsLeft;  // items back whose record could not be removed
    QList<QByteArray> foldersBack;
    qsizetype shown = 0;
    for (const Path& item : items) {
        if (observer.stopRequested()) {
            report.cancelled = true;
            break;
        }
        observer.step(++shown, report.total, StepItem::name(item.name()));
        const PlannedStep step = restoreStep(item, trash, files);
        const auto stay = [&](const QString& why, int RunReport::*count) {
            stayed << item.display() + QStringLiteral(": ") + why;
            ++(report.*count);
        };
        if (step.refusal != Refusal::None) {
            stay(step.why,
                 step.refusal == Refusal::NameTaken ? &RunReport::nameTaken : &RunReport::failed);
            continue;
        }
        FileError error;
        for (const Path& folder : missingFolders(step.to, files).value_or(QList<Path>{}))
            if (error = files.makeDirectory(folder); !error.ok()) break;
        const bool isFolder = files.isDirectory(item);
        if (error.ok()) error = files.moveNoReplace(item, step.to);
        if (error.code == EXDEV) error = files.moveAcrossFileSystems(item, step.to);
        if (error.code == EEXIST) {
            stay(QStringLiteral("its place, %1, is taken").arg(step.to.display()),
                 &RunReport::nameTaken);
            continue;
        }
        if (!error.ok()) {
            stay(error.message, &RunReport::failed);
            continue;
        }
        ++report.done;
        if (isFolder) foldersBack << item.fileName();
        // Only now that the item is back: its record, kept in the run's record first.
        if (const FileError kept = files.removeFile(trash.infoFileFor(item.fileName())); !kept.ok())
            recordsLeft << step.to.display() + QStringLiteral(": ") + kept.message;
    }
    observer.passEnds();
    if (!foldersBack.isEmpty()) (void)forgetDirectorySizes(trash, foldersBack);
    report.details = stayed + recordsLeft;
    if (report.cancelled) return RunResult::Cancelled;
    QStringList parts;
    if (!stayed.isEmpty())
        parts << QStringLiteral("These items stayed in the Trash:\n") + stayed.join(u'\n');
    if (!recordsLeft.isEmpty())
        parts << QStringLiteral("These items are back, but their Trash records stayed:\n") +
                     recordsLeft.join(u'\n');
    outcome.closingNotice = parts.join(QStringLiteral("\n\n"));
    return report.failed > 0 ? RunResult::Failed : RunResult::Done;
}
