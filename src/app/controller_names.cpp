#include "app/desktidy_controller.h"
#include "names/name_change_run.h"

void DesktidyController::clearChangeNames() { ::clearChangeNames(nameChangeOptions); }

RunResult DesktidyController::doChangeNames() { return doChangeNames(workingFolder()); }

RunResult DesktidyController::doChangeNames(const Path& folder) {
    NameChangeRun run(services.prompter, services.files, folder, nameChangeState, runProgress);
    run.noteRecentFolder = [this](const Path& folder) { noteRecentFolder(folder); };
    const RunResult result = run.doChangeNames(nameChangeOptions);
    if (result != RunResult::Cancelled || run.report().cancelled)
        if (onRunEnd) onRunEnd(run.report());
    return result;
}

RunPlan DesktidyController::planChangeNames(const Path& folder) {
    NameChangeState state;
    state.copyFrom(nameChangeOptions);
    return planNameChange(services.files, folder, state, nameChangeOptions).plan;
}
