#include "trash/trash_listing.h"

#include "support/trash_fixture.h"
#include "trash/trash_records.h"

using TrashListing = TrashTest;

TEST_F(TrashListing, ListsItemsNewestFirstWithTheirRecordsAndSizes) {
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

TEST(TrashNames, FirstFewThenHowManyMore) {
    const QList<Path> seven = {Path("/t/a"), Path("/t/b"), Path("/t/c"), Path("/t/d"),
                               Path("/t/e"), Path("/t/f"), Path("/t/g")};
    EXPECT_EQ(someNames(seven), "a\nb\nc\nd\ne\nand 2 more");
    EXPECT_EQ(someNames(seven.mid(0, 5)), "a\nb\nc\nd\ne");
}
