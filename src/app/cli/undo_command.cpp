#include "app/cli/undo_command.h"

#include "app/desktidy_controller.h"
#include "runs/run_history.h"
#include "runs/run_undo.h"

QString UndoCommand::summary() const {
    return QStringLiteral("[RUN]: undo the newest run not undone yet, or run RUN (see history)");
}

int UndoCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Moves back what a run moved, newest move first. An item that is no longer where the "
        "run left it, or whose old place is taken, stays where it is and is listed."));
    parser.addPositionalArgument(QStringLiteral("RUN"),
                                 QStringLiteral("The run's number, as history lists it."),
                                 QStringLiteral("[RUN]"));
    if (const auto end = parseAtMostOne(parser, context, arguments, QStringLiteral("run")))
        return *end;
    const QStringList positional = parser.positionalArguments();
    DesktidyController& controller = context.controller;
    const RunHistory history = controller.runHistory();
    std::optional<RunRecord> record;
    if (positional.isEmpty()) {
        record = controller.runToUndo();
        if (!record) {
            context.err << "desktidy undo: there is no run to undo" << Qt::endl;
            return ExitFailure;
        }
    } else {
        bool isNumber = false;
        const int number = positional.first().toInt(&isNumber);
        if (!isNumber || number <= 0) {
            context.err << "desktidy undo: \u201c" << positional.first()
                        << "\u201d is not a run number" << Qt::endl;
            return ExitUsage;
        }
        record = history.read(number);
        if (!record) {
            context.err << "desktidy undo: there is no run " << number << Qt::endl;
            return ExitFailure;
        }
    }
    const RunResult result = controller.undoRun(*record);
    return statusOf(result, context);
}
