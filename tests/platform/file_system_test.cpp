#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>

#include "platform/file_system.h"
#include "support/temp_home.h"

namespace {

class LocalFileSystemTest : public ::testing::Test {
protected:
    TempHome home;
    LocalFileSystem fs;
};

TEST_F(LocalFileSystemTest, MoveNeverReplacesAFileFolderOrLink) {
    const QString from = writeFile(home / "from.txt", "mine");
    writeFile(home / "taken.txt", "theirs");
    makeFolder(home / "folder");
    QFile::link(home / "nowhere", home / "link");

    for (const QString& target : {home / "taken.txt", home / "folder", home / "link"}) {
        FileError e = fs.moveNoReplace(from, target);
        EXPECT_EQ(e.code, EEXIST) << target.toStdString();
    }
    EXPECT_EQ(readFile(from), "mine");
    EXPECT_EQ(readFile(home / "taken.txt"), "theirs");

    makeFolder(home / "src-folder/inner");
    EXPECT_EQ(fs.moveNoReplace(home / "src-folder", home / "folder").code, EEXIST);
    EXPECT_TRUE(fs.isDirectory(home / "src-folder/inner"));
}

TEST_F(LocalFileSystemTest, MovesLinksAsLinksAndFailsHarmlesslyWithoutAParent) {
    writeFile(home / "target.txt", "data");
    QFile::link(home / "target.txt", home / "link");
    ASSERT_FALSE(fs.moveNoReplace(home / "link", home / "moved-link"));
    EXPECT_TRUE(fs.status(home / "moved-link")->isSymlink());
    EXPECT_EQ(readFile(home / "target.txt"), "data");

    FileError e = fs.moveNoReplace(home / "target.txt", home / "missing/target.txt");
    EXPECT_TRUE(e.failed());
    EXPECT_FALSE(e.message.isEmpty());
    EXPECT_TRUE(fs.exists(home / "target.txt"));
}

TEST_F(LocalFileSystemTest, ListsSortedAndHidesDotNamesUnlessAsked) {
    writeFile(home / "d/b");
    writeFile(home / "d/a");
    writeFile(home / "d/.hidden");
    makeFolder(home / "d/c");
    EXPECT_EQ(fs.listNames(home / "d", false), QStringList({"a", "b", "c"}));
    EXPECT_EQ(fs.listNames(home / "d", true), QStringList({".hidden", "a", "b", "c"}));
    EXPECT_TRUE(fs.listNames(home / "no-such-folder", true).isEmpty());
}

TEST_F(LocalFileSystemTest, RemoveAllDeletesALinkNotWhatItPointsAt) {
    writeFile(home / "keep/precious.txt", "keep me");
    writeFile(home / "gone/file.txt");
    writeFile(home / "gone/.hidden/deep.txt");
    QFile::link(home / "keep", home / "gone/link-to-keep");
    ASSERT_FALSE(fs.removeAll(home / "gone"));
    EXPECT_FALSE(fs.exists(home / "gone"));
    EXPECT_EQ(readFile(home / "keep/precious.txt"), "keep me");
}

TEST(PathHelpers, IgnoreATrailingSlashAndJoinWithOne) {
    EXPECT_EQ(lastPathComponent("/a/b/c"), "c");
    EXPECT_EQ(lastPathComponent("/a/b/c/"), "c");
    EXPECT_EQ(deletingLastPathComponent("/a/b/c/"), "/a/b");
    EXPECT_EQ(deletingLastPathComponent("/a"), "/");
    EXPECT_EQ(joinPath("/a", "b"), "/a/b");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
}

}  // namespace
