#include "trash/item_label.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QProcess>

#include "support/trash_fixture.h"
#include "trash/disk_usage.h"

TEST(ItemLabel, SizeTextFollowsTheUnitTable) {
    const std::pair<std::int64_t, const char*> table[] = {
        {0, "4.0 KB"},       {4097, "4.0 KB"},    {10240, "10.0 KB"},       {1047552, "1023.0 KB"},
        {1047553, "1.0 MB"}, {1500000, "1.4 MB"}, {1047527424, "999.0 MB"}, {1048576000, "1.0 GB"},
    };
    for (const auto& [bytes, text] : table) EXPECT_EQ(sizeText(bytes), text) << bytes;
}

TEST_F(TrashTest, LabelsGiveNameSizeAndPathWithTheSmallestSizeForTinyOrMissingItems) {
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
