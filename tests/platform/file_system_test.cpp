#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <QFile>

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
    for (const QString& target : {home / "taken.txt", home / "folder", home / "link"})
        EXPECT_EQ(fs.moveNoReplace(from, target).code, EEXIST) << target.toStdString();
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

// The generic listing, built on listNames and status, as a fake file system gets it.
class GenericListing : public LocalFileSystem {
  public:
    QList<Entry> listEntries(const QString& folder, bool hidden) override {
        return FileSystem::listEntries(folder, hidden);
    }
};

QStringList describe(FileSystem& files, const QString& folder, bool hidden) {
    QStringList lines;
    for (const auto& e : files.listEntries(folder, hidden))
        lines << e.name + (e.isDirectory ? "/" : "");
    return lines;
}

TEST_F(LocalFileSystemTest, ListsInNameOrderHidingDotNamesAndTellsRealFoldersFromLinks) {
    writeFile(home / "d/b.txt");
    writeFile(home / "d/.hidden");
    writeFile(home / "d/A folder/inside");
    QFile::link(home / "d/A folder", home / "d/link");
    EXPECT_EQ(fs.listNames(home / "d", false), QStringList({"A folder", "b.txt", "link"}));
    EXPECT_EQ(fs.listNames(home / "d", true),
              QStringList({".hidden", "A folder", "b.txt", "link"}));
    EXPECT_EQ(describe(fs, home / "d", false), QStringList({"A folder/", "b.txt", "link"}));
    GenericListing generic;
    EXPECT_EQ(describe(generic, home / "d", true), describe(fs, home / "d", true));
    EXPECT_TRUE(fs.listNames(home / "missing", true).isEmpty());
    EXPECT_TRUE(describe(fs, home / "missing", true).isEmpty());
}

TEST_F(LocalFileSystemTest, RemoveAllDeletesALinkNotWhatItPointsAt) {
    writeFile(home / "keep/precious.txt", "keep me");
    writeFile(home / "gone/.hidden/deep.txt");
    QFile::link(home / "keep", home / "gone/link-to-keep");
    ASSERT_FALSE(fs.removeAll(home / "gone"));
    EXPECT_FALSE(fs.exists(home / "gone"));
    EXPECT_EQ(readFile(home / "keep/precious.txt"), "keep me");
}

TEST(PathHelpers, IgnoreATrailingSlashAndJoinWithOne) {
    EXPECT_EQ(lastPathComponent("/a/b/c/"), "c");
    EXPECT_EQ(deletingLastPathComponent("/a/b/c/"), "/a/b");
    EXPECT_EQ(deletingLastPathComponent("/a"), "/");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
}

}  // namespace
