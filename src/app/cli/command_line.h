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

// True when these arguments start the window: none, "0" alone, or only folders (see
// start_arguments.h for the grammar).
bool startsWindow(const QStringList& arguments);
// The folders such arguments open the window on, absolute.
QList<Path> windowFolders(const QStringList& arguments);

// Runs `desktidy` without a window: the scheduled run, or one subcommand. Returns the
// process's exit status. arguments[0] is the program's path.
int runCommandLine(const QStringList& arguments, CommandLineIo io);
