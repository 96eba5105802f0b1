#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include "run_desktidy.h"

namespace {

TEST(CommandLine, SettingsShowPrintsEveryKeyOnStandardOutput) {
    TempHome home;
    Outcome shown = desktidy({"settings", "show"});
    EXPECT_EQ(shown.status, 0) << shown.err.toStdString();
    for (const char* key : {"folders:", "scheddays:", "pathString: ", "unpackOverwrite: 1"})
        EXPECT_TRUE(shown.out.contains(key)) << key;
    EXPECT_TRUE(shown.err.isEmpty()) << shown.err.toStdString();
    EXPECT_TRUE(QFile::exists(home.configFile()));
}

TEST(CommandLine, UsageErrorsExitWithTwoAndHelpListsTheCommands) {
    TempHome home;
    for (const QStringList& wrong : {QStringList{"no-such-command"}, QStringList{"settings", "x"},
                                     QStringList{"settings", "--bogus"}})
        EXPECT_EQ(desktidy(wrong).status, 2) << wrong.join(' ').toStdString();
    Outcome help = desktidy({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("settings"));
}

TEST(CommandLine, OnlyDigitsAloneStartTheScheduledRun) {
    EXPECT_TRUE(startsWindow({"desktidy"}));
    EXPECT_TRUE(startsWindow({"desktidy", "0"}));
    EXPECT_TRUE(startsWindow({"desktidy", "/home/ann/Desktop", "/tmp"}));
    EXPECT_FALSE(startsWindow({"desktidy", "1"}));
    EXPECT_FALSE(startsWindow({"desktidy", "settings"}));
    EXPECT_FALSE(startsWindow({"desktidy", "relative/path"}));

    // A folder named with a leading number files nothing: it is no command either.
    TempHome home;
    writeFile(home / "Listed/photo.jpg", "p");
    ASSERT_EQ(desktidy({"folders", "add", home / "Listed"}).status, 0);
    const Outcome models = desktidy({"3d-models"});
    EXPECT_EQ(models.status, 2);
    EXPECT_EQ(models.err,
              "desktidy: unknown command \u201c3d-models\u201d. Run \u201cdesktidy --help\u201d "
              "for the list of commands.\n");
    EXPECT_EQ(namesIn(home / "Listed"), QStringList({"photo.jpg"}));
    EXPECT_EQ(desktidy({"1"}).status, 0);
    EXPECT_EQ(namesIn(home / "Listed"), QStringList({"Images"}));
}

}  // namespace
