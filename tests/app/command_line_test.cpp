#include <gtest/gtest.h>

#include <QProcess>
#include <QSettings>

#include "app/cli/command_line.h"
#include "support/temp_home.h"

namespace {

struct Result {
    int status;
    QString out, err;
};

// Runs the built program in a temporary home, as a user would, with no terminal.
Result runDesktidy(const TempHome& home, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home / ".config");
    process.setProcessEnvironment(env);
    process.start(DESKTIDY_BINARY, arguments);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(CommandLine, SettingsShowPrintsEveryKeyOnStandardOutput) {
    TempHome home;
    Result r = runDesktidy(home, {"settings", "show"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* key : {"folders:", "scheddays:", "pathString: ", "unpackOverwrite: 1"})
        EXPECT_TRUE(r.out.contains(key)) << key;
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(home.configFile()));
}

TEST(CommandLine, ResetRestoresFolderNamesButKeepsTheFolderList) {
    TempHome home;
    runDesktidy(home, {"settings"});
    {
        QSettings stored(home.configFile(), QSettings::IniFormat);
        QStringList folders = stored.value("folders").toStringList();
        folders[1] = "Sounds";
        stored.setValue("folders", folders);
        stored.setValue("myfolders", QStringList{home / "keep"});
    }
    EXPECT_EQ(runDesktidy(home, {"settings", "reset"}).status, 0);
    QSettings stored(home.configFile(), QSettings::IniFormat);
    EXPECT_NE(stored.value("folders").toStringList().value(1), "Sounds");
    EXPECT_EQ(stored.value("myfolders").toString(), home / "keep");
}

TEST(CommandLine, UsageErrorsExitWithTwoAndHelpListsTheCommands) {
    TempHome home;
    EXPECT_EQ(runDesktidy(home, {"no-such-command"}).status, 2);
    EXPECT_EQ(runDesktidy(home, {"settings", "sideways"}).status, 2);
    EXPECT_EQ(runDesktidy(home, {"settings", "--bogus"}).status, 2);
    Result help = runDesktidy(home, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("settings"));
}

TEST(CommandLine, WindowStartsWithNoArgumentsZeroOrAbsolutePaths) {
    EXPECT_TRUE(startsWindow({"desktidy"}));
    EXPECT_TRUE(startsWindow({"desktidy", "0"}));
    EXPECT_TRUE(startsWindow({"desktidy", "/home/ann/Desktop", "/tmp"}));
    EXPECT_FALSE(startsWindow({"desktidy", "1"}));
    EXPECT_FALSE(startsWindow({"desktidy", "settings"}));
    EXPECT_FALSE(startsWindow({"desktidy", "relative/path"}));
}

}  // namespace
