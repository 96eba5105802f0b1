#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "platform/path.h"

// The options read before the command, whatever the command.
struct GlobalOptions {
    bool yes = false;     // --yes: every question takes its default button
    bool dryRun = false;  // --dry-run: print the plan, change nothing
    bool json = false;    // --json: plans and results as JSON
    bool any() const { return yes || dryRun || json; }
};

// What the process's arguments ask for, read by the one grammar of the command line:
//
//   desktidy                                       the window
//   desktidy FOLDER...                             the window on FOLDER
//   desktidy 1                                     the scheduled run (the crontab's line)
//   desktidy [GLOBAL OPTIONS] COMMAND [COMMAND OPTIONS] [--] [ARGUMENTS]
//
// Global options are read only before the command; the command reads its own options and
// arguments. A word that names a command is that command, even where a folder has its
// name ("./file" names the folder). Any other first word is a folder to open the window
// on: an absolute path (as a launcher passes them), or a relative one that names an
// existing folder. Words of digits alone are never folders: "1" alone starts the
// scheduled run, "0" alone the window, and any other is a usage error.
struct StartArguments {
    enum class Kind { Window, Scheduled, Command, Help, Version, Usage };
    Kind kind = Kind::Window;
    GlobalOptions options;
    QString command;               // Command: its name
    QStringList commandArguments;  // Command: the arguments after its name, as given
    QList<Path> folders;           // Window: the folders named, absolute and clean
    QString problem;               // Usage: what is wrong, for "desktidy: ..."
};

// Reads arguments (entry 0 is the program's path) against the names of the commands;
// relative folders are taken from currentFolder.
StartArguments readStartArguments(const QStringList& arguments, const QStringList& commandNames,
                                  const Path& currentFolder);

// The process's current folder; "/" when it cannot be found.
Path currentFolder();
