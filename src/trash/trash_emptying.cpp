#include "trash/trash_emptying.h"

#include <QStringList>
#include <cerrno>

#include "trash/trash_listing.h"
#include "trash/trash_records.h"

namespace {

QString displayed(const QList<Path>& paths) {
    QStringList lines;
    for (const Path& path : paths) lines << path.display();
    return lines.join(u'\n');
}

}  // namespace

QList<Path> trashItemPaths(const TrashLocation& trash, FileSystem& files) {
    const Path folder = trash.files();
    const NameList names = files.listNames(folder, true);
    QList<Path> paths;
    paths.reserve(qsizetype(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) paths.append(folder / names.name(i));
    return paths;
}

bool choosesNothing(const QList<Path>& chosenItems, const TrashLocation& trash) {
    return chosenItems.isEmpty() ||
           (chosenItems.size() == 1 && chosenItems.first().cleaned() == trash.files().cleaned());
}

QString deleteQuestion(const QList<Path>& chosenItems) {
    const QString count = chosenItems.size() == 1
                              ? QStringLiteral("1 item:\n")
                              : QStringLiteral("%1 items:\n").arg(chosenItems.size());
    return QStringLiteral(
               "Do you want to permanently delete these items?  This cannot be undone.\n\n") +
           count + someNames(chosenItems);
}

RunResult deleteTrashItems(TrashServices& services, const QList<Path>& chosenItems,
                           RunObserver& observer, DeletionOutcome& outcome) {
    RunReport& report = outcome.report;
    report = {};
    report.kind = RunKind::EmptyTrash;
    report.total = static_cast<int>(chosenItems.size());
    observer.passBegins(QStringLiteral("Deleting..."), report.total, true);
    QStringList stayed;  // each with its reason
    QList<Path> missing;
    int done = 0;
    for (const Path& path : chosenItems) {
        if (observer.stopRequested()) {
            report.cancelled = true;
            break;
        }
        observer.step(++done, report.total, StepItem::name(path.name()));
        // Never anything outside the Trash, nor inside one of its items.
        if (!isDirectlyInTrash(path, services.trash)) {
            stayed << path.display() + QStringLiteral(": it is not an item of the Trash.");
        } else if (const FileError error = deleteTrashItem(path, services.trash, services.files);
                   !error.ok()) {
            if (error.code == ENOENT)
                missing.append(path);
            else
                stayed << path.display() + QStringLiteral(": ") + error.message;
        } else {
            ++report.done;
        }
    }
    observer.passEnds();
    report.failed = static_cast<int>(stayed.size());
    if (report.cancelled) return RunResult::Cancelled;
    if (stayed.isEmpty() && missing.isEmpty()) {
        outcome.closingNotice =
            QStringLiteral("The chosen items have been permanently deleted from the Trash.");
        return RunResult::Done;
    }
    QStringList parts;
    if (!stayed.isEmpty())
        parts << QStringLiteral("These items could not be deleted:\n") + stayed.join(u'\n');
    if (!missing.isEmpty())
        parts << QStringLiteral("These items were not found in the Trash:\n") + displayed(missing);
    outcome.closingNotice = parts.join(QStringLiteral("\n\n"));
    report.details = stayed;
    for (const Path& path : missing)
        report.details << path.display() + QStringLiteral(": not found");
    return RunResult::Failed;
}
