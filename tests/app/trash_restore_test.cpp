// Putting items of the Trash back: each to the place its record names, never onto
// anything, its record gone only once it is back; and undo, which puts items and records
// back into the Trash, byte for byte.
#include <cerrno>

#include "controller_fixture.h"
#include "runs/run_history.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

struct TrashRestore : ::testing::Test, ControllerFixture {
    TrashLocation trash = c().trashLocation();
    Path home = Path::fromText(ControllerFixture::home.path());

    TrashRestore() {
        for (const Path& folder : {trash.folder, trash.files(), trash.info()})
            makeFolder(text(folder));
    }
    // An item of the Trash named by its bytes, and its record of where it came from.
    Path trashed(const QByteArray& name, const QByteArray& recordedPath) {
        writeItem(trash.files() / name, name);
        writeItem(trash.infoFileFor(name),
                  "[Trash Info]\nPath=" + recordedPath + "\nDeletionDate=2024-05-06T07:08:09\n");
        return trash.files() / name;
    }
    QStringList trashTree() { return describeTree(trash.folder); }
};

// Each case of a restore at once: a missing parent folder is made; a taken place keeps its
// item, which stays in the Trash with its record; a name that is not UTF-8 goes back by its
// bytes; a folder's line leaves the directorysizes cache; an item with no record, and one
// whose move fails, stay with their records, and fail the run. Undo gives back the Trash
// as it was, records and all, and removes the folders made; undoing that restores again.
TEST_F(TrashRestore, ItemsGoBackWhereTheyCameFromAndUndoPutsThemAndTheirRecordsBack) {
    const QByteArray base = home.bytes();
    const QList<Path> items = {
        trashed("report.pdf", base + "/Docs/Deep/report.pdf"),
        trashed("taken.txt", base + "/taken.txt"),
        trashed("caf\xe9 %.txt", base + "/caf%E9%20%25.txt"),
        trashed("box", base + "/box"),
        trashed("stray", base + "/stray"),
        trashed("fails.txt", base + "/fails.txt"),
    };
    ASSERT_TRUE(files.removeAll(items[3]).ok());
    makeFolder(text(items[3]) + "/inner");
    ASSERT_TRUE(files.removeFile(trash.infoFileFor("stray")).ok());
    writeFile(text(home / "taken.txt"), "mine");
    files.failMoveTo.insert(text(home / "fails.txt"), EIO);
    writeItem(trash.folder / "directorysizes",
              "4096 1715000000 box\n8192 1715000001 other%20one\n");
    const QStringList trashBefore = trashTree();
    // The cache's temporaries: one a killed writer left, and a running writer's (pid 1).
    writeItem(trash.folder / ".directorysizes.desktidy-2147483600", "left");
    writeItem(trash.folder / ".directorysizes.desktidy-1", "in hand");

    EXPECT_EQ(c().restoreTrashItems(items), RunResult::Failed);
    EXPECT_EQ(prompter.calls.first(),
              "confirm|Put Back?|Do you want to put these items back where they came from?\n\n"
              "report.pdf -> " +
                  text(home) +
                  "/Docs/Deep/report.pdf\n"
                  "taken.txt -> " +
                  text(home) +
                  "/taken.txt\n"
                  "caf\\xE9 %.txt -> " +
                  text(home) +
                  "/caf\\xE9 %.txt\n"
                  "box -> " +
                  text(home) +
                  "/box\n"
                  "stray\nand 1 more|Put Back");
    EXPECT_EQ(contentsOf(home / "Docs/Deep/report.pdf"), "report.pdf");
    EXPECT_EQ(contentsOf(home / "caf\xe9 %.txt"), "caf\xe9 %.txt");
    EXPECT_TRUE(files.isDirectory(home / "box/inner"));
    EXPECT_EQ(contentsOf(home / "taken.txt"), "mine");
    EXPECT_EQ(prompter.calls.last(),
              "notice|These items stayed in the Trash:\n" + text(items[1]) + ": its place, " +
                  text(home) + "/taken.txt, is taken\n" + text(items[4]) +
                  ": it has no record of where it came from\n" + text(items[5]) +
                  ": Could not move \u201cfails.txt\u201d: Input/output error.");
    // What stayed keeps its record; what went back took its record along.
    EXPECT_EQ(displayed(files.listNames(trash.files(), true)),
              QStringList({"fails.txt", "stray", "taken.txt"}));
    EXPECT_EQ(displayed(files.listNames(trash.info(), true)),
              QStringList({"fails.txt.trashinfo", "taken.txt.trashinfo"}));
    EXPECT_EQ(contentsOf(trash.folder / "directorysizes"), "8192 1715000001 other%20one\n");
    EXPECT_FALSE(files.exists(trash.folder / ".directorysizes.desktidy-2147483600"));
    EXPECT_EQ(contentsOf(trash.folder / ".directorysizes.desktidy-1"), "in hand");
    ASSERT_TRUE(files.removeFile(trash.folder / ".directorysizes.desktidy-1").ok());
    EXPECT_EQ(frontEnd.ends.last().report.details.size(), 3);

    files.failMoveTo.clear();
    prompter.calls.clear();
    ASSERT_EQ(c().runToUndo()->kind, "restore");
    EXPECT_EQ(c().undoRun(*c().runToUndo()), RunResult::Done);
    EXPECT_EQ(prompter.calls.first().section('|', 0, 1), "confirm|Undo Put Back?");
    QStringList trashNow = trashTree(), expected = trashBefore;
    // The cache is a cache: its readers measure a folder that has no line.
    expected.removeIf([](const QString& line) { return line.startsWith("directorysizes "); });
    trashNow.removeIf([](const QString& line) { return line.startsWith("directorysizes "); });
    EXPECT_EQ(trashNow, expected);
    EXPECT_FALSE(files.exists(home / "Docs"));
    EXPECT_EQ(contentsOf(home / "taken.txt"), "mine");

    // The undo is a run too: undoing it puts the items back again, without their records.
    EXPECT_EQ(c().undoRun(*c().runHistory().read(2)), RunResult::Done);
    EXPECT_EQ(contentsOf(home / "Docs/Deep/report.pdf"), "report.pdf");
    EXPECT_EQ(displayed(files.listNames(trash.info(), true)),
              QStringList({"fails.txt.trashinfo", "taken.txt.trashinfo"}));
}

}  // namespace
