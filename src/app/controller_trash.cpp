#include "app/desktidy_controller.h"
#include "app/plan_details.h"
#include "removal/application_removal.h"
#include "trash/trash_emptying.h"
#include "trash/trash_listing.h"
#include "trash/trash_restore.h"

TrashServices DesktidyController::trashServices() {
    return TrashServices{services_.prompter,    services_.chooser,   services_.files,
                         services_.tools,       services_.toolPaths, trashLocation(),
                         Path::fromText(home_), trashClock_};
}

TrashLocation DesktidyController::trashLocation() const {
    return TrashLocation::forHome(Path::fromText(home_));
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

QList<TrashEntry> DesktidyController::trashListing(TrashSizes sizes) {
    return trashEntries(trashLocation(), services_.files, sizes);
}

RunPlan DesktidyController::planRestore(const QList<Path>& items) {
    return ::planRestore(items, trashLocation(), services_.files);
}

namespace {

// "Put these items back?": each item's name and the place it goes back to, the first few.
QString restoreQuestion(const RunPlan& plan) {
    constexpr qsizetype shown = 5;
    QStringList lines;
    for (qsizetype i = 0; i < plan.steps.size() && i < shown; ++i) {
        const PlannedStep step = plan.steps[i];
        lines << displayName(step.from.fileName()) +
                     (step.to.isEmpty() ? QString() : QStringLiteral(" -> ") + step.to.display());
    }
    if (plan.steps.size() > shown)
        lines << QStringLiteral("and %1 more").arg(plan.steps.size() - shown);
    return QStringLiteral("Do you want to put these items back where they came from?\n\n") +
           lines.join(u'\n');
}

}  // namespace

RunResult DesktidyController::restoreTrashItems(const QList<Path>& items) {
    const TrashLocation trash = trashLocation();
    if (items.isEmpty()) {
        services_.prompter.notice(QStringLiteral("No items were selected to be put back."));
        return RunResult::Done;
    }
    // The run changes the Trash and each folder an item goes back into.
    const RunPlan plan = planRestore(items);
    RunRequest request{RunKind::Restore, {trash.files()}};
    for (const PlannedStep& step : plan.steps)
        if (!step.to.isEmpty() && !request.folders.contains(step.to.parent()))
            request.folders << step.to.parent();
    request.question = RunQuestion{
        QStringLiteral("Put Back?"), restoreQuestion(plan), QStringLiteral("Put Back"),
        [this, items, trash] { return planDetails(planRestore(items), trash.files()); }};
    return pipeline_
        .run(request,
             [&](RunContext& run) {
                 RestoreOutcome outcome;
                 const RunResult result =
                     ::restoreTrashItems(items, trash, run.files(), run.observer(), outcome);
                 run.report() = outcome.report;
                 if (result != RunResult::Cancelled && !outcome.closingNotice.isEmpty())
                     run.noticeAtEnd(outcome.closingNotice);
                 return result;
             })
        .result;
}

Path DesktidyController::applicationsFolder() {
    return ::applicationsFolder(Path::fromText(home_), services_.files);
}

RemovalChecklist DesktidyController::planRemoval(const Path& appPath) {
    // A signal stops the search, which may walk large folders, as it stops a run.
    return RemovalChecklist(buildRemovalList(appPath, applicationDataFolders_, trashServices(),
                                             runOptions_.stopSearch));
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
