#include "app/desktidy_controller.h"
#include "removal/application_removal.h"
#include "runs/run_scope.h"
#include "trash/item_label.h"
#include "trash/trash_emptying.h"

TrashServices DesktidyController::trashServices() {
    return TrashServices{services_.prompter,    services_.chooser,   services_.files,
                         services_.tools,       services_.toolPaths, trashLocation(),
                         Path::fromText(home_), trashClock_};
}

TrashLocation DesktidyController::trashLocation() const {
    return TrashLocation::forHome(Path::fromText(home_));
}

QList<Path> DesktidyController::trashItems() {
    return trashItemPaths(trashLocation(), services_.files);
}

QString DesktidyController::itemLabel(const Path& path) {
    return itemLabelFor(path, services_.files);
}

RunResult DesktidyController::deleteTrashItems(const QList<Path>& items) {
    TrashServices trash = trashServices();
    return ::deleteTrashItems(trash, items);
}

Path DesktidyController::applicationsFolder() {
    return ::applicationsFolder(Path::fromText(home_), services_.files);
}

RemovalChecklist DesktidyController::planRemoval(const Path& appPath) {
    return RemovalChecklist(buildRemovalList(appPath, applicationDataFolders_, trashServices()));
}

RunPlan DesktidyController::planMoveToTrash(const RemovalChecklist& checklist) {
    return planTrashMoves(checklist.toMove(), trashServices(), trashClock_());
}

RunResult DesktidyController::moveToTrash(const RemovalChecklist& checklist) {
    RunScope run(services_.files, services_.prompter, "remove-app", Path());
    TrashServices trash = trashServices();
    RunReport report;
    const RunResult result =
        moveRemovalToTrash(trash, checklist.toMove(), journaledProgress(), &report);
    reportRunEnd(report);
    return run.finish(result);
}
