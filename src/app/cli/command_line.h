#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QTextStream>

#include "app/cli/start_arguments.h"
#include "platform/path.h"

// The streams and terminal facts the command line runs with; tests pass strings.
struct CommandLineIo {
    QTextStream& in;
    QTextStream& out;
    QTextStream& err;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
};

// The arguments as the process gets them are bytes, and the command line parses text. An
// argument becomes text by textKeepingBytes (path.h), so that bytesOfText gives back exactly
// its bytes and a path argument names its item byte for byte.

// What the process's arguments ask for (entry 0 is the program's path), read once at the
// start by the grammar of start_arguments.h against the commands there are: the window
// (on its folders), the scheduled run, a command, or a usage error.
StartArguments readStart(const QStringList& arguments);

// Runs `desktidy` without a window, as start (read from arguments) asks: the scheduled
// run, or one subcommand. Returns the process's exit status.
int runCommandLine(const StartArguments& start, const QStringList& arguments, CommandLineIo io);
