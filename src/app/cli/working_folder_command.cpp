#include "app/cli/working_folder_command.h"

#include "app/desktidy_controller.h"

int WorkingFolderCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption all(QStringLiteral("all"),
                                 QStringLiteral("every folder of the folder list"));
    parser.addOption(all);
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("the folder"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList folders = parser.positionalArguments();
    if (folders.size() > 1 || (parser.isSet(all) && !folders.isEmpty())) {
        context.err << "desktidy " << name() << ": expected one FOLDER or --all" << Qt::endl;
        return ExitUsage;
    }

    DesktidyController& controller = context.controller;
    if (parser.isSet(all) && context.dryRun) {
        context.err << "desktidy " << name() << ": --dry-run takes one FOLDER, not --all"
                    << Qt::endl;
        return ExitUsage;
    }
    if (parser.isSet(all)) return statusOf(runAll(controller), context);
    const Path folder =
        folders.isEmpty() ? controller.workingFolder() : pathArgument(folders.first());
    if (context.dryRun) {
        if (!isFolderOrLinkToOne(folder)) {
            context.err << "desktidy " << name() << ": \u201c" << folder.display()
                        << "\u201d is not a folder" << Qt::endl;
            return ExitFailure;
        }
        return printPlan(planOne(controller, folder), context);
    }
    // A folder that is not there is refused by the controller, on the error stream.
    return statusOf(runOne(controller, folder), context);
}
