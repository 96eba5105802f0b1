#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "app/cli/command.h"
#include "controller_fixture.h"
#include "platform/terminal_prompter.h"
#include "run_desktidy.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

// What Debian's trash-list says of the home's Trash (it also looks at other volumes).
QStringList trashListNames(const TempHome& home) {
    QProcess process;
    process.start("trash-list", {});
    process.waitForFinished(60000);
    QStringList names;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n'))
        if (line.contains(home.path())) names << line.section(' ', 2);
    names.sort();
    return names;
}

class TrashCommands : public ::testing::Test {
  protected:
    TempHome home;
    QString trash = home / ".local/share/Trash";

    // An item of the Trash, by default from the home folder, and its record.
    void trashed(const QString& name, const QString& from = {},
                 const QByteArray& date = "2024-01-02T03:04:05") {
        writeFile(trash + "/files/" + name, "x");
        writeFile(
            trash + "/info/" + name + ".trashinfo",
            "[Trash Info]\nPath=" +
                QFile::encodeName(from.isEmpty() ? home / name : from).toPercentEncoding("/") +
                "\nDeletionDate=" + date + "\n");
    }
    // A line of the listing.
    QString line(const QString& date, const QString& name, const QString& from) const {
        return date.leftJustified(19) + "     4.0 KB  " + name + "  " + from + "\n";
    }
};

}  // namespace

TEST_F(TrashCommands, ListsAndDeletesItemsOfTheTrashOnly) {
    trashed("a");
    trashed("b");
    const QString outside = writeFile(home / "precious");
    ASSERT_EQ(trashListNames(home), QStringList({home / "a", home / "b"}));

    // Anything in the Trash but its items is refused; a path elsewhere names the place an
    // item came from, and none came from these.
    EXPECT_EQ(desktidy({"--yes", "trash", "delete", trash + "/files/a/../../info"}).status, 2);
    for (const QString& none : {outside, QString("../a"), QString("nope")})
        EXPECT_EQ(desktidy({"--yes", "trash", "delete", none}).status, 1) << none.toStdString();
    EXPECT_EQ(desktidy({"trash", "delete", "a"}).status, 1);  // no terminal: Cancel

    EXPECT_EQ(desktidy({"--yes", "trash", "delete", "a"}).status, 0);
    EXPECT_EQ(trashListNames(home), QStringList({home / "b"}));
    EXPECT_TRUE(QFile::exists(outside));

    // Naming nothing is no choice of everything, nor a success.
    Outcome none = desktidy({"--yes", "trash", "delete"});
    EXPECT_EQ(none.status, 2);
    EXPECT_EQ(none.err,
              "desktidy trash: \u201cdelete\u201d takes the names of the items to "
              "delete (\u201cdesktidy trash\u201d lists them)\n");
    EXPECT_TRUE(QFile::exists(trash + "/files/b"));
}

