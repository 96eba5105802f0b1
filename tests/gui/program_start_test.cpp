#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include "support/temp_home.h"

// Runs the built program in a home of its own, with no display and no session bus.
TEST(ProgramStart, AFolderArgumentOpensTheWindowAndTheCommandLineNeedsNoDisplay) {
    TempHome home;
    makeFolder(home / "Projects");
    writeFile(home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home / ".config");
    env.insert(QStringLiteral("XDG_DATA_HOME"), home / ".local/share");
    env.insert(QStringLiteral("XDG_STATE_HOME"), home / ".local/state");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
        env.remove(QString::fromLatin1(name));

    QProcess window;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    window.setProcessEnvironment(env);
    window.start(QStringLiteral(DESKTIDY_BINARY), {home / "Projects"});
    ASSERT_TRUE(window.waitForStarted());
    // The window keeps running until it is closed.
    EXPECT_FALSE(window.waitForFinished(1500)) << window.readAllStandardError().constData();
    window.terminate();
    window.waitForFinished();

    // With no platform chosen a command still runs: the command line makes no GUI
    // application object, so the scheduled run starts without a display.
    QProcess command;
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    command.setProcessEnvironment(env);
    command.start(QStringLiteral(DESKTIDY_BINARY), {QStringLiteral("settings")});
    ASSERT_TRUE(command.waitForFinished(30000));
    EXPECT_EQ(command.exitCode(), 0) << command.readAllStandardError().constData();
    // The first start took the desktop's own folder as the working folder.
    EXPECT_TRUE(command.readAllStandardOutput().contains(
        "\npathString: " + QFile::encodeName(home / "Schreibtisch") + '\n'));
}
