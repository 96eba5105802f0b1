#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QFile>
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

TEST(StartUp, FirstStartAndANonePathTakeTheFolderTheDesktopNames) {
    ControllerFixture f;
    EXPECT_EQ(f.c().form.myPathControl, f.home / "Desktop");  // no user-dirs: the usual name
    // A desktop in another language names its folder in user-dirs.dirs.
    writeFile(f.home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    QFile::remove(f.home.configFile());
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().form.myPathControl, f.home / "Schreibtisch");
    EXPECT_EQ(f.c().store().value("pathString").toString(), f.home / "Schreibtisch");
    {
        QSettings stored(f.home.configFile(), QSettings::IniFormat);
        stored.setValue("pathString", "/none");
    }
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().form.myPathControl, f.home / "Schreibtisch");
    EXPECT_EQ(f.c().settings.pathString, f.home / "Schreibtisch");
}

TEST(StartUp, FillsInAMissingHomeAndUserFromTheLoginRecord) {
    TempHome home;  // puts HOME back afterwards
    const QByteArray user = qgetenv("USER");
    qputenv("HOME", "");
    qputenv("USER", "");
    const UserEnvironment env = UserEnvironment::fromProcess();
    qputenv("USER", user);
    const passwd* login = ::getpwuid(::getuid());
    ASSERT_NE(login, nullptr);
    EXPECT_EQ(env.home, QFile::decodeName(login->pw_dir));
    EXPECT_EQ(env.user, QFile::decodeName(login->pw_name));
    // QStandardPaths, reading the empty HOME, would say "/Desktop".
    EXPECT_EQ(desktopFolderOf(env.home), env.home + "/Desktop");
}

}  // namespace
