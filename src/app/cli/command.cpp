#include "app/cli/command.h"

#include <QCoreApplication>
#include <QJsonDocument>

#include "app/cli/command_line.h"
#include "app/cli/start_arguments.h"

namespace {

// Qt's help names the program's path; ours names the command as it is typed, with the
// global options that apply to it before it, and says what they do.
QString helpFor(const QCommandLineParser& parser, const Command& command) {
    const QString text = parser.helpText();
    const QStringList arguments = QCoreApplication::arguments();
    const QString qtStart =
        QStringLiteral("Usage: ") +
        (arguments.isEmpty() ? QStringLiteral("<executable_name>") : arguments.first());
    const QString firstLine = text.section(u'\n', 0, 0);
    const QString syntax = firstLine.startsWith(qtStart) ? firstLine.mid(qtStart.size())
                                                         : QStringLiteral(" [options]");
    QString globals = QStringLiteral("[--yes]");
    QString globalHelp = QStringLiteral(
        "\nGlobal options (before the command):\n"
        "  --yes      Answer every question with its default button.\n");
    if (command.takesDryRun()) {
        globals += QStringLiteral(" [--dry-run]");
        globalHelp += QStringLiteral("  --dry-run  Print what the run would do; change nothing.\n");
    }
    if (command.takesJson()) {
        globals += QStringLiteral(" [--json]");
        globalHelp += QStringLiteral("  --json     Print the output as JSON.\n");
    }
    return QStringLiteral("Usage: desktidy ") + globals + u' ' + command.name() + syntax + u'\n' +
           text.section(u'\n', 1) + globalHelp;
}

}  // namespace

std::optional<int> Command::parse(QCommandLineParser& parser, CommandContext& context,
                                  const QStringList& arguments) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    parser.addOption(help);
    if (parser.applicationDescription().isEmpty()) parser.setApplicationDescription(summary());
    QStringList withName = arguments;
    withName.prepend(QStringLiteral("desktidy ") + name());
    if (!parser.parse(withName)) {
        // Global options are read before the command only: after it, they are no options
        // of its, and never taken as given.
        for (const QString& option : parser.unknownOptionNames()) {
            if (option != u"yes" && option != u"dry-run" && option != u"json") continue;
            context.err << "desktidy " << name() << ": --" << option
                        << " is a global option: give it before the command, as in "
                           "\u201cdesktidy --"
                        << option << ' ' << name() << " ...\u201d" << Qt::endl;
            return ExitUsage;
        }
        context.err << "desktidy " << name() << ": " << parser.errorText() << Qt::endl;
        context.err << "Run \u201cdesktidy " << name() << " --help\u201d for its usage."
                    << Qt::endl;
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        context.out << helpFor(parser, *this);
        return ExitSuccess;
    }
    return std::nullopt;
}

std::optional<int> Command::parseAtMostOne(QCommandLineParser& parser, CommandContext& context,
                                           const QStringList& arguments, const QString& what) {
    if (const auto end = parse(parser, context, arguments)) return end;
    const qsizetype given = parser.positionalArguments().size();
    if (given <= (what.isEmpty() ? 0 : 1)) return std::nullopt;
    context.err << "desktidy " << name() << ": "
                << (what.isEmpty() ? QStringLiteral("takes no arguments")
                                   : QStringLiteral("give one %1 only").arg(what))
                << Qt::endl;
    return ExitUsage;
}

int Command::printPlan(const RunPlan& plan, CommandContext& context) const {
    if (context.json) {
        context.out << QJsonDocument(planJson(plan)).toJson(QJsonDocument::Compact) << Qt::endl;
        return ExitSuccess;
    }
    for (const PlannedStep& step : plan.steps) context.out << planLine(step) << '\n';
    for (const QString& notice : plan.notices)
        context.out << "notice: " << QString(notice).replace(u'\n', QStringLiteral("\n  ")) << '\n';
    if (plan.stopAlert) {
        context.out << "stops";
        if (!plan.stopItem.isEmpty())
            context.out << " at \u201c" << displayName(plan.stopItem.fileName()) << "\u201d";
        context.out << ": " << *plan.stopAlert << '\n';
    }
    context.out.flush();
    return ExitSuccess;
}

int Command::statusOf(RunResult result, CommandContext& context) const {
    switch (result) {
        case RunResult::Done:
            return ExitSuccess;
        case RunResult::Cancelled:
            context.err << "desktidy " << name() << ": cancelled" << Qt::endl;
            return ExitFailure;
        case RunResult::Failed:
            return ExitFailure;
    }
    return ExitFailure;
}

std::optional<Path> Command::pathFrom(CommandContext& context, const QString& argument) const {
    if (!argument.isEmpty()) return pathArgument(argument);
    context.err << "desktidy " << name()
                << ": an empty path names nothing (the current folder is \u201c.\u201d)"
                << Qt::endl;
    return std::nullopt;
}

Path pathArgument(const QString& argument) {
    const Path path(bytesOfText(argument));
    if (path.isAbsolute()) return path.cleaned();
    return (currentFolder() / path.bytes()).cleaned();
}