// Two trashed "old report.pdf" are told apart by where they came from and when; a bare name
// that picks both is refused with both, the place one came from picks it, and it goes back
// there as a run that history lists and undo takes back into the Trash (which records and
// folders the undo gives back is the restore test's).
TEST_F(TrashCommands, ListsNewestFirstAndPutsBackTheItemANameOrItsPlacePicks) {
    const QString docs = home / "Docs/old report.pdf", old = home / "Old/old report.pdf";
    trashed("old report.pdf", docs, "2024-01-02T03:04:05");
    trashed("old report.2.pdf", old, "2024-02-03T04:05:06");
    writeFile(trash + "/files/stray", "x");  // no record

    EXPECT_EQ(desktidy({"trash"}).out,
              line("2024-02-03 04:05:06", "old report.2.pdf", "from " + old) +
                  line("2024-01-02 03:04:05", "old report.pdf", "from " + docs) +
                  line("(no date)", "stray", "(no record of where it came from)"));
    const QJsonArray items =
        QJsonDocument::fromJson(desktidy({"--json", "trash"}).out.toUtf8())["items"].toArray();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0].toObject(), QJsonObject({{"name", "old report.2.pdf"},
                                                {"path", trash + "/files/old report.2.pdf"},
                                                {"original_path", old},
                                                {"deleted", "2024-02-03T04:05:06"},
                                                {"bytes", 1},
                                                {"size", "4.0 KB"}}));
    EXPECT_TRUE(items[2]["original_path"].isNull() && items[2]["deleted"].isNull());

    const Outcome ambiguous = desktidy({"--yes", "trash", "restore", "old report.pdf"});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_EQ(ambiguous.err,
              "desktidy trash: \u201cold report.pdf\u201d names 2 items of the Trash; give the "
              "one you mean by the path it came from or its path in the Trash:\n  " +
                  trash + "/files/old report.2.pdf  (from " + old +
                  ", deleted 2024-02-03 04:05:06)\n  " + trash + "/files/old report.pdf  (from " +
                  docs + ", deleted 2024-01-02 03:04:05)\n");
    EXPECT_EQ(desktidy({"--dry-run", "trash", "restore", old}).out,
              trash + "/files/old report.2.pdf -> " + old + "\n");
    EXPECT_EQ(desktidy({"--dry-run", "trash", "restore", "stray"}).out,
              trash +
                  "/files/stray  [stays: not allowed: it has no record of where it came "
                  "from]\n");
    EXPECT_FALSE(QFile::exists(old));

    const Outcome back = desktidy({"--yes", "trash", "restore", old});
    EXPECT_EQ(std::tuple(back.status, back.out), std::tuple(0, QString("Put back 1 item.\n")));
    EXPECT_EQ(readFile(old), "x");  // its folder made
    // Now the name picks the one left, by its Trash name and by the name it had.
    EXPECT_EQ(desktidy({"--dry-run", "trash", "restore", "old report.pdf"}).out,
              trash + "/files/old report.pdf -> " + docs + "\n");
    EXPECT_TRUE(desktidy({"history"}).out.contains(QRegularExpression("  restore  +1  done ")));

    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.out, "Undid run 1 (restore): 1 item moved back.\n");
    EXPECT_EQ(readFile(trash + "/files/old report.2.pdf"), "x");
}

// Arguments are bytes: "\377" is not UTF-8 and reads as U+FFFD, the spelling of the
// UTF-8 name beside it, yet each names its own item and only that one.
TEST_F(TrashCommands, EachNameArgumentTakesExactlyTheItemOfItsBytes) {
    trashed("\uFFFD");
    const QByteArray notUtf8 = QFile::encodeName(trash) + "/files/\xff";
    const QByteArray record = QFile::encodeName(trash) + "/info/\xff.trashinfo";
    for (const QByteArray& path : {notUtf8, record}) ASSERT_GE(::close(::creat(path, 0644)), 0);
    trashed("box");
    QFile::remove(trash + "/files/box");
    writeFile(trash + "/files/box/a");
    const QByteArray inBox = QFile::encodeName(trash) + "/files/box/\xff";
    ASSERT_GE(::close(::creat(inBox, 0644)), 0);
    auto runRaw = [&](const QString& arguments) { return desktidyRaw(arguments, home.path()); };

    trashed("\\xFF");  // a backslash, "x", "F", "F": shown so, and not as the byte
    EXPECT_EQ(runRaw("trash").out,
              line("2024-01-02 03:04:05", "\\\\xFF", "from " + home / "\\\\xFF") +
                  line("2024-01-02 03:04:05", "box", "from " + home / "box") +
                  line("2024-01-02 03:04:05", "\uFFFD", "from " + home / "\uFFFD") +
                  line("(no date)", "\\xFF", "(no record of where it came from)"));
    const Outcome deleted = runRaw("--yes trash delete \"$(printf '\\377')\"");
    EXPECT_EQ(deleted.status, 0) << deleted.err.toStdString();
    EXPECT_EQ(::access(notUtf8, F_OK), -1);
    EXPECT_EQ(::access(record, F_OK), -1);
    EXPECT_EQ(trashListNames(home), QStringList({home / "\\xFF", home / "box", home / "\uFFFD"}));

    const Outcome missing = runRaw("--yes trash delete \"$(printf '\\377')\"");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "desktidy trash: there is no item \u201c\\xFF\u201d in the Trash\n");
    EXPECT_EQ(runRaw("--yes trash delete box '\\xFF' \"$(printf '\\357\\277\\275')\"").status, 0);
    EXPECT_TRUE(trashListNames(home).isEmpty());
    EXPECT_TRUE(namesIn(trash + "/files").isEmpty());

    // An application's preview shows every byte of its name.
    const QByteArray oddApp = QFile::encodeName(home.path()) + "/\xff.AppImage";
    ASSERT_GE(::close(::creat(oddApp, 0644)), 0);
    EXPECT_EQ(runRaw("--dry-run remove-app \"$(printf '\\377.AppImage')\"").out,
              home / "\\xFF.AppImage -> " + trash + "/files/DKT Deleted Apps/\\xFF.AppImage\n");
}

