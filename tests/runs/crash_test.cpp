#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QRegularExpression>

#include "app/run_desktidy.h"
#include "runs/folder_lock.h"
#include "runs/journaling_file_system.h"
#include "runs/record_text.h"
#include "support/qstring_printer.h"
#include "support/tree_listing.h"

namespace {

// A desktop of many loose items of several types, with names of any bytes.
Path makeDesktop(const TempHome& home, int count) {
    const Path desktop = Path::fromText(home.desktop());
    makeFolder(home.desktop());
    const char* types[] = {".txt", ".jpg", ".mp3", ".pdf", ".zip", ""};
    for (int i = 0; i < count; ++i) {
        const QByteArray name =
            "item " + QByteArray::number(i) + (i % 7 == 0 ? "\xff\n" : "") + types[i % 6];
        writeItem(desktop / name, QByteArray::number(i * 7919));
    }
    return desktop;
}

TEST(RunsEndToEnd, UndoGivesBackTheTreeAfterFilingUnfilingAndNameChanges) {
    TempHome home;
    const Path desktop = makeDesktop(home, 40);
    const QString folder = home.desktop();
    const QStringList original = describeTree(desktop);

    ASSERT_EQ(desktidy({"--yes", "file", folder}).status, 0);
    const QStringList filed = describeTree(desktop);
    ASSERT_NE(filed, original);
    ASSERT_EQ(desktidy({"--yes", "unfile", folder}).status, 0);
    ASSERT_EQ(
        desktidy({"--yes", "rename", folder, "--replace", "item", "--with", "x", "--prefix", "P-",
                  "--suffix", "-S", "--suffix-number", "--remove-spaces", "--upper", "--folders"})
            .status,
        0);
    Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    ASSERT_EQ(desktidy({"--yes", "undo"}).status, 0);  // the unfiling
    EXPECT_EQ(describeTree(desktop), filed);
    ASSERT_EQ(desktidy({"--yes", "undo"}).status, 0);  // the filing
    EXPECT_EQ(describeTree(desktop), original);

    const Outcome history = desktidy({"history"});
    EXPECT_EQ(history.status, 0);
    const QStringList lines = history.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6);
    // Kinds are named as the commands that make them.
    EXPECT_TRUE(lines[0].contains(QRegularExpression("^   1  .*  file  +34  undone   " +
                                                     QRegularExpression::escape(folder) + "$")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[5].contains("  undo  ")) << lines[5].toStdString();

    const Outcome none = desktidy({"--yes", "undo"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "desktidy undo: there is no run to undo\n");
    EXPECT_EQ(desktidy({"--yes", "undo", "1"}).status, 1);  // undone already
    EXPECT_EQ(desktidy({"--yes", "undo", "x"}).status, 2);
    EXPECT_EQ(desktidy({"--yes", "undo", "99"}).status, 1);
}

// Archiving and filing every listed folder make one run over two folders; its undo gives
// both back, the archive folders it made removed.
TEST(RunsEndToEnd, UndoGivesBackEveryFolderAfterArchivingFileAll) {
    TempHome home;
    const Path desktop = makeDesktop(home, 30);
    const QString other = home / "Other";
    for (const char* name : {"old.jpg", "new.jpg", "new.txt"}) writeFile(other + "/" + name, name);
    const timespec old[2] = {{0, UTIME_OMIT}, {1577836800, 0}};  // modified 2020-01-01
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(other + "/old.jpg"), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, (desktop / "item 3.pdf").c_str(), old, 0), 0);
    const QStringList original = describeTree(desktop) + describeTree(Path::fromText(other));

    ASSERT_EQ(desktidy({"folders", "add", home.desktop(), other}).status, 0);
    ASSERT_EQ(desktidy({"archive-date", "2024", "6"}).status, 0);
    ASSERT_EQ(desktidy({"--yes", "file", "--all"}).status, 0);
    ASSERT_TRUE(QFile::exists(other + "/Archive/Images/old.jpg"));
    ASSERT_TRUE(QFile::exists(home.desktop() + "/Archive/Words/item 3.pdf"));
    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(describeTree(desktop) + describeTree(Path::fromText(other)), original);
}

TEST(RunsEndToEnd, UndoOfAnApplicationRemovalPutsEveryItemBack) {
    TempHome home;
    const QString app = writeAppBundle(home / "Applications/Pad.app", "org.x.scribble");
    writeFile(home / ".config/Pad/settings", "mine");
    writeFile(home / ".cache/Pad", "cache");
    // The program's own settings and history aside, the home as it is.
    const auto homeItems = [&] {
        QStringList items = describeTree(Path::fromText(home.path()));
        items.removeIf([](const QString& item) {
            return item.startsWith(".local/state") || item == ".local d" ||
                   item.startsWith(".config/Desktidy");
        });
        return items;
    };
    const QStringList before = homeItems();
    ASSERT_EQ(desktidy({"--yes", "remove-app", app}).status, 0);
    ASSERT_FALSE(QFile::exists(home / ".config/Pad/settings"));
    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0);
    EXPECT_EQ(undone.out, "Undid run 1 (remove-app): 3 items moved back.\n");
    EXPECT_EQ(homeItems(), before);
}

