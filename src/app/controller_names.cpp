#include "app/desktidy_controller.h"
#include "names/name_change_run.h"
#include "runs/run_scope.h"

void DesktidyController::clearChangeNames() { ::clearChangeNames(nameChangeOptions); }

RunResult DesktidyController::doChangeNames() { return doChangeNames(workingFolder()); }

RunResult DesktidyController::doChangeNames(const Path& folder) {
    RunScope journal(services.files, services.prompter, "rename", folder);
    if (!journal.started()) return RunResult::Failed;
    NameChangeRun run(services.prompter, services.files, folder, nameChangeState);
    run.noteRecentFolder = [this](const Path& folder) { noteRecentFolder(folder); };
    return journal.finish(run.doChangeNames(nameChangeOptions));
}
