#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/cli/command_line.h"
#include "app/gui/desktop_application.h"
#include "platform/process_memory.h"

int main(int argc, char** argv) {
    giveLargeBlocksBackWhenFreed();
    // Every argument keeps its bytes, so that a path argument names its item exactly.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(textKeepingBytes(argv[i]));

    const StartArguments start = readStart(arguments);
    if (start.kind == StartArguments::Kind::Window)
        return runDesktopApplication(argc, argv, arguments, start.folders);

    // No GUI application object: the scheduled run works under cron with no display.
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Desktidy"));
    QCoreApplication::setApplicationName(QStringLiteral("Desktidy"));
    QTextStream in(stdin), out(stdout), err(stderr);
    return runCommandLine(
        start, arguments,
        {in, out, err, ::isatty(STDIN_FILENO) != 0, ::isatty(STDERR_FILENO) != 0});
}
