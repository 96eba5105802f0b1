#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>
#include <memory>
#include <optional>
#include <vector>

#include "platform/path.h"
#include "platform/run_plan.h"
#include "platform/run_result.h"

class DesktidyController;
class TerminalPrompter;

// What a subcommand works with: the controller after start-up, the prompter that answers
// its questions, and the streams (results on out, everything else on err).
struct CommandContext {
    DesktidyController& controller;
    TerminalPrompter& prompter;
    QTextStream& out;
    QTextStream& err;
    bool dryRun = false;  // --dry-run: print the plan, change nothing
    bool json = false;    // --json: plans and results as JSON
};

// Exit statuses of the command line.
// A run stopped by SIGINT or SIGTERM ends with 130, as a shell reports Ctrl+C.
enum ExitStatus { ExitSuccess = 0, ExitFailure = 1, ExitUsage = 2, ExitSignal = 130 };

// One subcommand of `desktidy`, a small class over the controller.
class Command {
  public:
    virtual ~Command() = default;
    virtual QString name() const = 0;
    virtual QString summary() const = 0;  // one line for `desktidy --help`
    // Whether the global --dry-run (print the plan, change nothing) and --json apply to
    // the command; its help lists those that do, and the others are refused.
    virtual bool takesDryRun() const { return false; }
    virtual bool takesJson() const { return false; }
    // Runs with the arguments after the command's name; returns the exit status.
    virtual int execute(CommandContext& context, const QStringList& arguments) = 0;

  protected:
    // Parses arguments (after the name) with parser, which also learns -h and --help.
    // Returns nullopt to go on, or the status to end with: ExitSuccess once --help has
    // printed the usage on out, ExitUsage once a parse error has been printed on err.
    std::optional<int> parse(QCommandLineParser& parser, CommandContext& context,
                             const QStringList& arguments);
    // parse() for a command that takes at most one positional argument, which what names
    // ("folder": more is "give one folder only"), or none at all when what is empty.
    std::optional<int> parseAtMostOne(QCommandLineParser& parser, CommandContext& context,
                                      const QStringList& arguments, const QString& what = {});
    // The path a path argument names (pathArgument); nullopt, told on err, for an empty
    // one, which is a usage error: a script's unset variable names no folder.
    std::optional<Path> pathFrom(CommandContext& context, const QString& argument) const;
    // 0 for Done, 1 for Cancelled or Failed, saying so on err for a cancel.
    int statusOf(RunResult result, CommandContext& context) const;
    // Prints a plan for --dry-run on out: one line per step, "SOURCE -> DESTINATION" with
    // every byte visible and refused steps marked, then where a name change would stop;
    // or the plan as one line of JSON. Returns ExitSuccess.
    int printPlan(const RunPlan& plan, CommandContext& context) const;
};

// A path named on the command line, by the bytes of the argument, made absolute against
// the current folder and clean. The argument must not be empty (see Command::pathFrom).
Path pathArgument(const QString& argument);

// Every subcommand, in the order `desktidy --help` lists them.
std::vector<std::unique_ptr<Command>> allCommands();
