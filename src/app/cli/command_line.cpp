#include "app/cli/command_line.h"

#include <signal.h>

#include <QDir>
#include <QRegularExpression>
#include <atomic>
#include <csignal>
#include <tuple>

#include "app/cli/command.h"
#include "app/cli/command_line_front_end.h"
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

bool isScheduledRun(const QStringList& arguments) { return scheduledRunNumber(arguments) != 0; }

void printHelp(QTextStream& out, const std::vector<std::unique_ptr<Command>>& commands) {
    out << "Usage: desktidy [--yes] [--dry-run] [--json] COMMAND [ARGUMENTS]\n"
           "       desktidy [FOLDER]     open the window (on FOLDER)\n"
           "       desktidy 1            the scheduled run: file every listed folder\n\n"
           "Keeps folders tidy: files loose items into category folders by type.\n\n"
           "Options (before the command):\n"
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
           "the usage of one command.\n";
    out.flush();
}

}  // namespace

bool startsWindow(const QStringList& arguments) {
    if (isScheduledRun(arguments)) return false;
    // "0" (or any number that is 0) is an ordinary start; absolute paths come from a
    // desktop launcher or a drop on the program's icon.
    static const QRegularExpression zero(QStringLiteral("^\\s*[+-]?0*\\s*$|^\\s*[+-]?0+\\D.*$"));
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        if (!QDir::isAbsolutePath(a) && !zero.match(a).hasMatch()) return false;
    }
    return true;
}

int runCommandLine(const QStringList& arguments, CommandLineIo io) {
    catchStopSignals();
    QStringList args = arguments;
    const bool assumeYes = args.removeAll(QStringLiteral("--yes")) > 0;
    const bool dryRun = args.removeAll(QStringLiteral("--dry-run")) > 0;
    const bool json = args.removeAll(QStringLiteral("--json")) > 0;
    const auto commands = allCommands();

    Command* command = nullptr;
    if (!isScheduledRun(args)) {
        if (args.size() < 2) {
            printHelp(io.err, commands);
            return ExitUsage;
        }
        // "help COMMAND" is "COMMAND --help".
        if (args.at(1) == u"help" && args.size() > 2)
            args = QStringList{args.at(0), args.at(2), QStringLiteral("--help")};
        const QString& first = args.at(1);
        if (first == u"--help" || first == u"-h" || first == u"help") {
            printHelp(io.out, commands);
            return ExitSuccess;
        }
        if (first == u"--version") {
            io.out << "desktidy " << DESKTIDY_VERSION << Qt::endl;
            return ExitSuccess;
        }
        for (const auto& c : commands)
            if (c->name() == first) command = c.get();
        if (!command) {
            io.err << "desktidy: unknown command \u201c" << first
                   << "\u201d. Run \u201cdesktidy --help\u201d for the list of commands."
                   << Qt::endl;
            return ExitUsage;
        }
        for (const auto& [given, takes, option] :
             {std::tuple{dryRun, &Command::takesDryRun, "--dry-run"},
              std::tuple{json, &Command::takesJson, "--json"}}) {
            if (!given || (command->*takes)()) continue;
            io.err << "desktidy " << first << ": " << option << " is for "
                   << commandsTaking(commands, takes) << Qt::endl;
            return ExitUsage;
        }
    }

    TerminalPrompter prompter(io.in, io.err, {assumeYes, io.inputIsTerminal, io.errorIsTerminal});
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
    controller.start(args);
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
        status = command->execute(context, args.mid(2));
    }
    io.out.flush();
    io.err.flush();
    return stopSignal != 0 ? ExitSignal : status;
}
