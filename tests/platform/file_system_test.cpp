#include "platform/file_system.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <QFile>

#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
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

// The move as on a file system without RENAME_NOREPLACE, with or without hard links.
LocalFileSystem::MoveCalls withoutNoReplace(bool hardLinks) {
    LocalFileSystem::MoveCalls calls = LocalFileSystem::systemMoveCalls();
    calls.renameNoReplace = [](const char*, const char*) { return errno = EINVAL, -1; };
    if (!hardLinks) calls.link = [](const char*, const char*) { return errno = EPERM, -1; };
    return calls;
}

TEST_F(LocalFileSystemTest, WithoutTheNoReplaceFlagAMoveStillNeverReplaces) {
    for (bool hardLinks : {true, false}) {
        SCOPED_TRACE(hardLinks ? "hard links" : "no hard links");
        const QString d = home / (hardLinks ? "links" : "no-links");
        writeFile(d + "/a.txt", "mine");
        writeFile(d + "/taken.txt", "theirs");
        makeFolder(d + "/folder/inner");
        makeFolder(d + "/empty");  // plain rename(2) would replace an empty folder
        fs.moveCalls = withoutNoReplace(hardLinks);
        EXPECT_EQ(fs.moveNoReplace(d + "/a.txt", d + "/taken.txt").code, EEXIST);
        EXPECT_EQ(fs.moveNoReplace(d + "/a.txt", d + "/empty").code, EEXIST);
        EXPECT_EQ(fs.moveNoReplace(d + "/folder", d + "/empty").code, EEXIST);
        EXPECT_EQ(fs.moveNoReplace(d + "/folder", d + "/taken.txt").code, EEXIST);
        EXPECT_EQ(fs.moveNoReplace(d + "/a.txt", d + "/missing/a.txt").code, ENOENT);
        EXPECT_EQ(fs.listNames(d, true), QStringList({"a.txt", "empty", "folder", "taken.txt"}));
        EXPECT_EQ(readFile(d + "/a.txt"), "mine");
        EXPECT_EQ(readFile(d + "/taken.txt"), "theirs");
        EXPECT_TRUE(fs.listNames(d + "/empty", true).isEmpty());

        ASSERT_FALSE(fs.moveNoReplace(d + "/a.txt", d + "/b.txt"));
        ASSERT_FALSE(fs.moveNoReplace(d + "/folder", d + "/moved"));
        EXPECT_EQ(fs.listNames(d, true), QStringList({"b.txt", "empty", "moved", "taken.txt"}));
        EXPECT_EQ(readFile(d + "/b.txt"), "mine");
        EXPECT_EQ(fs.status(d + "/b.txt")->links, 1u);
        EXPECT_TRUE(fs.isDirectory(d + "/moved/inner"));
    }
    // The old name cannot be dropped: the item stays there and gets no second name.
    fs.moveCalls = withoutNoReplace(true);
    fs.moveCalls.unlink = [](const char* path) {
        return QByteArray(path).endsWith("/b.txt") ? (errno = EROFS, -1) : ::unlink(path);
    };
    EXPECT_EQ(fs.moveNoReplace(home / "links/b.txt", home / "links/c.txt").code, EROFS);
    EXPECT_EQ(fs.listNames(home / "links", true),
              QStringList({"b.txt", "empty", "moved", "taken.txt"}));
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

QString mountMessage(const QString& mountPoint) {
    return "\u201c" + mountPoint +
           "\u201d is the mount point of another file system, which is never removed with the "
           "folder around it.";
}

TEST_F(LocalFileSystemTest, RemoveAllLeavesAFolderOnAnotherDeviceAndSaysWhere) {
    FaultyFileSystem files;
    const QString gone = home / "gone";
    writeFile(gone + "/a.txt");
    writeFile(gone + "/sub/mounted/precious.txt", "keep me");
    writeFile(gone + "/sub/z.txt");
    files.otherFileSystems << gone + "/sub/mounted";
    EXPECT_EQ(checkOneFileSystem(files, gone).message, mountMessage(gone + "/sub/mounted"));
    const FileError e = files.removeAll(gone);
    EXPECT_EQ(e.code, EXDEV);
    EXPECT_EQ(e.path, gone + "/sub/mounted");
    EXPECT_EQ(e.message, mountMessage(gone + "/sub/mounted"));
    EXPECT_EQ(files.listNames(gone, true), QStringList{"sub"});  // the rest goes
    EXPECT_EQ(files.listNames(gone + "/sub", true), QStringList{"mounted"});
    EXPECT_EQ(readFile(gone + "/sub/mounted/precious.txt"), "keep me");
    EXPECT_FALSE(checkOneFileSystem(files, gone + "/sub/mounted"));  // the top's own device
}

// Real mounts, in a mount namespace of this process so that none outlives the test.
TEST_F(LocalFileSystemTest, RemoveAllStopsAtAMountedFileSystemAndABindMount) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        GTEST_SKIP() << "cannot make a mount namespace here";
    const QString gone = home / "gone";
    makeFolder(gone + "/tmpfs");
    makeFolder(gone + "/bind");
    writeFile(home / "elsewhere/precious.txt", "keep me");
    const QByteArray tmpfs = QFile::encodeName(gone + "/tmpfs");
    const QByteArray bind = QFile::encodeName(gone + "/bind");
    if (::mount("none", tmpfs.constData(), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "cannot mount here";
    struct Unmount {
        QByteArrayList points;
        ~Unmount() {
            for (const QByteArray& p : points) ::umount2(p.constData(), MNT_DETACH);
        }
    } unmount{{tmpfs}};
    ASSERT_EQ(::mount(QFile::encodeName(home / "elsewhere").constData(), bind.constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    unmount.points << bind;
    writeFile(gone + "/tmpfs/on-tmpfs.txt", "keep me too");

    for (const QString& mounted : {gone + "/bind", gone + "/tmpfs"}) {  // in name order
        const FileError e = fs.removeAll(gone);
        EXPECT_EQ(e.code, EXDEV);
        EXPECT_EQ(e.message, mountMessage(mounted));
        EXPECT_EQ(checkOneFileSystem(fs, gone).path, mounted);
        EXPECT_EQ(readFile(gone + "/tmpfs/on-tmpfs.txt"), "keep me too");
        ::umount2(QFile::encodeName(mounted).constData(), MNT_DETACH);
    }
    EXPECT_EQ(readFile(home / "elsewhere/precious.txt"), "keep me");
    ASSERT_FALSE(fs.removeAll(gone));  // nothing mounted any more
    EXPECT_FALSE(fs.exists(gone));
}

TEST(PathHelpers, IgnoreATrailingSlashAndJoinWithOne) {
    EXPECT_EQ(lastPathComponent("/a/b/c/"), "c");
    EXPECT_EQ(deletingLastPathComponent("/a/b/c/"), "/a/b");
    EXPECT_EQ(deletingLastPathComponent("/a"), "/");
    EXPECT_EQ(joinPath("/a/", "b"), "/a/b");
}

}  // namespace
