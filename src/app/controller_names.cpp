#include "app/desktidy_controller.h"
#include "names/name_change_run.h"

void DesktidyController::clearChangeNames() { ::clearChangeNames(nameChangeOptions); }

RunResult DesktidyController::doChangeNames() {
    NameChangeRun run(services.prompter, services.files, draft.workingFolder, nameChangeState);
    run.noteRecentFolder = [this](const QString& folder) { noteRecentFolder(folder); };
    return run.doChangeNames(nameChangeOptions);
}
