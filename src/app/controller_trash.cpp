#include "app/desktidy_controller.h"
#include "runs/run_scope.h"
#include "trash/application_removal.h"
#include "trash/item_label.h"
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
    return ::makeDelAppPath(path, services.files);
}

RunResult DesktidyController::emptyTrash() {
    TrashServices trash = trashServices(*this);
    return ::emptyTrash(trash, trashArray);
}

RunResult DesktidyController::deleteTrash() {
    TrashServices trash = trashServices(*this);
    return ::deleteTrash(trash, trashArray);
}

bool DesktidyController::deleteApp() {
    TrashServices trash = trashServices(*this);
    QList<Path> folders;
    for (const QString& folder : appDirArray) folders.append(Path::fromText(folder));
    std::optional<RemovalList> list = ::deleteApp(trash, folders);
    if (!list) return false;
    appDisplayArray = std::move(list->appDisplayArray);
    foundFoldersArray = std::move(list->foundFoldersArray);
    foundFilesArray = std::move(list->foundFilesArray);
    return true;
}

void DesktidyController::clickedDelAppCheck(int selectedRow) {
    if (selectedRow < 0 || selectedRow >= appDisplayArray.size()) return;
    appDisplayArray[selectedRow].delAppCheck().setNextState();
}

RunResult DesktidyController::deleteAppFiles() {
    RunScope run(services.files, services.prompter, "remove-app", Path());
    TrashServices trash = trashServices(*this);
    return ::deleteAppFiles(trash, {appDisplayArray, foundFoldersArray, foundFilesArray});
}
