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

RunResult deleteTrashItems(TrashServices& services, const QList<Path>& chosenItems) {
    Prompter& prompter = services.prompter;
    // Confirming the chooser with no selection gives the Trash folder itself; the Trash
    // view gives no paths at all.
    if (chosenItems.isEmpty() ||
        (chosenItems.size() == 1 &&
         chosenItems.first().cleaned() == services.trash.files().cleaned())) {
        prompter.notice(QStringLiteral("No items were selected to be deleted."));
        return RunResult::Done;
    }
    const QString count = chosenItems.size() == 1
                              ? QStringLiteral("1 item:\n")
                              : QStringLiteral("%1 items:\n").arg(chosenItems.size());
    if (!prompter.confirm(QStringLiteral("Delete?"),
                          QStringLiteral("Do you want to permanently delete these items?  "
                                         "This cannot be undone.\n\n") +
                              count + someNames(chosenItems),
                          QStringLiteral("Delete")))
        return RunResult::Cancelled;

    QStringList stayed;  // each with its reason
    QList<Path> missing;
    for (const Path& path : chosenItems) {
        // Never anything outside the Trash, nor inside one of its items.
        if (!isDirectlyInTrash(path, services.trash)) {
            stayed << path.display() + QStringLiteral(": it is not an item of the Trash.");
        } else if (const FileError error = deleteTrashItem(path, services.trash, services.files);
                   !error.ok()) {
            if (error.code == ENOENT)
                missing.append(path);
            else
                stayed << path.display() + QStringLiteral(": ") + error.message;
        }
    }
    if (stayed.isEmpty() && missing.isEmpty()) {
        prompter.notice(
            QStringLiteral("The chosen items have been permanently deleted from the Trash."));
        return RunResult::Done;
    }
    QStringList parts;
    if (!stayed.isEmpty())
        parts << QStringLiteral("These items could not be deleted:\n") + stayed.join(u'\n');
    if (!missing.isEmpty())
        parts << QStringLiteral("These items were not found in the Trash:\n") + displayed(missing);
    prompter.notice(parts.join(QStringLiteral("\n\n")));
    return RunResult::Failed;
}
