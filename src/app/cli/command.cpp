#include "app/cli/command.h"


bool Command::parse(QCommandLineParser& parser, CommandContext& context,
                    const QStringList& arguments) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QStringList withName = arguments;
    withName.prepend(QStringLiteral("desktidy ") + name());
    if (parser.parse(withName)) return true;
    context.err << "desktidy " << name() << ": " << parser.errorText() << Qt::endl;
    context.err << "Run \u201cdesktidy --help\u201d for the list of commands." << Qt::endl;
    return false;
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
