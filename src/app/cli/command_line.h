#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QTextStream>

// The streams and terminal facts the command line runs with; tests pass strings.
struct CommandLineIo {
    QTextStream& in;
    QTextStream& out;
    QTextStream& err;
    bool inputIsTerminal = false;
    bool errorIsTerminal = false;
};

// The arguments as the process gets them are bytes, and the command line parses text. An
// argument becomes text by its UTF-8 decoding, with each byte that is not part of a
// character kept as the lone surrogate U+DC80 to U+DCFF, which no UTF-8 text decodes to:
// so argumentBytes() gives back exactly the bytes of any argument, and a path argument
// names its item byte for byte.
QString argumentText(QByteArrayView bytes);
QByteArray argumentBytes(const QString& text);

// True when these arguments start the window: none, "0"-like ones that do not ask for a
// scheduled run, or only absolute paths as a desktop launcher passes them.
bool startsWindow(const QStringList& arguments);

// Runs `desktidy` without a window: the scheduled run, or one subcommand. Returns the
// process's exit status. arguments[0] is the program's path.
int runCommandLine(const QStringList& arguments, CommandLineIo io);
