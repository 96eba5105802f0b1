#include <gtest/gtest.h>

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

TEST(StartUp, ArgumentOneAsksForTheScheduledRunByItsLeadingDigits) {
    EXPECT_EQ(ControllerFixture({"/bin/desktidy"}).c().scheduled, 0);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "0"}).c().scheduled, 0);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "file"}).c().scheduled, 0);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "1"}).c().scheduled, 1);
    EXPECT_EQ(ControllerFixture({"/bin/desktidy", "12abc"}).c().scheduled, 12);
    // Only a scheduled start runs the filing without the window (cron's run is end to end).
    EXPECT_FALSE(ControllerFixture({"/bin/desktidy", "0"}).c().applicationDidFinishLaunching());
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

TEST(StartUp, FillsInAMissingHomeFromTheLoginRecord) {
    TempHome home;  // puts HOME back afterwards
    qputenv("HOME", "");
    const UserEnvironment env = UserEnvironment::fromProcess();
    EXPECT_FALSE(env.home.isEmpty());
    EXPECT_FALSE(env.user.isEmpty());
}

}  // namespace
