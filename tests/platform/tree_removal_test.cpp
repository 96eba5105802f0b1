#include "platform/tree_removal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <QFile>

#include "platform/file_system.h"
#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"

namespace {

class TreeRemovalTest : public ::testing::Test {
  protected:
    TempHome home;
    LocalFileSystem fs;

    QStringList leftMessages(const TreeRemoval& removal) {
        QStringList messages;
        for (const FileError& e : removal.leftBehind) messages << e.message;
        return messages;
    }
};

QString mountMessage(const QString& mountPoint) {
    return "\u201c" + mountPoint +
           "\u201d is the mount point of another file system, which is never removed with the "
           "folder around it.";
}

// A sub-folder swapped for a link to a folder outside, between the look at it and its
// opening: the link's target keeps every file, the swapped entry is named as left, the
// rest of the tree goes.
TEST_F(TreeRemovalTest, AFolderSwappedForALinkMidWayLeadsNowhere) {
    const QString big = home / "big";
    for (int i = 0; i < 20; ++i) {
        writeFile(home / QString("victim/file%1").arg(i), "precious");
        writeFile(big + QString("/sub/file%1").arg(i));
    }
    writeFile(big + "/a/b.txt");
    TreeRemovalHooks hooks;
    hooks.beforeEntering = [&](const Path& folder, FileStatus&) {
        if (folder != asPath(big + "/sub")) return;
        ASSERT_TRUE(QFile::rename(big + "/sub", home / "sub-aside"));
        ASSERT_TRUE(QFile::link(home / "victim", big + "/sub"));
    };
    const TreeRemoval removal = removeTree(asPath(big), hooks);
    EXPECT_EQ(leftMessages(removal),
              QStringList{"\u201c" + big +
                          "/sub\u201d changed while it was being removed and was left as it is."});
    EXPECT_EQ(removal.summary().path, asPath(big + "/sub"));
    EXPECT_EQ(displayed(fs.listNames(asPath(home / "victim"), true)).size(), 20);
    EXPECT_EQ(readFile(home / "victim/file19"), "precious");
    EXPECT_EQ(displayed(fs.listNames(asPath(big), true)), QStringList{"sub"});
    EXPECT_TRUE(fs.status(asPath(big + "/sub"))->isSymlink());
    // A second removal takes the link as a link.
    EXPECT_TRUE(fs.removeAll(asPath(big)).ok());
    EXPECT_FALSE(fs.exists(asPath(big)));
    EXPECT_EQ(displayed(fs.listNames(asPath(home / "victim"), true)).size(), 20);
}

QByteArray levelName(int level) {
    return "level-" + QByteArray::number(level).rightJustified(4, '0') + "-abcdefghi";
}

// levels nested folders of 20-byte names below top, with a file in each; made through
// descriptors, as their paths outgrow PATH_MAX.
void makeDeepTree(const QString& top, int levels) {
    makeFolder(top);
    int fd = ::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    for (int level = 1; level <= levels; ++level) {
        const QByteArray name = levelName(level);
        ASSERT_EQ(name.size(), 20);
        ASSERT_EQ(::close(::openat(fd, "zz-file", O_WRONLY | O_CREAT | O_CLOEXEC, 0644)), 0);
        ASSERT_EQ(::mkdirat(fd, name.constData(), 0755), 0);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        ASSERT_GE(fd = next, 0);
    }
    ::close(fd);
}

// 300 levels: twice PATH_MAX deep, and far more folders than descriptors kept open. A
// folder deep down that is another file system stays, named by its whole path, with all
// it holds and the folders above it; all else goes.
TEST_F(TreeRemovalTest, RemovesATreeDeeperThanPathMaxAndNamesWhatStays) {
    const QString deep = home / "deep";
    ASSERT_NO_FATAL_FAILURE(makeDeepTree(deep, 300));
    EXPECT_EQ(fs.removeAll(asPath(deep)).message, QString());
    EXPECT_FALSE(fs.exists(asPath(deep)));

    ASSERT_NO_FATAL_FAILURE(makeDeepTree(deep, 300));
    Path mounted;
    int entered = 0;
    TreeRemovalHooks hooks;
    hooks.beforeEntering = [&](const Path& folder, FileStatus& seen) {
        if (++entered != 251) return;  // the folder of level 250
        mounted = folder;
        seen.device ^= 1;
    };
    const TreeRemoval removal = removeTree(asPath(deep), hooks);
    ASSERT_EQ(removal.leftCount, 1);
    EXPECT_GT(mounted.bytes().size(), 5000);
    EXPECT_EQ(removal.leftBehind[0].path, mounted);
    EXPECT_EQ(removal.leftBehind[0].code, EXDEV);
    // Left: the chain of folders down to it, and all it holds (the files of levels 250 to
    // 299; level 300 has none).
    int levels = 0, files = 0;
    int fd = ::open(QFile::encodeName(deep).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 1; fd >= 0; ++level) {
        files += ::faccessat(fd, "zz-file", F_OK, AT_SYMLINK_NOFOLLOW) == 0;
        const int next = ::openat(fd, levelName(level).constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        levels += fd >= 0;
    }
    EXPECT_EQ(levels, 300);
    EXPECT_EQ(files, 50);
    EXPECT_TRUE(fs.removeAll(asPath(deep)).ok());
}

// A folder moved away while the walk is below it: the walk finds its way back only to the
// folders it left, so nothing in the folder it was moved into is taken for the tree's.
TEST_F(TreeRemovalTest, AFolderMovedOutMidWayStopsTheWalkThere) {
    const QString deep = home / "deep";
    ASSERT_NO_FATAL_FAILURE(makeDeepTree(deep, 200));
    writeFile(home / "zz-file", "keep me");  // named as the entry left in each folder
    int entered = 0;
    TreeRemovalHooks hooks;
    hooks.beforeEntering = [&](const Path&, FileStatus&) {
        if (++entered != 150) return;
        // Level 100's folder goes to the home, while the walk is 49 levels below it.
        Path level99 = asPath(deep);
        for (int i = 0; i < 99; ++i) level99 = level99 / fs.listNames(level99, true).name(0);
        const Path level100 = level99 / fs.listNames(level99, true).name(0);
        ASSERT_TRUE(fs.moveNoReplace(level100, asPath(home / "moved")).ok());
    };
    const TreeRemoval removal = removeTree(asPath(deep), hooks);
    ASSERT_EQ(removal.leftCount, 1);
    EXPECT_TRUE(removal.leftBehind[0].message.endsWith(
        "\u201d was moved while it was being removed; what is left of it stays."));
    EXPECT_EQ(readFile(home / "zz-file"), "keep me");
    EXPECT_TRUE(fs.exists(asPath(home / "moved")));
}

// Links are removed, not followed; a folder on another device stays, and the error names it.
TEST_F(TreeRemovalTest, LeavesALinksTargetAndAFolderOnAnotherDevice) {
    FaultyFileSystem files;
    const QString gone = home / "gone";
    writeFile(gone + "/.hidden/a.txt");
    writeFile(home / "keep/precious.txt", "keep me");
    QFile::link(home / "keep", gone + "/link-to-keep");
    writeFile(gone + "/sub/mounted/precious.txt", "keep me");
    writeFile(gone + "/sub/z.txt");
    files.otherFileSystems << gone + "/sub/mounted";
    EXPECT_EQ(checkOneFileSystem(files, asPath(gone)).message, mountMessage(gone + "/sub/mounted"));
    const FileError e = files.removeAll(asPath(gone));
    EXPECT_EQ(e.code, EXDEV);
    EXPECT_EQ(e.path, asPath(gone + "/sub/mounted"));
    EXPECT_EQ(e.message, mountMessage(gone + "/sub/mounted"));
    EXPECT_EQ(displayed(files.listNames(asPath(gone), true)), QStringList{"sub"});  // the rest goes
    EXPECT_EQ(displayed(files.listNames(asPath(gone + "/sub"), true)), QStringList{"mounted"});
    EXPECT_EQ(readFile(gone + "/sub/mounted/precious.txt") + readFile(home / "keep/precious.txt"),
              "keep mekeep me");
    // The top's own device.
    EXPECT_TRUE(checkOneFileSystem(files, asPath(gone + "/sub/mounted")).ok());
}

// Real mounts, in a mount namespace of this process so that none outlives the test.
TEST_F(TreeRemovalTest, StopsAtAMountedFileSystemAndABindMountNamingEach) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        GTEST_SKIP() << "cannot make a mount namespace here";
    const QString gone = home / "gone";
    makeFolder(gone + "/tmpfs");
    makeFolder(gone + "/bind");
    writeFile(gone + "/loose.txt");
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

    const TreeRemoval removal = removeTree(asPath(gone));
    EXPECT_EQ(leftMessages(removal),
              QStringList({mountMessage(gone + "/bind"), mountMessage(gone + "/tmpfs")}));
    EXPECT_EQ(removal.summary().message,
              mountMessage(gone + "/bind") + " 1 more item could not be removed either.");
    EXPECT_EQ(checkOneFileSystem(fs, asPath(gone)).path, asPath(gone + "/bind"));
    EXPECT_EQ(displayed(fs.listNames(asPath(gone), true)), QStringList({"bind", "tmpfs"}));
    EXPECT_EQ(readFile(gone + "/tmpfs/on-tmpfs.txt"), "keep me too");
    EXPECT_EQ(readFile(home / "elsewhere/precious.txt"), "keep me");
    // The top of a mount is not removed either.
    EXPECT_EQ(fs.removeAll(asPath(gone + "/tmpfs")).message, mountMessage(gone + "/tmpfs"));
    for (const QByteArray& point : unmount.points) ::umount2(point.constData(), MNT_DETACH);
    unmount.points.clear();
    ASSERT_TRUE(fs.removeAll(asPath(gone)).ok());  // nothing mounted any more
    EXPECT_FALSE(fs.exists(asPath(gone)));
}

}  // namespace
