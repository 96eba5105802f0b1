#include "app/cli/working_folder_command.h"

#include "app/desktidy_controller.h"

QString WorkingFolderCommand::name() const {
    return filing() ? QStringLiteral("file") : QStringLiteral("unfile");
}

QString WorkingFolderCommand::summary() const {
    return filing() ? QStringLiteral(
                          "[FOLDER] | --all: file FOLDER (default: the working "
                          "folder) or every listed folder")
                    : QStringLiteral(
                          "[FOLDER] | --all: put the filed items of FOLDER, or of "
                          "every listed folder, back");
}

RunResult WorkingFolderCommand::runOne(DesktidyController& controller, const Path& folder) const {
    return filing() ? controller.fileFolder(folder) : controller.unfileFolder(folder);
}

RunResult WorkingFolderCommand::runAll(DesktidyController& controller) const {
    return filing() ? controller.fileListedFolders() : controller.unfileListedFolders();
}

RunPlan WorkingFolderCommand::planOne(DesktidyController& controller, const Path& folder) const {
    return filing() ? controller.planFiling(folder) : controller.planUnfiling(folder);
}

int WorkingFolderCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption all(QStringLiteral("all"),
                                 QStringLiteral("Every folder of the folder list (see folders)."));
    parser.addOption(all);
    parser.setApplicationDescription(
        filing()
            ? QStringLiteral("Files the loose items of FOLDER (default: the working folder), or of "
                             "every listed folder, into category folders by their type. Items last "
                             "changed on or before the archive date are archived first. An item "
                             "whose name is taken stays where it is. Asks first.")
            : QStringLiteral(
                  "Puts everything in the category folders of FOLDER (default: the working "
                  "folder), or of every listed folder, back at its top level. Asks first."));
    parser.addPositionalArgument(QStringLiteral("FOLDER"),
                                 QStringLiteral("The folder (default: the working folder)."),
                                 QStringLiteral("[FOLDER]"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1 || (parser.isSet(all) && !folders.isEmpty())) {
        context.err << "desktidy " << name() << ": expected one FOLDER or --all" << Qt::endl;
        return ExitUsage;
    }

    DesktidyController& controller = context.controller;
    QList<Path> toPlan;
    if (parser.isSet(all)) {
        if (!context.dryRun) return statusOf(runAll(controller), context);
        toPlan = controller.distinctListedFolders();
    } else {
        const std::optional<Path> given =
            folders.isEmpty() ? controller.workingFolder() : pathFrom(context, folders.first());
        if (!given) return ExitUsage;
        const Path& folder = *given;
        // A folder that is not there is refused by the controller, on the error stream.
        if (!context.dryRun) return statusOf(runOne(controller, folder), context);
        toPlan << folder;
    }
    // The preview of every folder, in the order the run takes them; a folder that is not
    // there is told, as the run would refuse it, and fails the preview.
    RunPlan plan;
    plan.kind = kind_;
    bool missing = false;
    for (const Path& folder : toPlan) {
        if (const QString why = whyNotAFolder(folder); !why.isEmpty()) {
            context.err << "desktidy: " << why << Qt::endl;
            missing = true;
            continue;
        }
        plan.append(planOne(controller, folder));
    }
    printPlan(plan, context);
    return missing ? ExitFailure : ExitSuccess;
}
