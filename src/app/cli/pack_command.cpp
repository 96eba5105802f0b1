#include "app/cli/pack_command.h"

#include "app/desktidy_controller.h"

QString PackCommand::name() const {
    return forSide(QStringLiteral("pack"), QStringLiteral("unpack"));
}

QString PackCommand::summary() const {
    return forSide(QStringLiteral("copy every row of the pack list to its destination folder"),
                   QStringLiteral("copy every row of the unpack list back to its folder"));
}

int PackCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    if (const auto end = parseAtMostOne(parser, context, arguments)) return *end;
    DesktidyController& controller = context.controller;
    if (context.dryRun) return printPlan(controller.planCopies(side_), context);
    return statusOf(controller.copyPackRows(side_), context);
}
