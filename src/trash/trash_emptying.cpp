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

RunResult emptyTrash(TrashServices& services, QList<Path>& trashArray) {
    ChooserRequest request;
    request.title = QStringLiteral("Empty Some of the Trash");
    request.confirmButton = QStringLiteral("Delete Selected Items");
    request.chooseFiles = true;
    request.chooseFolders = true;
    request.multiple = true;
    request.showHidden = true;
    request.startFolder = services.trash.files();
    request.confineToStartFolder = true;
    const std::optional<QList<Path>> chosen = services.chooser.choose(request);
    if (!chosen) return RunResult::Cancelled;
    trashArray = *chosen;
    return deleteTrash(services, trashArray);
}

RunResult deleteTrash(TrashServices& services, const QList<Path>& trashArray) {
    Prompter& prompter = services.prompter;
    // Confirming the chooser with no selection gives the Trash folder itself; the Trash
    // view gives no paths at all.
    if (trashArray.isEmpty() || (trashArray.size() == 1 && trashArray.first().cleaned() ==
                                                               services.trash.files().cleaned())) {
        prompter.notice(QStringLiteral("No items were selected to be deleted."));
        return RunResult::Done;
    }
    const QString count = trashArray.size() == 1
                              ? QStringLiteral("1 item:\n")
                              : QStringLiteral("%1 items:\n").arg(trashArray.size());
    if (!prompter.confirm(QStringLiteral("Delete?"),
                          QStringLiteral("Do you want to permanently delete these items?  "
                                         "This cannot be undone.\n\n") +
                              count + someNames(trashArray),
                          QStringLiteral("Delete")))
        return RunResult::Cancelled;

    QList<Path> stayed, missing;
    for (const Path& path : trashArray) {
        // Never anything outside the Trash, nor inside one of its items.
        if (!isDirectlyInTrash(path, services.trash)) {
            stayed.append(path);
        } else if (const FileError error = deleteTrashItem(path, services.trash, services.files);
                   !error.ok()) {
            (error.code == ENOENT ? missing : stayed).append(path);
        }
    }
    if (stayed.isEmpty() && missing.isEmpty()) {
        prompter.notice(
            QStringLiteral("The chosen items have been permanently deleted from the Trash."));
        return RunResult::Done;
    }
    QStringList parts;
    if (!stayed.isEmpty())
        parts << QStringLiteral("These items could not be deleted:\n") + displayed(stayed);
    if (!missing.isEmpty())
        parts << QStringLiteral("These items were not found in the Trash:\n") + displayed(missing);
    prompter.notice(parts.join(QStringLiteral("\n\n")));
    return RunResult::Failed;
}
