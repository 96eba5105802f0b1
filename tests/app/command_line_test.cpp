#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include "app/cli/command.h"
#include "controller_fixture.h"
#include "platform/terminal_prompter.h"
#include "run_desktidy.h"

namespace {

TEST(CommandLine, UsageErrorsExitWithTwoAndHelpWithZero) {
    TempHome home;
    const Outcome unknown = desktidy({"no-such-command"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err,
              "desktidy: unknown command \u201cno-such-command\u201d. Run \u201cdesktidy "
              "--help\u201d for the list of commands.\n");
    const Outcome bogus = desktidy({"settings", "--bogus"});
    EXPECT_EQ(bogus.status, 2);
    EXPECT_EQ(bogus.err,
              "desktidy settings: Unknown option 'bogus'.\n"
              "Run \u201cdesktidy settings --help\u201d for its usage.\n");
    EXPECT_EQ(desktidy({"settings", "x"}).status, 2);

    const Outcome help = desktidy({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("\n  remove-app "));
    const Outcome usage = desktidy({"rename", "-h"});  // -h is no rename option
    EXPECT_EQ(usage.status, 0) << usage.err.toStdString();
    EXPECT_TRUE(usage.out.startsWith(
        "Usage: desktidy [--yes] [--dry-run] [--json] rename [options] [FOLDER]\n"));
    EXPECT_TRUE(usage.out.contains("--remove-spaces"));
}

// Each command's help shows what is optional as optional and the global options that apply
// to it, and "help COMMAND" shows the same; those that do not apply are refused.
TEST(CommandLine, EachCommandsHelpShowsItsOptionalPartsAndItsGlobalOptions) {
    TempHome home;
    const Outcome file = desktidy({"file", "--help"});
    EXPECT_TRUE(file.out.startsWith(
        "Usage: desktidy [--yes] [--dry-run] [--json] file [options] [FOLDER]\n"))
        << file.out.toStdString();
    EXPECT_TRUE(
        file.out.endsWith("  --dry-run  Print what the run would do; change nothing.\n"
                          "  --json     Print the output as JSON.\n"));
    const Outcome types = desktidy({"help", "types"});
    EXPECT_EQ(types.status, 0);
    EXPECT_EQ(types.out, desktidy({"types", "--help"}).out);
    EXPECT_TRUE(
        types.out.startsWith("Usage: desktidy [--yes] types [options] [CATEGORY | add ... | "
                             "remove "
                             "... | which TYPE]\n"));
    EXPECT_FALSE(types.out.contains("see --help"));
    for (const char* command : {"folders", "settings", "archive-date", "trash", "undo"})
        EXPECT_TRUE(desktidy({"help", command}).out.section('\n', 0, 0).endsWith("]")) << command;
    EXPECT_TRUE(
        desktidy({"help", "history"}).out.startsWith("Usage: desktidy [--yes] [--json] history"));

    EXPECT_EQ(desktidy({"--json", "history"}).out, "{\"runs\":[]}\n");
    const Outcome refused = desktidy({"--dry-run", "history"});
    EXPECT_EQ(std::tuple(refused.status, refused.err),
              std::tuple(2, QString("desktidy history: --dry-run is for file, unfile, pack, "
                                    "unpack, rename, trash and remove-app\n")));
    EXPECT_EQ(desktidy({"--json", "folders"}).err,
              "desktidy folders: --json is for file, unfile, pack, unpack, rename, trash, "
              "remove-app and history\n");
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
    EXPECT_EQ(desktidy({"3d-models"}).status, 2);
    EXPECT_EQ(namesIn(home / "Listed"), QStringList({"photo.jpg"}));
    EXPECT_EQ(desktidy({"1"}).status, 0);
    EXPECT_EQ(namesIn(home / "Listed"), QStringList({"Images"}));
    // A scheduled run that fails says so in its exit status.
    QDir(home / "Listed").removeRecursively();
    EXPECT_EQ(desktidy({"1"}).status, 1);
}

TEST(CommandLine, EveryArgumentKeepsItsBytes) {
    for (const char* bytes : {"plain", "caf\xc3\xa9", "\xff", "\xef\xbf\xbd", "\xc3", "-\n",
                              "\xf0\x90\x82\x80\xed\xb2\x80"})  // U+10080, then a surrogate
        EXPECT_EQ(bytesOfText(textKeepingBytes(bytes)), QByteArray(bytes)) << bytes;
    EXPECT_EQ(textKeepingBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_NE(textKeepingBytes("\xff"), textKeepingBytes("\xef\xbf\xbd"));
}

// Every path is an argument: a command that opened a chooser (the fixture's fails the
// test) would be acting out a window gesture.
TEST(CommandLine, NoCommandOpensAChooser) {
    ControllerFixture f;
    const QString app = writeFile(f.home / "Applications/Pad.AppImage");
    writeFile(f.home / ".local/share/Trash/files/old.txt");
    const QString folder = f.home / "Stick";
    writeFile(folder + "/a b.txt");
    QString input, output, errors;
    QTextStream in(&input), out(&output), err(&errors);
    TerminalPrompter prompter(in, err, {true, false, false});
    CommandContext context{f.c(), prompter, out, err};
    const QList<QStringList> runs = {{"folders", "add", folder},
                                     {"types", "add", "image", "heic"},
                                     {"pack-list", "add", app, folder},
                                     {"pack"},
                                     {"file", folder},
                                     {"unfile", folder},
                                     {"rename", folder, "--remove-spaces"},
                                     {"trash", "delete", "old.txt"},
                                     {"remove-app", app, "--uncheck", "1"}};
    for (const QStringList& run : runs) {
        for (const auto& command : allCommands()) {
            if (command->name() != run.first()) continue;
            EXPECT_EQ(command->execute(context, run.mid(1)), ExitSuccess)
                << run.join(u' ').toStdString() << errors.toStdString();
        }
    }
}

}  // namespace
