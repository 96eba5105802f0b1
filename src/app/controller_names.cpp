#include "app/desktidy_controller.h"
#include "names/name_change_run.h"
#include "runs/run_scope.h"

RunResult DesktidyController::changeNames(const Path& folder, const NameChangeOptions& options) {
    RunScope journal(services_.files, services_.prompter, "rename", folder);
    if (!journal.started()) return RunResult::Failed;
    NameChangeRun run(services_.prompter, services_.files, folder, journaledProgress());
    run.noteRecentFolder = [this](const Path& folder) { noteRecentFolder(folder); };
    const RunResult result = run.doChangeNames(options);
    if (result != RunResult::Cancelled || run.report().cancelled) reportRunEnd(run.report());
    return journal.finish(result);
}

RunPlan DesktidyController::planChangeNames(const Path& folder, const NameChangeOptions& options) {
    return planNameChange(services_.files, folder, options).plan;
}
