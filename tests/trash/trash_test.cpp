#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>

#include "support/trash_fixture.h"
#include "trash/disk_usage.h"
#include "trash/item_label.h"
#include "trash/trash_emptying.h"
#include "trash/trash_listing.h"
#include "trash/trash_records.h"
#include "trash/trash_restore.h"

TEST_F(TrashTest, LabelsGiveNameSizeAndPathWithTheSmallestSizeForTinyOrMissingItems) {
    const std::pair<std::int64_t, const char*> sizes[] = {
        {0, "4.0 KB"},       {4097, "4.0 KB"},    {10240, "10.0 KB"},       {1047552, "1023.0 KB"},
        {1047553, "1.0 MB"}, {1500000, "1.4 MB"}, {1047527424, "999.0 MB"}, {1048576000, "1.0 GB"},
    };
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(sizeText(bytes), text) << bytes;
    EXPECT_EQ(itemLabel(Path("/a/100%@ done/"), 20480LL * 1024),
              "100%@ done - 20.0 MB\n/a/100%@ done/");
    // Bytes that are no character, and control characters, show as such.
    EXPECT_EQ(itemLabel(Path("/a/r\xFF\n"), 0), "r\\xFF\\x0A - 4.0 KB\n/a/r\\xFF\\x0A");
    const QString file = writeFile(home / "one", "x");
    EXPECT_EQ(itemLabelFor(asPath(file), files), "one - 4.0 KB\n" + file);
    EXPECT_EQ(itemLabelFor(asPath(home / "missing"), files),
              "missing - 4.0 KB\n" + home / "missing");
}

TEST_F(TrashTest, FolderUsageAgreesWithDu) {
    // Hard links, a link to a big file outside, nested folders and a sparse file.
    const QString tree = home / "tree";
    const QString data = writeFile(tree + "/a/b/data", QByteArray(300000, 'd'));
    ASSERT_EQ(::link(QFile::encodeName(data), QFile::encodeName(tree + "/a/hard")), 0);
    const QString outside = writeFile(home / "outside", QByteArray(2000000, 'o'));
    ASSERT_EQ(::symlink(QFile::encodeName(outside), QFile::encodeName(tree + "/link")), 0);
    ASSERT_EQ(::truncate(QFile::encodeName(writeFile(tree + "/sparse")), 50000000), 0);
    for (int i = 0; i < 40; ++i)
        writeFile(tree + QString("/c/%1/f").arg(i), QByteArray(i * 999, 'c'));

    QProcess du;
    du.start("/usr/bin/du", {"-k", "-d", "0", tree});
    ASSERT_TRUE(du.waitForFinished());
    EXPECT_EQ(diskUsageKilobytes(asPath(tree)),
              du.readAllStandardOutput().split('\t').value(0).toLongLong());
    EXPECT_LT(diskUsageKilobytes(asPath(tree)), 2000);  // neither the link's target nor the hole
}

TEST_F(TrashTest, ListsItemsNewestFirstWithTheirRecordsAndSizes) {
    EXPECT_TRUE(trashEntries(services.trash, files).isEmpty());  // no Trash yet
    ASSERT_TRUE(makeTrashFolders(services.trash, files).ok());
    const QDateTime older(QDate(2024, 1, 2), QTime(3, 4, 5));
    const Path original(home.path().toUtf8() + "/Docs/na\xffme%.txt");
    ASSERT_TRUE(writeTrashRecord(services.trash, "old", original, older).ok());
    ASSERT_TRUE(writeTrashRecord(services.trash, "new", Path("/x"), older.addDays(1)).ok());
    writeFile(trashFiles() + "/old", QByteArray(3000 * 1024, 'x'));
    writeFile(trashFiles() + "/new");
    writeFile(trashFiles() + "/a-no-record");
    writeFile(recordOf("broken"), "[Other]\nPath=/elsewhere\n[Trash Info]\nDeletionDate=soon\n");
    writeFile(trashFiles() + "/broken");

    const QList<TrashEntry> entries = trashEntries(services.trash, files);
    QStringList names;
    for (const TrashEntry& e : entries) names << displayName(e.path.fileName());
    EXPECT_EQ(names, QStringList({"new", "old", "a-no-record", "broken"}));
    EXPECT_EQ(entries[1].originalPath, original);
    EXPECT_EQ(entries[1].deletionDate, older);
    EXPECT_EQ(entries[1].sizeLabel, "2.9 MB");
    EXPECT_EQ(entries[0].sizeLabel, "4.0 KB");
    // A group other than [Trash Info] and a bad date give nothing.
    EXPECT_TRUE(entries[3].originalPath.isEmpty());
    EXPECT_FALSE(entries[3].deletionDate.isValid());
}

// The place an item goes back to is the one its record names, absolute or from the folder
// that holds the Trash; a record that climbs out with "." or "..", names no place, or holds
// a NUL byte (which would cut the path short at the system call) names none.
TEST(TrashRestorePlace, IsTheRecordedPlaceOrNone) {
    const TrashLocation trash{Path("/home/ann/.local/share/Trash")};
    const auto placeOf = [&](const QByteArray& recorded) {
        return restorePlace(parseTrashRecord("[Trash Info]\nPath=" + recorded + "\n").originalPath,
                            trash)
            .bytes();
    };
    EXPECT_EQ(placeOf("/home/ann/caf%E9%20x.txt"), "/home/ann/caf\xe9 x.txt");
    EXPECT_EQ(placeOf("notes/a.txt"), "/home/ann/.local/share/notes/a.txt");
    for (const QByteArray bad :
         {"", "/", "/home/ann/../../etc/passwd", "./a", "/home/ann/a%00/b", "/home/ann/%2E%2E/x"})
        EXPECT_EQ(placeOf(bad), QByteArray()) << bad.constData();
}

