#include "app/cli/remove_app_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/desktidy_controller.h"
#include "platform/terminal_prompter.h"
#include "removal/application_info.h"

namespace {

// Row numbers (from 1) given as repeated options or lists like "2,5".
std::optional<QList<int>> rowNumbers(const QStringList& values) {
    QList<int> rows;
    for (const QString& value : values) {
        for (const QString& piece : value.split(u',', Qt::SkipEmptyParts)) {
            bool ok = false;
            const int row = piece.trimmed().toInt(&ok);
            if (!ok || row < 1) return std::nullopt;
            rows.append(row);
        }
    }
    return rows;
}

const QString mayBeRelated = QStringLiteral("may be related");

void printRows(QTextStream& out, const RemovalChecklist& rows) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList lines = rows.row(i).label().split(u'\n');
        const QString number = QString::number(i + 1);
        out << number << (rows.isChecked(i) ? " [x] " : " [ ] ") << lines.value(0);
        if (rows.row(i).mayBeRelated()) out << "  (" << mayBeRelated << ')';
        out << '\n';
        for (const QString& line : lines.mid(1))
            out << QString(number.size() + 5, u' ') << line << '\n';
    }
}

// The plan as JSON, with the rows it was made from: each item, whether it moves, and
// whether it only may be related.
void printPlanWithRows(const RunPlan& plan, const RemovalChecklist& rows, QTextStream& out) {
    QJsonArray items;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QJsonObject item{{"row", int(i + 1)},
                         {"path", textKeepingBytes(rows.row(i).itemPath().bytes())},
                         {"checked", rows.isChecked(i)}};
        if (rows.row(i).mayBeRelated()) item.insert("note", mayBeRelated);
        items.append(item);
    }
    QJsonObject json = planJson(plan);
    json.insert("rows", items);
    out << QJsonDocument(json).toJson(QJsonDocument::Compact) << Qt::endl;
}

}  // namespace

QString RemoveAppCommand::summary() const {
    return QStringLiteral(
        "PATH [--check N]... [--uncheck N]...: list an application's items; --yes moves the "
        "checked ones to the Trash");
}

int RemoveAppCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    QCommandLineOption uncheck(QStringLiteral("uncheck"),
                               QStringLiteral("Leave row N (from 1) where it is."),
                               QStringLiteral("N"));
    QCommandLineOption check(QStringLiteral("check"),
                             QStringLiteral("Move row N (from 1) too, one that may be related."),
                             QStringLiteral("N"));
    parser.addOptions({check, uncheck});
    parser.setApplicationDescription(QStringLiteral(
        "Lists an application (a *.app bundle or an AppImage) with the items that carry its "
        "name; with --yes, moves the checked ones to the Trash folder \u201cDKT Deleted "
        "Apps\u201d."));
    parser.addPositionalArgument(QStringLiteral("PATH"), QStringLiteral("The application."));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const std::optional<QList<int>> checked = rowNumbers(parser.values(check));
    const std::optional<QList<int>> unchecked = rowNumbers(parser.values(uncheck));
    if (positional.size() != 1 || !checked || !unchecked) {
        context.err << "desktidy remove-app: expected one PATH and row numbers from 1" << Qt::endl;
        return ExitUsage;
    }
    const std::optional<Path> given = pathFrom(context, positional.first());
    if (!given) return ExitUsage;
    const Path& path = *given;
    DesktidyController& controller = context.controller;
    if (!controller.services().files.exists(path)) {
        context.err << "desktidy remove-app: there is no item \u201c" << path.display() << "\u201d"
                    << Qt::endl;
        return ExitFailure;
    }
    // Anything else would be listed, and with --yes moved, as if it were one.
    if (!isApplication(path)) {
        context.err << "desktidy remove-app: \u201c" << path.display()
                    << "\u201d is no application: an application is a *.app bundle or an "
                       "*.AppImage file"
                    << Qt::endl;
        return ExitUsage;
    }

    RemovalChecklist checklist = controller.planRemoval(path);
    if (checklist.cancelled()) return ExitSignal;  // stopped by a signal: nothing to show
    for (int row : *checked + *unchecked) {
        if (row > checklist.size()) {
            context.err << "desktidy remove-app: there is no row " << row << Qt::endl;
            return ExitUsage;
        }
    }
    // Every uncheck is tried before any is refused: unchecking a folder unchecks the rows
    // inside it, whichever was named first.
    for (int row : *checked) checklist.setChecked(row - 1, true);
    for (int row : *unchecked) checklist.setChecked(row - 1, false);
    for (int row : *unchecked)
        if (checklist.followsFolder(row - 1))
            context.err << "desktidy remove-app: row " << row
                        << " lies inside a checked folder and goes with it" << Qt::endl;
    // A preview, and --json without --yes, show the moves as a plan, JSON with the rows.
    if (context.json && (context.dryRun || !context.prompter.assumesYes())) {
        printPlanWithRows(controller.planMoveToTrash(checklist), checklist, context.out);
        return ExitSuccess;
    }
    if (context.dryRun) return printPlan(controller.planMoveToTrash(checklist), context);
    if (!context.json) printRows(context.out, checklist);
    context.out.flush();

    if (!context.prompter.assumesYes()) {
        context.err
            << "Nothing was moved; run again with --yes to move the checked items to the Trash."
            << Qt::endl;
        return ExitSuccess;
    }
    return statusOf(controller.moveToTrash(checklist), context);
}
