#include "app/cli/remove_app_command.h"

#include "app/desktidy_controller.h"
#include "platform/terminal_prompter.h"

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

void printRows(QTextStream& out, const RemovalChecklist& rows) {
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QStringList lines = rows.row(i).label().split(u'\n');
        const QString number = QString::number(i + 1);
        out << number << (rows.isChecked(i) ? " [x] " : " [ ] ") << lines.value(0) << '\n';
        for (const QString& line : lines.mid(1))
            out << QString(number.size() + 5, u' ') << line << '\n';
    }
}

}  // namespace

QString RemoveAppCommand::summary() const {
    return QStringLiteral(
        "PATH [--uncheck N]...: list an application's items; --yes moves them to the Trash");
}

int RemoveAppCommand::execute(CommandContext& context, const QStringList& arguments) {
    QCommandLineParser parser;
    QCommandLineOption uncheck(QStringLiteral("uncheck"),
                               QStringLiteral("Leave row N (from 1) where it is."),
                               QStringLiteral("N"));
    parser.addOption(uncheck);
    parser.addPositionalArgument(QStringLiteral("path"), QStringLiteral("the application"));
    if (const auto end = parse(parser, context, arguments)) return *end;
    const QStringList positional = parser.positionalArguments();
    const std::optional<QList<int>> unchecked = rowNumbers(parser.values(uncheck));
    if (positional.size() != 1 || !unchecked) {
        context.err << "desktidy remove-app: expected one PATH and row numbers from 1" << Qt::endl;
        return ExitUsage;
    }
    const Path path = pathArgument(positional.first());
    DesktidyController& controller = context.controller;
    if (!controller.services().files.exists(path)) {
        context.err << "desktidy remove-app: there is no item \u201c" << path.display() << "\u201d"
                    << Qt::endl;
        return ExitFailure;
    }

    RemovalChecklist checklist = controller.planRemoval(path);
    for (int row : *unchecked) {
        if (row > checklist.size()) {
            context.err << "desktidy remove-app: there is no row " << row << Qt::endl;
            return ExitUsage;
        }
    }
    // Every uncheck is tried before any is refused: unchecking a folder unchecks the rows
    // inside it, whichever was named first.
    for (int row : *unchecked) checklist.setChecked(row - 1, false);
    for (int row : *unchecked)
        if (checklist.followsFolder(row - 1))
            context.err << "desktidy remove-app: row " << row
                        << " lies inside a checked folder and goes with it" << Qt::endl;
    // A preview, and --json without --yes, show the moves as a plan; the rows would not
    // be JSON.
    if (context.dryRun || (context.json && !context.prompter.assumesYes()))
        return printPlan(controller.planMoveToTrash(checklist), context);
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