TEST_F(TrashCommands, RemoveAppListsAndMovesOnlyWithYes) {
    const QString app = writeAppBundle(home / "Applications/Pad.app", "org.x.scribble");
    writeFile(home / ".config/Pad/settings");
    writeFile(home / ".local/share/org.x.scribble.db");
    writeFile(home / ".cache/Pad");
    writeFile(home / ".cache/Padlock");  // "Pad" is no word of it: it may be related

    Outcome list = desktidy({"remove-app", app, "--uncheck", "3"});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out,
              "1 [x] Pad.app - 12.0 KB\n      " + app + "\n" + "2 [x] Pad - 4.0 KB\n      " +
                  home / ".config/Pad\n" + "3 [ ] org.x.scribble.db - 4.0 KB\n      " +
                  home / ".local/share/org.x.scribble.db\n" + "4 [x] Pad - 4.0 KB\n      " +
                  home / ".cache/Pad\n" + "5 [ ] Padlock - 4.0 KB  (may be related)\n      " +
                  home / ".cache/Padlock\n");
    EXPECT_TRUE(QFile::exists(app));
    EXPECT_TRUE(trashListNames(home).isEmpty());
    EXPECT_EQ(desktidy({"remove-app", app, "--uncheck", "9"}).status, 2);
    // What is no application is refused, not offered to be moved with --yes.
    makeFolder(home.desktop());
    const Outcome notApp = desktidy({"remove-app", home.desktop()});
    EXPECT_EQ(std::make_tuple(notApp.status, notApp.out, notApp.err),
              std::make_tuple(2, QString(),
                              "desktidy remove-app: \u201c" + home.desktop() +
                                  "\u201d is no application: an application is a *.app bundle "
                                  "or an *.AppImage file\n"));
    EXPECT_EQ(desktidy({"remove-app", app, "--check", "6"}).status, 2);
    // The plan as JSON carries the rows, marked; --check takes a row that may be related.
    for (const bool padlock : {false, true}) {
        QStringList arguments{"--json", "remove-app", app, "--uncheck", "3"};
        if (padlock)
            arguments << "--check"
                      << "5";
        const QJsonObject plan = QJsonDocument::fromJson(desktidy(arguments).out.toUtf8()).object();
        EXPECT_EQ(plan["rows"][4].toObject(), QJsonObject({{"row", 5},
                                                           {"path", home / ".cache/Padlock"},
                                                           {"checked", padlock},
                                                           {"note", "may be related"}}));
        EXPECT_EQ(plan["rows"][1].toObject(),
                  QJsonObject({{"row", 2}, {"path", home / ".config/Pad"}, {"checked", true}}));
        EXPECT_EQ(plan["steps"].toArray().size(), padlock ? 4 : 3);
    }

    Outcome moved = desktidy({"--yes", "remove-app", app, "--uncheck", "3"});
    EXPECT_EQ(moved.status, 0);
    EXPECT_TRUE(
        moved.err.contains("The application and its related files have been put in the Trash."));
    const QString to = trash + "/files/DKT Deleted Apps/";
    EXPECT_TRUE(QFile::exists(to + "Pad.app") && QFile::exists(to + "Pad/settings"));
    EXPECT_EQ(namesIn(to).size(), 3);  // the cache file too, under another name
    EXPECT_TRUE(QFile::exists(home / ".local/share/org.x.scribble.db"));
    EXPECT_EQ(trashListNames(home), QStringList({home / "DKT Deleted Apps"}));
}

