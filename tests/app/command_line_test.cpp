#include "app/cli/command_line.h"

#include <gtest/gtest.h>

#include "app/cli/start_arguments.h"
#include "controller_fixture.h"
#include "run_desktidy.h"

namespace {

TEST(CommandLine, UsageErrorsExitWithTwoAndEachCommandsHelpShowsItsUsage) {
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

    // Each command's help shows what is optional as optional and the global options that
    // apply to it, and "help COMMAND" shows the same; those that do not apply are refused.
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

// desktidy [GLOBAL OPTIONS] COMMAND [COMMAND OPTIONS] [--] [ARGUMENTS], the window on
// folders, and the scheduled run for the crontab's exact line only.
TEST(CommandLine, OneGrammarReadsEveryStart) {
    using Kind = StartArguments::Kind;
    TempHome home;
    makeFolder(home / "Desk");
    makeFolder(home / "file");  // a folder named like a command
    writeFile(home / "notes.txt");
    const Path here = Path::fromText(home.path());
    const QStringList names = {"file", "rename", "trash"};
    struct Case {
        QStringList arguments;
        Kind kind;
        QStringList commandArguments = {};  // Command: what the command reads
        GlobalOptions options = {};
        QStringList folders = {};  // Window: relative to the home
    };
    const Case cases[] = {
        {{}, Kind::Window},
        {{"0"}, Kind::Window},
        {{"1"}, Kind::Scheduled},
        // Anything but the crontab's exact line never files unattended.
        {{"--dry-run", "1"}, Kind::Usage},
        {{"1", "--json"}, Kind::Usage},
        {{"1", "--help"}, Kind::Usage},
        {{"1", "file"}, Kind::Usage},
        {{"01"}, Kind::Usage},
        {{"2"}, Kind::Usage},
        {{"99999999999999"}, Kind::Usage},
        {{"0", "Desk"}, Kind::Usage},
        {{"--", "1"}, Kind::Usage},
        // Global options before the command only; what follows is the command's.
        {{"--yes", "--json", "file", "x"}, Kind::Command, {"x"}, {true, false, true}},
        {{"trash", "delete", "--", "--yes", "important"},
         Kind::Command,
         {"delete", "--", "--yes", "important"}},
        {{"rename", "--replace", "--yes", "d"}, Kind::Command, {"--replace", "--yes", "d"}},
        {{"--", "file", "--all"}, Kind::Command, {"--all"}},
        {{"--all", "file"}, Kind::Usage},
        {{"--yes"}, Kind::Usage},
        {{"--help", "file"}, Kind::Help},
        {{"help"}, Kind::Help},
        {{"help", "file"}, Kind::Command, {"--help"}},
        {{"--version"}, Kind::Version},
        // Folders: absolute as a launcher passes them, relative when they are folders.
        {{"Desk"}, Kind::Window, {}, {}, {"Desk"}},
        {{"./file", "--", "Desk/../Desk/"}, Kind::Usage},
        {{"./file", home / "elsewhere"}, Kind::Window, {}, {}, {"file", "elsewhere"}},
        {{"--", "Desk"}, Kind::Window, {}, {}, {"Desk"}},
        {{"--yes", "Desk"}, Kind::Usage},
        {{"Desk", "missing"}, Kind::Usage},
        {{"missing"}, Kind::Usage},
        {{"notes.txt"}, Kind::Usage},
        {{""}, Kind::Usage},
    };
    for (const Case& c : cases) {
        const StartArguments start =
            readStartArguments(QStringList{"/usr/bin/desktidy"} + c.arguments, names, here);
        const std::string shown = c.arguments.join(u' ').toStdString();
        EXPECT_EQ(start.kind, c.kind) << shown << ": " << start.problem.toStdString();
        EXPECT_EQ(start.kind == Kind::Usage, !start.problem.isEmpty()) << shown;
        EXPECT_EQ(start.commandArguments, c.commandArguments) << shown;
        EXPECT_EQ(std::make_tuple(start.options.yes, start.options.dryRun, start.options.json),
                  std::make_tuple(c.options.yes, c.options.dryRun, c.options.json))
            << shown;
        QStringList folders;
        for (const Path& folder : start.folders)
            folders << QString::fromUtf8(folder.bytes()).remove(home.path() + '/');
        EXPECT_EQ(folders, c.folders) << shown;
        // The window starts exactly where the grammar says, the scheduled run likewise.
        EXPECT_EQ(isScheduledRunStart(QStringList{"/usr/bin/desktidy"} + c.arguments),
                  c.kind == Kind::Scheduled)
            << shown;
    }
    EXPECT_EQ(readStartArguments({"desktidy", "2"}, names, here).problem,
              "\u201c2\u201d is no command. The scheduled run is \u201cdesktidy 1\u201d alone, "
              "with no options or other arguments.");
}

// What the grammar keeps from happening, as the program runs: an option after "--" or
// taken as a value is no option, and no start but "desktidy 1" files every listed folder.
TEST(CommandLine, NoStrayArgumentActsUnasked) {
    TempHome home;
    writeFile(home / "Listed/photo.jpg", "p");
    ASSERT_EQ(desktidy({"folders", "add", home / "Listed"}).status, 0);
    // The grammar's table above has the rest; these show the program acts on its verdict.
    for (const QStringList& start :
         {QStringList{"--dry-run", "1"}, QStringList{"2"}, QStringList{"3d-models"}}) {
        const Outcome refused = desktidy(start);
        EXPECT_EQ(refused.status, 2) << start.join(' ').toStdString();
        EXPECT_EQ(namesIn(home / "Listed"), QStringList({"photo.jpg"}));
    }
    EXPECT_EQ(desktidy({"1"}).status, 0);
    EXPECT_EQ(namesIn(home / "Listed"), QStringList({"Images"}));
    // A scheduled run that fails says so in its exit status.
    QDir(home / "Listed").removeRecursively();
    EXPECT_EQ(desktidy({"1"}).status, 1);

    // No terminal answers the question: nothing is deleted or renamed.
    const QString trash = home / ".local/share/Trash";
    for (const char* name : {"--yes", "important"}) {
        writeFile(trash + "/files/" + name, "x");
        writeFile(trash + "/info/" + name + ".trashinfo",
                  "[Trash Info]\nPath=/x\nDeletionDate=2024-01-02T03:04:05\n");
    }
    EXPECT_EQ(desktidy({"trash", "delete", "--", "--yes", "important"}).status, 1);
    EXPECT_EQ(namesIn(trash + "/files"), QStringList({"--yes", "important"}));
    writeFile(home / "d/a--yes.txt");
    EXPECT_EQ(desktidy({"rename", "--replace", "--yes", "d"}, home.path()).status, 1);
    const Outcome late = desktidy({"rename", "d", "--upper", "--yes"}, home.path());
    EXPECT_EQ(late.status, 2);
    EXPECT_EQ(late.err,
              "desktidy rename: --yes is a global option: give it before the command, "
              "as in \u201cdesktidy --yes rename ...\u201d\n");
    EXPECT_EQ(namesIn(home / "d"), QStringList({"a--yes.txt"}));

    // An empty path names nothing, not the current folder.
    writeFile(home / "d/b.jpg");
    for (const QStringList& empty :
         {QStringList{"--yes", "file", ""}, QStringList{"--yes", "rename", "", "--upper"},
          QStringList{"folders", "add", ""}, QStringList{"--yes", "trash", "delete", ""}}) {
        const Outcome refused = desktidy(empty, home / "d");
        EXPECT_EQ(refused.status, 2) << empty.join(' ').toStdString();
    }
    EXPECT_EQ(namesIn(home / "d"), QStringList({"a--yes.txt", "b.jpg"}));
    EXPECT_EQ(desktidy({"folders"}).out, home / "Listed\n");
    EXPECT_EQ(namesIn(trash + "/files"), QStringList({"--yes", "important"}));
}

TEST(CommandLine, EveryArgumentKeepsItsBytes) {
    for (const char* bytes : {"plain", "caf\xc3\xa9", "\xff", "\xef\xbf\xbd", "\xc3", "-\n",
                              "\xf0\x90\x82\x80\xed\xb2\x80"})  // U+10080, then a surrogate
        EXPECT_EQ(bytesOfText(textKeepingBytes(bytes)), QByteArray(bytes)) << bytes;
    EXPECT_EQ(textKeepingBytes("caf\xc3\xa9"), QString::fromUtf8("caf\xc3\xa9"));
    EXPECT_NE(textKeepingBytes("\xff"), textKeepingBytes("\xef\xbf\xbd"));
}

}  // namespace
