#include "app/cli/history_command.h"

#include "app/desktidy_controller.h"
#include "runs/run_history.h"

QString HistoryCommand::summary() const {
    return QStringLiteral("list the runs that moved or renamed items, to undo one");
}

int HistoryCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the runs kept (the last 100, none older than 90 days): number, time, kind, "
        "items moved, state (done, stopped, undone) and folder."));
    if (const auto end = parseAtMostOne(parser, context, arguments)) return *end;
    const RunHistory history = context.controller.runHistory();
    for (const int number : history.numbers()) {
        const std::optional<RunRecord> record = history.read(number);
        if (!record) continue;
        QString folder;
        if (!record->folders.isEmpty()) folder = record->folders.first().display();
        if (record->folders.size() > 1)
            folder += QStringLiteral(" and %1 more").arg(record->folders.size() - 1);
        context.out << QString::number(number).rightJustified(4) << "  "
                    << record->time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                    << "  " << runKindTitle(record->kind).leftJustified(20) << ' '
                    << QString::number(record->itemCount(context.controller.services().files))
                           .rightJustified(6)
                    << "  " << runStateName(history.stateOf(*record)).leftJustified(8) << ' '
                    << folder << '\n';
    }
    return ExitSuccess;
}