TEST(RunsEndToEnd, PackIntoAFolderThatAnotherRunHoldsIsRefused) {
    TempHome home;
    writeFile(home / "Taxes/a.txt", "a");
    const QString stick = home / "Stick";
    makeFolder(stick);
    ASSERT_EQ(desktidy({"pack-list", "add", home / "Taxes", stick}).status, 0);
    LocalFileSystem local;
    JournalingFileSystem files(local, desktidyStateFolder(home.path()));
    writeFile(stick + "/Taxes/a.txt", "older");  // replaced, as --yes answers
    FolderLock other;                            // as another process's run holds it
    ASSERT_EQ(other.acquire(files.lockFolder(), Path::fromText(stick)), FolderLock::Outcome::Held);
    const Outcome refused = desktidy({"--yes", "pack"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("Another Desktidy run is changing " + stick +
                                     ". Try again when it has finished."))
        << refused.err.toStdString();
    EXPECT_EQ(readFile(stick + "/Taxes/a.txt"), "older");
    other.release();
    EXPECT_EQ(desktidy({"--yes", "pack"}).status, 0);
    EXPECT_EQ(readFile(stick + "/Taxes/a.txt"), "a");
    // The copy put in place counts as the run's item.
    EXPECT_TRUE(desktidy({"history"}).out.contains("pack             1  done"));
}

// Name chains: the item that gives up its name sorts first (A goes to B, a takes A), and a
// name given up earlier in the same pass stays taken for that pass (1b goes to 01b, b is
// refused 1b). The run gives the names planned, and undo gives the tree back.
TEST(RunsEndToEnd, NameChainsAreRunAsPlannedAndUndone) {
    const struct {
        QList<QByteArray> names;
        QStringList options;
        QStringList plan;  // the preview's lines, the desktop's path left out
        QStringList renamed;
    } cases[] = {
        {{"A", "a"},
         {"--replace", "A", "--with", "B", "--upper"},
         {"A -> B", "a -> A"},
         {"A f a", "B f A"}},
        {{"1b", "b"},
         {"--prefix-number"},
         {"b -> 1b  [stays: name taken]", "1b -> 01b",
          "notice: There is already a file in this folder with the name 1b"},
         {"01b f 1b", "b f b"}},
    };
    for (const auto& c : cases) {
        TempHome home;
        const Path desktop = Path::fromText(home.desktop());
        makeFolder(home.desktop());
        for (const QByteArray& name : c.names) writeItem(desktop / name, name);
        const QStringList original = describeTree(desktop);
        const QStringList arguments = QStringList{"rename", home.desktop()} + c.options;
        const Outcome planned = desktidy(QStringList{"--dry-run"} + arguments);
        EXPECT_EQ(planned.status, 0);
        EXPECT_EQ(
            QString(planned.out).replace(home.desktop() + "/", "").split(u'\n', Qt::SkipEmptyParts),
            c.plan);
        ASSERT_EQ(desktidy(QStringList{"--yes"} + arguments).status, 0);
        EXPECT_EQ(describeTree(desktop), c.renamed);
        EXPECT_EQ(desktidy({"--yes", "undo"}).status, 0);
        EXPECT_EQ(describeTree(desktop), original);
    }
}

// A preview changes nothing, the history included: a killed run's record is neither put
// right nor marked, and its item stays under its temporary name for the next real start.
TEST(RunsEndToEnd, ADryRunLeavesAnUnfinishedRecordAlone) {
    TempHome home;
    makeFolder(home.desktop());
    const Path desktop = Path::fromText(home.desktop());
    writeItem(desktop / ".desktidy-case-0", "name");
    const auto status = LocalFileSystem().status(desktop / ".desktidy-case-0");
    const QString record = home / ".local/state/Desktidy/history/1.run";
    writeFile(record, "desktidy-run 1\nkind rename\nmove 1 " + quoted((desktop / "Name").bytes()) +
                          ' ' + quoted((desktop / ".desktidy-case-0").bytes()) + ' ' +
                          identityText({status->device, status->inode}) + "\ndone 1\n" +
                          QByteArray(64, '\0'));
    const QByteArray written = readFile(record);
    const Outcome preview = desktidy({"--dry-run", "rename", home.desktop(), "--upper"});
    EXPECT_EQ(preview.status, 0);
    EXPECT_FALSE(preview.err.contains("stopped before its end")) << preview.err.toStdString();
    EXPECT_EQ(readFile(record), written);
    EXPECT_EQ(namesIn(home.desktop()), QStringList(".desktidy-case-0"));
    EXPECT_TRUE(desktidy({"history"}).err.contains("stopped before its end"));
    EXPECT_EQ(namesIn(home.desktop()), QStringList("Name"));
}

// An undo that cannot write its own record moves nothing, says why, exits 1 and leaves the
// run undoable.
TEST(RunsEndToEnd, AnUndoThatCannotBeRecordedFails) {
    TempHome home;
    const Path desktop = makeDesktop(home, 6);
    const QStringList original = describeTree(desktop);
    ASSERT_EQ(desktidy({"--yes", "file", home.desktop()}).status, 0);
    const QStringList filed = describeTree(desktop);
    const QString last = home / ".local/state/Desktidy/history/999999999.run";
    writeFile(last);
    const Outcome failed = desktidy({"--yes", "undo", "1"});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(
        failed.err.contains("Could not undo all of run 1 (file): 0 items moved back, "
                            "1 could not be:"))
        << failed.err.toStdString();
    EXPECT_TRUE(failed.err.contains("have reached their end (999999999)"));
    EXPECT_EQ(describeTree(desktop), filed);
    QFile::remove(last);
    const Outcome undone = desktidy({"--yes", "undo"});
    EXPECT_EQ(undone.status, 0) << undone.err.toStdString();
    EXPECT_EQ(describeTree(desktop), original);
}

}  // namespace
