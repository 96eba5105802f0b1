#include "app/cli/file_command.h"

#include "app/desktidy_controller.h"

QString FileCommand::summary() const {
    return QStringLiteral(
        "[FOLDER] | --all: file FOLDER (default: the working folder) or every listed folder");
}

RunResult FileCommand::runOne(DesktidyController& controller, const Path& folder) {
    return controller.fileFolder(folder);
}

RunResult FileCommand::runAll(DesktidyController& controller) {
    return controller.fileListedFolders();
}

RunPlan FileCommand::planOne(DesktidyController& controller, const Path& folder) {
    return controller.planFiling(folder);
}
