#include "app/cli/history_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/desktidy_controller.h"
#include "runs/run_history.h"

QString HistoryCommand::summary() const {
    return QStringLiteral("list the runs that moved or renamed items, to undo one");
}

int HistoryCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists the runs kept (the last 100, none older than 90 days), oldest first: number, "
        "time, kind (the command that made it: file, file-all, scheduled, watch, archive, unfile, "
        "unfile-all, rename, pack, unpack, remove-app, restore, undo), items moved, state "
        "(running, done, stopped, failed, undone) and folder."));
    if (const auto end = parseAtMostOne(parser, context, arguments)) return *end;
    const RunHistory history = context.controller.runHistory();
    QJsonArray runs;
    for (const int number : history.numbers()) {
        const std::optional<RunRecord> record = history.read(number);
        if (!record) continue;
        const QString state = runStateName(history.stateOf(*record));
        const int moved = record->itemCount(context.controller.services().files);
        if (context.json) {
            QJsonArray folders;
            for (const Path& folder : record->folders)
                folders.append(textKeepingBytes(folder.bytes()));
            QJsonObject run{{"number", number},
                            {"time", record->time.toUTC().toString(Qt::ISODate)},
                            {"kind", QString::fromUtf8(record->kind)},
                            {"moved", moved},
                            {"state", state},
                            {"folders", folders}};
            if (!record->result.isEmpty()) run.insert("result", record->result);
            if (const int undid = record->option("undoes").toInt(); undid > 0)
                run.insert("undoes", undid);
            if (record->undoneBy > 0) run.insert("undone_by", record->undoneBy);
            runs.append(run);
            continue;
        }
        QString folder;
        if (!record->folders.isEmpty()) folder = record->folders.first().display();
        if (record->folders.size() > 1)
            folder += QStringLiteral(" and %1 more").arg(record->folders.size() - 1);
        // The kind as the command that makes such a run is called.
        context.out << QString::number(number).rightJustified(4) << "  "
                    << record->time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                    << "  " << QString::fromUtf8(record->kind).leftJustified(11) << ' '
                    << QString::number(moved).rightJustified(6) << "  " << state.leftJustified(8)
                    << ' ' << folder << '\n';
    }
    if (context.json)
        context.out << QJsonDocument(QJsonObject{{"runs", runs}}).toJson(QJsonDocument::Compact)
                    << Qt::endl;
    return ExitSuccess;
}