// A preview of a removal lists its moves and changes nothing at all: no Trash folder, no
// settings, no journal. A run prints its result, as JSON too; items that cannot go stay,
// with the reason.
TEST_F(TrashCommands, RemoveAppPreviewChangesNothingAndEveryRunTellsItsResult) {
    const QString app = writeFile(home / "Applications/Pad.AppImage");
    writeFile(home / ".config/Pad/settings");
    const auto tree = [&] { return describeTree(asPath(home.path()), TreeDetail::Everything); };
    const QStringList before = tree();
    const QString to = trash + "/files/DKT Deleted Apps";
    const Outcome preview = desktidy({"--dry-run", "remove-app", app});
    EXPECT_EQ(preview.out,
              home / ".config/Pad -> " + to + "/Pad\n" + app + " -> " + to + "/Pad.AppImage\n");
    const QJsonObject plan =
        QJsonDocument::fromJson(desktidy({"--json", "--dry-run", "remove-app", app}).out.toUtf8())
            .object();
    EXPECT_EQ(plan["run"].toString(), "remove-app");
    EXPECT_EQ(plan["steps"][1]["to"].toString(), to + "/Pad.AppImage");
    EXPECT_EQ(tree().join(u'\n').toStdString(), before.join(u'\n').toStdString());

    writeFile(to, "not a folder");
    const QString refused = "  [stays: not a real folder: " + to + " is not a folder.]\n";
    EXPECT_EQ(desktidy({"--dry-run", "remove-app", app}).out, home / ".config/Pad -> " + to +
                                                                  "/Pad" + refused + app + " -> " +
                                                                  to + "/Pad.AppImage" + refused);
    const Outcome stayed = desktidy({"--yes", "--json", "remove-app", app});
    EXPECT_EQ(stayed.status, 1);
    const QJsonObject result = QJsonDocument::fromJson(stayed.out.toUtf8()).object();
    EXPECT_EQ(result["result"].toString(),
              "Nothing was moved to the Trash. 2 stayed: 2 not in a real folder.");
    EXPECT_EQ(result["stayed"]["not_a_folder"].toInt(), 2);

    QFile::remove(to);
    EXPECT_TRUE(desktidy({"--yes", "remove-app", app, "--uncheck", "1,2"})
                    .out.endsWith("\nNothing was moved to the Trash.\n"));
    const Outcome moved = desktidy({"--yes", "--json", "remove-app", app, "--uncheck", "2"});
    EXPECT_EQ(moved.status, 0) << moved.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(moved.out.toUtf8())["result"].toString(),
              "Moved 1 item to the Trash.");
}

// SIGINT and SIGTERM set the flag the search of an application's items checks: the
// command then ends with 130, shows no rows and moves nothing.
TEST(RemoveAppCommand, AStopDuringTheSearchEndsItWith130) {
    ControllerFixture f;
    const QString app = writeAppBundle(f.home / "Applications/Pad.app", "org.x.pad");
    writeFile(f.home / ".config/Pad/settings");
    std::atomic_bool stop = true;
    RunOptions options;
    options.stopSearch = &stop;
    f.c().setRunOptions(options);
    QString input, output, errors;
    QTextStream in(&input), out(&output), err(&errors);
    TerminalPrompter prompter(in, err, {true, false, false});
    CommandContext context{f.c(), prompter, out, err};
    for (const auto& command : allCommands()) {
        if (command->name() != "remove-app") continue;
        EXPECT_EQ(command->execute(context, {app}), ExitSignal);
    }
    EXPECT_EQ(output, QString());
    EXPECT_TRUE(QFile::exists(app) && QFile::exists(f.home / ".config/Pad/settings"));
}
