#include "app/cli/command_line.h"

#include <signal.h>

#include <QDir>
#include <atomic>
#include <csignal>
#include <tuple>

#include "app/cli/command.h"
#include "app/cli/command_line_front_end.h"
#include "app/cli/start_arguments.h"
#include "app/desktidy_controller.h"
#include "platform/dbus_notifier.h"
#include "platform/path.h"
#include "platform/terminal_prompter.h"
#include "runs/journaling_file_system.h"
#include "runs/run_recovery.h"

namespace {

// The chooser the command line's services carry, which nothing should ever open.
class RefusingPathChooser : public PathChooser {
  public:
    std::optional<QList<Path>> choose(const ChooserRequest&) override { return std::nullopt; }
};

// Set by SIGINT, SIGTERM and SIGHUP: the run in hand stops after its current item.
std::atomic_bool stopRequested = false;
volatile std::sig_atomic_t stopSignal = 0;

void requestStop(int signal) {
    stopSignal = signal;
    stopRequested.store(true);
}

// From the start, before any run (the scheduled one included): Ctrl+C, SIGTERM and a hang-up
// ask the run to stop instead of killing it, so that what is done stays done and the run's
// record is ended. A closed output (`desktidy file --all | head -1`) never stops a run: its
// writes fail, and the run goes on to its end.
void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGPIPE, &ignore, nullptr);
}

// The names of the commands a global option applies to, "file, unfile and rename".
QString commandsTaking(const std::vector<std::unique_ptr<Command>>& commands,
                       bool (Command::*takes)() const) {
    QStringList names;
    for (const auto& command : commands)
        if (((*command).*takes)()) names << command->name();
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

QStringList commandNames(const std::vector<std::unique_ptr<Command>>& commands) {
    QStringList names;
    for (const auto& command : commands) names << command->name();
    return names;
}

void printHelp(QTextStream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "Usage: desktidy [GLOBAL OPTIONS] COMMAND [COMMAND OPTIONS] [--] [ARGUMENTS]\n"
           "       desktidy [FOLDER...]  open the window (on FOLDER, absolute or relative)\n"
           "       desktidy 1            the scheduled run: file every listed folder\n\n"
           "Keeps folders tidy: files loose items into category folders by type.\n\n"
           "Global options, given before the command:\n"
           "  --yes        answer every question with its default button\n"
           "  --dry-run    print what a run would do and change nothing\n"
           "               ("
        << commandsTaking(commands, &Command::takesDryRun)
        << ")\n"
           "  --json       print the output as JSON\n"
           "               ("
        << commandsTaking(commands, &Command::takesJson)
        << ")\n"
           "  -h, --help   show this help\n"
           "  --version    show the version\n\n"
           "Commands:\n";
    for (const auto& command : commands)
        out << "  " << command->name().leftJustified(14) << command->summary() << '\n';
    out << "\nRun \u201cdesktidy help COMMAND\u201d or \u201cdesktidy COMMAND --help\u201d for "
           "the usage of one\ncommand. \u201c--\u201d ends a command's options: what follows "
           "it is taken as arguments.\nRelative paths are taken from the current folder; a "
           "folder named like a command\nis opened as \u201c./NAME\u201d. \u201cdesktidy "
           "1\u201d alone, as the crontab line writes it, is the\nonly start of the scheduled "
           "run.\n";
    out.flush();
}

}  // namespace

StartArguments readStart(const QStringList& arguments) {
    return readStartArguments(arguments, commandNames(allCommands()), currentFolder());
}

int runCommandLine(const StartArguments& start, const QStringList& arguments, CommandLineIo io) {
    catchStopSignals();
    const auto commands = allCommands();
    const GlobalOptions& options = start.options;
    Command* command = nullptr;
    switch (start.kind) {
        case StartArguments::Kind::Help:
            printHelp(io.out, commands);
            return ExitSuccess;
        case StartArguments::Kind::Version:
            io.out << "desktidy " << DESKTIDY_VERSION << Qt::endl;
            return ExitSuccess;
        case StartArguments::Kind::Usage:
            io.err << "desktidy: " << start.problem << Qt::endl;
            return ExitUsage;
        case StartArguments::Kind::Window:
            // Only when the window could not be started: say how it is used.
            printHelp(io.err, commands);
            return ExitUsage;
        case StartArguments::Kind::Scheduled:
            break;
        case StartArguments::Kind::Command:
            for (const auto& c : commands)
                if (c->name() == start.command) command = c.get();
            for (const auto& [given, takes, option] :
                 {std::tuple{options.dryRun, &Command::takesDryRun, "--dry-run"},
                  std::tuple{options.json, &Command::takesJson, "--json"}}) {
                if (!given || (command->*takes)()) continue;
                io.err << "desktidy " << start.command << ": " << option << " is for "
                       << commandsTaking(commands, takes) << Qt::endl;
                return ExitUsage;
            }
            break;
    }
    const bool dryRun = options.dryRun, json = options.json;

    TerminalPrompter prompter(io.in, io.err, {options.yes, io.inputIsTerminal, io.errorIsTerminal});
    DBusNotifier desktop;
    TerminalNotifier notifier(io.err, &desktop);
    // No command opens a chooser: each names its paths as arguments.
    RefusingPathChooser chooser;
    const UserEnvironment user = UserEnvironment::fromProcess();
    LocalFileSystem localFiles;
    JournalingFileSystem files(localFiles, desktidyStateFolder(user.home));
    ProcessToolRunner tools;
    Services services{prompter, notifier, chooser, files, tools, ToolPaths::fromEnvironment(),
                      user,     QString()};
    CommandLineFrontEnd frontEnd(prompter, io.out, stopRequested, json);
    DesktidyController controller(services, BundleDefaults::fromResources());
    controller.setRunOptions({&frontEnd, &stopRequested, Wording::CommandLine});
    controller.start(arguments);
    if (const QString notice = controller.takeSettingsNotice(); !notice.isEmpty())
        io.err << "desktidy: " << notice << Qt::endl;
    // A run that a crash or a kill stopped is put right and told of once, on any start
    // but a preview's, which changes nothing.
    if (!dryRun)
        for (const StoppedRun& stopped : controller.recoverStoppedRuns())
            io.err << "desktidy: " << stopped.line(Wording::CommandLine) << Qt::endl;

    int status = ExitSuccess;
    if (const std::optional<RunResult> scheduled = controller.runScheduledFiling()) {
        // A scheduled run that failed says so in its exit status too.
        status = *scheduled == RunResult::Done ? ExitSuccess : ExitFailure;
    } else {
        CommandContext context{controller, prompter, io.out, io.err, dryRun, json};
        status = command->execute(context, start.commandArguments);
    }
    io.out.flush();
    io.err.flush();
    return stopSignal != 0 ? ExitSignal : status;
}
