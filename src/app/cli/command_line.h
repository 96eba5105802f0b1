#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QTextStream>

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

// True when these arguments start the window: none, "0"-like ones that do not ask for a
// scheduled run, or only absolute paths as a desktop launcher passes them.
bool startsWindow(const QStringList& arguments);

// Runs `desktidy` without a window: the scheduled run, or one subcommand. Returns the
// process's exit status. arguments[0] is the program's path.
int runCommandLine(const QStringList& arguments, CommandLineIo io);
