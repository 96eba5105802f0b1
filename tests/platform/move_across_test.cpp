#include "platform/move_across.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <QFile>

#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

class MoveByCopyTest : public ::testing::Test {
  protected:
    TempHome home;
    FaultyFileSystem files;
    QString item = home / "cache/Zorblax", trash = home / "Trash";
    Path from = asPath(item), to = asPath(trash + "/Zorblax");

    void SetUp() override {
        writeFile(item + "/.hidden", "h");
        writeFile(item + "/data/one.db", "one");
        writeFile(item + "/data/two.db", "two");
        writeFile(home / "precious/keep.txt", "keep me");
        QFile::link(home / "precious", item + "/link");
        makeFolder(trash);
    }
    QStringList trashNames() { return displayed(files.listNames(asPath(trash), true)); }
};

// The copy is made under a hidden name, put in place, told, and only then the old item
// goes; links are copied as links.
TEST_F(MoveByCopyTest, MovesATreeWholeAndRemovesTheOldItemLast) {
    const QStringList before = describeTree(from, TreeDetail::ItemTimes);
    QStringList steps;
    MoveByCopySteps told;
    told.copying = [&](const Path& temporary, FileError&) {
        steps << "copying " + displayName(temporary.fileName()).chopped(16);
        return true;
    };
    told.copied = [&](const FileStatus& copy, FileError&) {
        EXPECT_EQ(copy.inode, files.status(to)->inode);
        EXPECT_EQ(describeTree(from, TreeDetail::ItemTimes), before);  // still whole
        steps << "copied";
        return true;
    };
    ASSERT_TRUE(moveByCopy(files, from, to, told).ok());
    EXPECT_EQ(steps, QStringList({"copying .Zorblax.desktidy-partial-", "copied"}));
    EXPECT_EQ(describeTree(to, TreeDetail::ItemTimes), before);
    EXPECT_FALSE(files.exists(from));
    EXPECT_EQ(trashNames(), QStringList{"Zorblax"});
    EXPECT_EQ(readFile(home / "precious/keep.txt"), "keep me");
}

// A mount inside, a copy that fails half-way, a taken destination or a record that cannot
// be written: the old item stays whole, and nothing of a copy is left.
TEST_F(MoveByCopyTest, NothingChangesWhenTheMoveCannotBeMade) {
    const QStringList before = describeTree(from, TreeDetail::ItemTimes);
    const QString mountedMessage =
        "\u201c" + item + "\u201d holds another file system, mounted at \u201c" + item +
        "/data\u201d; it was not moved, as a move to another file system would copy and then "
        "remove what is mounted there.";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        int code;
        QString message;
        bool refuseRecord = false;
    } cases[] = {
        {"mount inside", [&] { files.otherFileSystems = {item + "/data"}; }, EXDEV, mountedMessage},
        {"copy fails", [&] { files.failCopiesAfter = 2; }, ENOSPC,
         "Could not create \u201ctwo.db\u201d: No space left on device."},
        {"name taken", [&] { writeFile(trash + "/Zorblax", "theirs"); }, EEXIST,
         "Could not move \u201cZorblax\u201d: File exists."},
        {"record refused", [] {}, EIO, "no record", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.arrange();
        bool copying = false;
        MoveByCopySteps told;
        told.copying = [&](const Path&, FileError&) { return copying = true; };
        told.copied = [&](const FileStatus&, FileError& error) {
            if (c.refuseRecord) error = {EIO, to, "no record"};
            return !c.refuseRecord;
        };
        const FileError e = moveByCopy(files, from, to, told);
        EXPECT_EQ(e.code, c.code);
        EXPECT_EQ(e.message, c.message);
        EXPECT_EQ(describeTree(from, TreeDetail::ItemTimes), before);
        EXPECT_EQ(copying, c.code != EXDEV && c.code != EEXIST);  // refused before any copy
        const bool taken = c.code == EEXIST;
        EXPECT_EQ(trashNames(), taken ? QStringList{"Zorblax"} : QStringList{});
        if (taken) {
            ASSERT_TRUE(files.removeAll(to).ok());
        }
        files.otherFileSystems.clear();
        files.failCopiesAfter = -1;
    }
}

// Real mounts, in a mount namespace of this process: an item on a tmpfs that holds a bind
// mount of a folder of the home is not moved to the home's file system; one that holds
// none is.
TEST_F(MoveByCopyTest, AnItemHoldingARealMountIsRefused) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
        GTEST_SKIP() << "cannot make a mount namespace here";
    const QByteArray cache = QFile::encodeName(home / "tmpfs");
    makeFolder(home / "tmpfs");
    if (::mount("none", cache.constData(), "tmpfs", 0, nullptr) != 0)
        GTEST_SKIP() << "cannot mount here";
    const QByteArray bind = QFile::encodeName(home / "tmpfs/Zorblax/precious");
    makeFolder(home / "tmpfs/Zorblax/precious");
    writeFile(home / "tmpfs/Zorblax/cache.db", "cache");
    writeFile(home / "tmpfs/Other/cache.db", "other");
    ASSERT_EQ(::mount(QFile::encodeName(home / "precious").constData(), bind.constData(), nullptr,
                      MS_BIND, nullptr),
              0);
    LocalFileSystem local;
    const FileError e =
        moveByCopy(local, asPath(home / "tmpfs/Zorblax"), asPath(trash + "/Zorblax"));
    EXPECT_EQ(e.code, EXDEV);
    EXPECT_TRUE(e.message.contains("mounted at \u201c" + home / "tmpfs/Zorblax/precious\u201d"));
    EXPECT_EQ(readFile(home / "tmpfs/Zorblax/precious/keep.txt"), "keep me");
    EXPECT_EQ(readFile(home / "tmpfs/Zorblax/cache.db"), "cache");
    EXPECT_EQ(trashNames(), QStringList{});

    ASSERT_TRUE(moveByCopy(local, asPath(home / "tmpfs/Other"), asPath(trash + "/Other")).ok());
    EXPECT_EQ(readFile(trash + "/Other/cache.db"), "other");
    EXPECT_FALSE(QFile::exists(home / "tmpfs/Other"));
    ::umount2(bind.constData(), MNT_DETACH);
    ::umount2(cache.constData(), MNT_DETACH);
    EXPECT_EQ(readFile(home / "precious/keep.txt"), "keep me");
}

}  // namespace