TEST(TrashNames, FirstFewThenHowManyMore) {
    const QList<Path> seven = {Path("/t/a"), Path("/t/b"), Path("/t/c"), Path("/t/d"),
                               Path("/t/e"), Path("/t/f"), Path("/t/g")};
    EXPECT_EQ(someNames(seven), "a\nb\nc\nd\ne\nand 2 more");
    EXPECT_EQ(someNames(seven.mid(0, 5)), "a\nb\nc\nd\ne");
}

class TrashEmptying : public TrashTest {
  protected:
    QString trashed(const QString& name, const QByteArray& contents = "x") {
        writeFile(recordOf(name.section('/', 0, 0)), "[Trash Info]\n");
        return writeFile(trashFiles() + "/" + name, contents);
    }
    RunResult deleteTrashItems(const QStringList& chosen) { return remove(paths(chosen)); }
    RunResult remove(const QList<Path>& chosen) {
        return ::deleteTrashItems(services, chosen, silentObserver(), outcome);
    }
    DeletionOutcome outcome;
};

// No item, or the Trash folder itself, is nothing chosen; the chosen items are deleted with
// their records, and only those.
TEST_F(TrashEmptying, DeletesTheChosenItemsWithTheirRecords) {
    const QString a = trashed("a.txt");
    const QString folder = trashed("folder/inner").chopped(6);
    const QString kept = trashed("kept");
    EXPECT_TRUE(choosesNothing(paths({trashFiles() + "/"}), services.trash));
    EXPECT_TRUE(choosesNothing({}, services.trash));
    EXPECT_FALSE(choosesNothing(paths({a}), services.trash));

    EXPECT_EQ(deleteTrashItems({a, folder}), RunResult::Done);
    EXPECT_EQ(outcome.closingNotice,
              "The chosen items have been permanently deleted from the Trash.");
    EXPECT_EQ(resultLine(outcome.report), "Deleted 2 items for good.");
    EXPECT_FALSE(exists(a) || exists(folder) || exists(recordOf("a.txt")));
    EXPECT_TRUE(exists(kept) && exists(recordOf("kept")));
    const QString odd = trashed("files");  // an item called like the folder is an item
    EXPECT_EQ(deleteTrashItems({odd}), RunResult::Done);
    EXPECT_FALSE(exists(odd));
}

// Only items directly in the Trash are deleted, links as links; an item holding a mounted
// file system keeps all of that file system and its record, and is told as one that stayed.
TEST_F(TrashEmptying, OnlyItemsDirectlyInTheTrashAreDeletedAndNeverAcrossAMount) {
    const QString outside = writeFile(home / "precious");
    const QString deeper = trashed("box/inner");
    const QString link = trashFiles() + "/link";
    ASSERT_EQ(::symlink(QFile::encodeName(home.path()), QFile::encodeName(link)), 0);
    const QString mounted = trashed("mounted/loose.txt").chopped(10);
    writeFile(mounted + "/stick/on-stick.txt", "keep me");
    files.otherFileSystems << mounted + "/stick";

    const QString notADirectItem = trashFiles() + "/box/../../info";
    EXPECT_EQ(deleteTrashItems({link, outside, deeper, notADirectItem, mounted}),
              RunResult::Failed);
    EXPECT_FALSE(exists(link));
    EXPECT_TRUE(exists(outside) && exists(deeper) && files.exists(services.trash.info()));
    EXPECT_EQ(readFile(mounted + "/stick/on-stick.txt"), "keep me");
    EXPECT_EQ(displayed(files.listNames(asPath(mounted), true)), QStringList{"stick"});
    EXPECT_TRUE(exists(recordOf("mounted")));
    const QString notInTrash = ": it is not an item of the Trash.\n";
    EXPECT_EQ(outcome.closingNotice,
              "These items could not be deleted:\n" + outside + notInTrash + deeper + notInTrash +
                  notADirectItem + notInTrash + mounted + ": \u201c" + mounted +
                  "/stick\u201d is the mount point of another file system, which is never "
                  "removed with the folder around it.");
}

// Names are bytes: a name that is not UTF-8 and the UTF-8 name it would read as are two
// items, each deleted exactly, with its own record; an item that is not there is not
// claimed as deleted.
TEST_F(TrashEmptying, EachItemIsDeletedByItsBytesAndAMissingOneIsToldApart) {
    const Path notUtf8 = services.trash.files() / "\xff";
    const Path replacement = services.trash.files() / "\xef\xbf\xbd";
    const Path box = asPath(trashed("box/kept").chopped(5));
    for (const Path& path : {notUtf8, replacement, box / "\xff"})
        ASSERT_EQ(::close(::creat(path.c_str(), 0644)), 0);
    for (const Path& path : {notUtf8, replacement})
        writeFile(text(services.trash.infoFileFor(path.fileName())), "[Trash Info]\n");
    writeFile(recordOf("gone"), "[Trash Info]\n");

    EXPECT_EQ(remove({notUtf8, box, asPath(trashFiles() + "/gone")}), RunResult::Failed);
    EXPECT_EQ(outcome.closingNotice,
              "These items were not found in the Trash:\n" + trashFiles() + "/gone");
    EXPECT_FALSE(files.exists(notUtf8) || files.exists(box));
    EXPECT_FALSE(files.exists(services.trash.infoFileFor("\xff")) || exists(recordOf("box")));
    EXPECT_TRUE(files.exists(replacement) && exists(recordOf("\uFFFD")) &&
                exists(recordOf("gone")));

    EXPECT_EQ(remove({replacement}), RunResult::Done);
    EXPECT_FALSE(files.exists(replacement) || exists(recordOf("\uFFFD")));
}
