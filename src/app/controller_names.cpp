#include "app/desktidy_controller.h"
#include "names/name_change_run.h"

RunResult DesktidyController::changeNames(const Path& folder, const NameChangeOptions& options) {
    NameChangeRun run(services_.prompter, services_.files, folder);
    run.noteRecentFolder = [this](const Path& folder) { noteRecentFolder(folder); };
    return run.doChangeNames(options);
}
