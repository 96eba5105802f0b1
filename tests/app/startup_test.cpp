#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QSettings>

#include "controller_fixture.h"

namespace {

TEST(StartUp, ResolvesTheAppFoldersWithLoginNameAndHome) {
    const QStringList dirs = resolveAppDirs(
        {"/Users/[home]/Library/Preferences", "/x/[home]/[home]", "/plain", "~/.config", "~"},
        "ann", "/home/ann");
    EXPECT_EQ(dirs, QStringList({"/Users/ann/Library/Preferences", "/x/ann/ann", "/plain",
                                 "/home/ann/.config", "/home/ann"}));
    ControllerFixture f;
    EXPECT_TRUE(f.c().appDirArray.contains(f.home / ".local/share"));
}

TEST(StartUp, OnlyDigitsAloneInArgumentOneAskForTheScheduledRun) {
    EXPECT_EQ(ControllerFixture({"/bin/desktidy"}).c().scheduled, 0);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "1"}).c().scheduled, 1);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "12"}).c().scheduled, 12);
    // A folder or command whose name starts with a digit is no request to file everything.
    for (const char* other : {"0", "00", "file", "3d-models", "12abc", " 1", "+1", "1\n", ""})
        EXPECT_EQ(scheduledRunNumber({"/bin/desktidy", other}), 0) << other;
    ControllerFixture models({"/bin/desktidy", "3d-models"});
    EXPECT_EQ(models.c().scheduled, 0);
    EXPECT_FALSE(models.c().applicationDidFinishLaunching());
}

TEST(StartUp, SavesEveryKeyAndShowsTheDesktopForANonePath) {
    ControllerFixture first;
    QSettings stored(first.home.configFile(), QSettings::IniFormat);
    for (const QString& key : SettingsStore::keys) EXPECT_TRUE(stored.contains(key));
    stored.setValue("pathString", "/none");
    stored.sync();

    ControllerFixture second;
    EXPECT_EQ(second.c().form.myPathControl, second.home.desktop());
    EXPECT_EQ(second.c().settings.pathString, second.home.desktop());
}

TEST(StartUp, FillsInAMissingHomeOrUserFromTheLoginRecord) {
    TempHome home;  // puts HOME back afterwards
    const QByteArray user = qgetenv("USER");
    const passwd* login = ::getpwuid(::getuid());
    ASSERT_NE(login, nullptr);
    qputenv("USER", "somebody");
    qputenv("HOME", "");
    UserEnvironment env = UserEnvironment::fromProcess();
    EXPECT_EQ(env.home, QFile::decodeName(login->pw_dir));
    EXPECT_EQ(env.user, "somebody");

    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("USER", "");
    env = UserEnvironment::fromProcess();
    EXPECT_EQ(env.home, home.path());
    EXPECT_EQ(env.user, QFile::decodeName(login->pw_name));
    qputenv("USER", user);
}

}  // namespace
