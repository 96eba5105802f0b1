#include "app/desktidy_controller.h"
#include "removal/application_removal.h"
#include "removal/item_label.h"
#include "trash/trash_emptying.h"

namespace {

TrashServices trashServices(DesktidyController& c) {
    Services& s = c.services;
    return TrashServices{s.prompter,
                         s.chooser,
                         s.files,
                         s.tools,
                         s.toolPaths,
                         c.trashLocation(),
                         Path::fromText(c.osHome),
                         c.trashClock};
}

}  // namespace

TrashLocation DesktidyController::trashLocation() const {
    return TrashLocation::forHome(Path::fromText(osHome));
}

QString DesktidyController::makeDelAppPath(const Path& path) {
    return ::itemLabelFor(path, services.files);
}

RunResult DesktidyController::emptyTrash() {
    TrashServices trash = trashServices(*this);
    return ::deleteChosenTrashItems(trash, trashArray);
}

RunResult DesktidyController::deleteTrash() {
    TrashServices trash = trashServices(*this);
    return ::deleteTrashItems(trash, trashArray);
}

bool DesktidyController::deleteApp() {
    TrashServices trash = trashServices(*this);
    QList<Path> folders;
    for (const QString& folder : appDirArray) folders.append(Path::fromText(folder));
    std::optional<RemovalList> list = ::planRemoval(trash, folders);
    if (!list) return false;
    appDisplayArray = std::move(list->rows);
    foundFoldersArray = std::move(list->folders);
    foundFilesArray = std::move(list->files);
    return true;
}

void DesktidyController::clickedDelAppCheck(int selectedRow) {
    if (selectedRow < 0 || selectedRow >= appDisplayArray.size()) return;
    appDisplayArray[selectedRow].toggleChecked();
}

RunResult DesktidyController::deleteAppFiles() {
    TrashServices trash = trashServices(*this);
    return ::moveRemovalToTrash(trash, {appDisplayArray, foundFoldersArray, foundFilesArray});
}
