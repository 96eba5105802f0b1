#include "app/desktidy_controller.h"
#include "removal/application_removal.h"
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
    if (choosesNothing(items, trash.trash)) {
        services_.prompter.notice(QStringLiteral("No items were selected to be deleted."));
        return RunResult::Done;
    }
    RunRequest request{RunKind::EmptyTrash, {trash.trash.files()}};
    request.question =
        RunQuestion{QStringLiteral("Delete?"), deleteQuestion(items), QStringLiteral("Delete"), {}};
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 DeletionOutcome outcome;
                 const RunResult result = ::deleteTrashItems(trash, items, run.observer(), outcome);
                 run.report() = outcome.report;
                 if (result != RunResult::Cancelled) run.noticeAtEnd(outcome.closingNotice);
                 return result;
             })
        .result;
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
    const RemovalList list = checklist.toMove();
    // The run changes the folders its items leave and the Trash's folder of items.
    RunRequest request{RunKind::RemoveApp, {}};
    for (const Path& item : list.files + list.folders)
        if (const DelAppRow* row = list.rowFor(item); row && row->isChecked())
            if (!request.folders.contains(item.parent())) request.folders << item.parent();
    request.folders << trashLocation().files();
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 TrashServices trash = trashServices();
                 RemovalOutcome outcome;
                 const RunResult result = moveRemovalToTrash(trash, list, run.observer(), outcome);
                 run.report() = outcome.report;
                 if (result != RunResult::Cancelled) run.noticeAtEnd(outcome.closingNotice);
                 return result;
             })
        .result;
}
