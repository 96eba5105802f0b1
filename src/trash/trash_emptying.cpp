#include "trash/trash_emptying.h"

#include <QDir>
#include <cerrno>

#include "trash/trash_records.h"

QStringList trashItemPaths(const TrashLocation& trash, FileSystem& files) {
    QStringList paths;
    for (const QString& name : files.listNames(trash.files(), true))
        paths.append(joinPath(trash.files(), name));
    return paths;
}

RunResult emptyTrash(TrashServices& services, QStringList& trashArray) {
    ChooserRequest request;
    request.title = QStringLiteral("Empty Some of the Trash");
    request.confirmButton = QStringLiteral("Delete Selected Items");
    request.chooseFiles = true;
    request.chooseFolders = true;
    request.multiple = true;
    request.showHidden = true;
    request.startFolder = services.trash.files();
    request.confineToStartFolder = true;
    const std::optional<QStringList> chosen = services.chooser.choose(request);
    if (!chosen) return RunResult::Cancelled;
    trashArray = *chosen;
    return deleteTrash(services, trashArray);
}

RunResult deleteTrash(TrashServices& services, const QStringList& trashArray) {
    Prompter& prompter = services.prompter;
    // Confirming the chooser with no selection gives the Trash folder itself.
    if (trashArray.size() == 1 &&
        QDir::cleanPath(trashArray.first()) == QDir::cleanPath(services.trash.files())) {
        prompter.notice(QStringLiteral("No items were selected to be deleted."));
        return RunResult::Done;
    }
    if (!prompter.confirm(QStringLiteral("Delete?"),
                          QStringLiteral("Do you want to permanently delete these items?  "
                                         "This cannot be undone."),
                          QStringLiteral("Delete")))
        return RunResult::Cancelled;

    QStringList stayed, missing;
    for (const QString& path : trashArray) {
        // Never anything outside the Trash, nor inside one of its items.
        if (!isDirectlyInTrash(path, services.trash)) {
            stayed.append(path);
        } else if (const FileError error = deleteTrashItem(path, services.trash, services.files)) {
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
        parts << QStringLiteral("These items could not be deleted:\n") + stayed.join(u'\n');
    if (!missing.isEmpty())
        parts << QStringLiteral("These items were not found in the Trash:\n") + missing.join(u'\n');
    prompter.notice(parts.join(QStringLiteral("\n\n")));
    return RunResult::Failed;
}
