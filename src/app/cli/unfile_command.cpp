#include "app/cli/unfile_command.h"

#include "app/desktidy_controller.h"

QString UnfileCommand::summary() const {
    return QStringLiteral(
        "[FOLDER] | --all: put the filed items of FOLDER, or of every listed folder, back");
}

RunResult UnfileCommand::runOne(DesktidyController& controller, const Path& folder) {
    return controller.unfileFolder(folder);
}

RunResult UnfileCommand::runAll(DesktidyController& controller) {
    return controller.unfileListedFolders();
}

RunPlan UnfileCommand::planOne(DesktidyController& controller, const Path& folder) {
    return controller.planUnfiling(folder);
}
