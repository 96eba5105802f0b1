#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>

#include "support/qstring_printer.h"
#include "support/temp_home.h"

namespace {

// The environment of a program run in a home of its own, with no display and no session
// bus, and no platform chosen for Qt.
QProcessEnvironment withoutDisplay(const TempHome& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home / ".config");
    env.insert(QStringLiteral("XDG_DATA_HOME"), home / ".local/share");
    env.insert(QStringLiteral("XDG_STATE_HOME"), home / ".local/state");
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE",
                             "DBUS_SESSION_BUS_ADDRESS", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    return env;
}

}  // namespace

// The command line without a display is run under cron's bare environment by the
// scheduled-run test; the window needs one and keeps running until it is closed.
TEST(ProgramStart, AFolderArgumentOpensTheWindow) {
    TempHome home;
    makeFolder(home / "Projects");
    QProcessEnvironment env = withoutDisplay(home);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A relative folder, taken from the current folder.
    QProcess window;
    window.setProcessEnvironment(env);
    window.setWorkingDirectory(home.path());
    window.start(QStringLiteral(DESKTIDY_BINARY), {QStringLiteral("Projects")});
    ASSERT_TRUE(window.waitForStarted());
    EXPECT_FALSE(window.waitForFinished(1500)) << window.readAllStandardError().constData();
    window.terminate();
    window.waitForFinished();
}

// Where there is no display, the window says so in one line instead of Qt's abort.
TEST(ProgramStart, WithNoDisplayTheWindowSaysSoAndExitsWithTwo) {
    TempHome home;
    makeFolder(home / "Projects");
    const QString pointer =
        QStringLiteral(" Run \u201cdesktidy --help\u201d for the commands that need no display.\n");
    struct Case {
        const char* display;  // nullptr: unset
        QStringList arguments;
        QString line;
    };
    // Nothing listens on display 4242: the connection fails.
    const Case cases[] = {
        {nullptr, {}, "desktidy: there is no display to open the window on." + pointer},
        {":4242",
         {home / "Projects"},
         "desktidy: the window cannot be opened on display \u201c:4242\u201d." + pointer},
    };
    for (const Case& c : cases) {
        QProcessEnvironment env = withoutDisplay(home);
        if (c.display) env.insert(QStringLiteral("DISPLAY"), QString::fromLatin1(c.display));
        QProcess window;
        window.setProcessEnvironment(env);
        window.start(QStringLiteral(DESKTIDY_BINARY), c.arguments);
        ASSERT_TRUE(window.waitForFinished(30000));
        EXPECT_EQ(window.exitStatus(), QProcess::NormalExit) << c.display;
        EXPECT_EQ(window.exitCode(), 2) << c.display;
        EXPECT_EQ(QString::fromUtf8(window.readAllStandardError()), c.line);
        EXPECT_EQ(window.readAllStandardOutput(), "");
    }
}
