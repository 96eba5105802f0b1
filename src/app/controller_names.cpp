#include "app/desktidy_controller.h"
#include "names/name_change_run.h"

void DesktidyController::clearChangeNames() { ::clearChangeNames(nameChangeOptions); }

RunResult DesktidyController::doChangeNames() { return doChangeNames(workingFolder()); }

RunResult DesktidyController::doChangeNames(const Path& folder) {
    NameChangeRun run(services.prompter, services.files, folder, nameChangeState);
    run.noteRecentFolder = [this](const Path& folder) { noteRecentFolder(folder); };
    return run.doChangeNames(nameChangeOptions);
}
