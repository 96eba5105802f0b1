#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QFile>
#include <QSettings>

#include "controller_fixture.h"
#include "support/qstring_printer.h"

namespace {

TEST(StartUp, ResolvesTheAppFoldersWithLoginNameAndHome) {
    const QStringList dirs = resolveAppDirs(
        {"/Users/[home]/Library/Preferences", "/x/[home]/[home]", "/plain", "~/.config", "~"},
        "ann", "/home/ann");
    EXPECT_EQ(dirs, QStringList({"/Users/ann/Library/Preferences", "/x/ann/ann", "/plain",
                                 "/home/ann/.config", "/home/ann"}));
}

TEST(StartUp, FirstStartAndANonePathTakeTheFolderTheDesktopNames) {
    ControllerFixture f;
    EXPECT_EQ(f.c().draft().workingFolder, f.home / "Desktop");  // no user-dirs: the usual name
    // A desktop in another language names its folder in user-dirs.dirs.
    writeFile(f.home / ".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    QFile::remove(f.home.configFile());
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().draft().workingFolder, f.home / "Schreibtisch");
    EXPECT_EQ(f.c().store().value("pathString").toString(), f.home / "Schreibtisch");
    {
        QSettings stored(f.home.configFile(), QSettings::IniFormat);
        stored.setValue("pathString", "/none");
    }
    f.restart({"/usr/bin/desktidy"});
    EXPECT_EQ(f.c().draft().workingFolder, f.home / "Schreibtisch");
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
    // QStandardPaths, reading the empty HOME, would say "/Desktop".
    EXPECT_EQ(desktopFolderOf(env.home), env.home + "/Desktop");

    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("USER", "");
    env = UserEnvironment::fromProcess();
    EXPECT_EQ(env.home, home.path());
    EXPECT_EQ(env.user, QFile::decodeName(login->pw_name));
    qputenv("USER", user);
}

}  // namespace
