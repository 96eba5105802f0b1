#include "platform/copy_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

#include "support/qstring_printer.h"
#include "support/temp_home.h"
#include "tree_helpers.h"

namespace {

class CopyTreeTest : public ::testing::Test {
  protected:
    TempHome home;
    CopyFaultFileSystem files;
    QString source = home / "Taxes";
    QString stick = home / "Stick";
    QString copy = stick + "/Taxes";

    void SetUp() override {
        buildSampleTree(source, home / "Elsewhere");
        writeFile(copy + "/only-in-old.txt", "old");  // an old copy on the stick
    }
    QStringList namesOnStick() { return displayed(files.listNames(asPath(stick), true)); }
    ReplaceOutcome replace(const QString& from, const QString& to) {
        return copyReplacing(files, asPath(from), asPath(to));
    }
};

TEST_F(CopyTreeTest, SetIdBitsStayOnlyWhenTheCopyHasTheSameOwner) {
    const QByteArray mine = QFile::encodeName(writeFile(home / "mine"));
    const QByteArray theirs = QFile::encodeName(writeFile(home / "theirs"));
    ASSERT_EQ(::chown(theirs.constData(), 4321, 4321), 0);
    ::chmod(mine.constData(), 06755);
    ::chmod(theirs.constData(), 06755);
    ASSERT_TRUE(copyTree(files, asPath(home / "mine"), asPath(stick + "/mine")).ok());
    ASSERT_TRUE(copyTree(files, asPath(home / "theirs"), asPath(stick + "/theirs")).ok());
    struct stat st;
    ::stat(QFile::encodeName(stick + "/mine").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
    ::stat(QFile::encodeName(stick + "/theirs").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(CopyTreeTest, AFailureAnywhereKeepsTheOldItemAndLeavesNothingHalfCopied) {
    const QStringList old = describeTree(copy);
    EXPECT_EQ(replace(home / "Unplugged", copy).error.code, ENOENT);
    files.failReadFolder = source + "/docs/2019";  // never passed off as an empty folder
    EXPECT_EQ(replace(source, copy).error.code, EACCES);
    files.failReadFolder.clear();
    // A folder copied into itself stops instead of copying forever.
    EXPECT_EQ(copyTree(files, asPath(source), asPath(source + "/docs/Taxes")).code, EINVAL);
    files.failCopiesAfter = 3;
    EXPECT_EQ(replace(source, copy).error.code, ENOSPC);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, WithoutAnAtomicSwapTheOldItemIsMovedAsideAndBackOnFailure) {
    files.exchangeError = EINVAL;  // as on a FAT stick
    const QStringList old = describeTree(copy);
    files.failFirstMoveTo = copy;  // the finished copy cannot be moved in
    EXPECT_EQ(replace(source, copy).error.code, EIO);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});

    ASSERT_TRUE(replace(source, copy).error.ok());
    EXPECT_EQ(describeTree(copy), describeTree(source));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, AnOldFolderHoldingAnotherFileSystemIsNotReplaced) {
    const QStringList old = describeTree(copy);
    makeFolder(copy + "/mounted");
    writeFile(copy + "/mounted/on-stick.txt", "keep me");
    files.otherFileSystems << copy + "/mounted";
    const ReplaceOutcome outcome = replace(source, copy);
    EXPECT_EQ(outcome.error.code, EXDEV);
    EXPECT_EQ(outcome.error.path, asPath(copy + "/mounted"));
    EXPECT_FALSE(outcome.copied);
    EXPECT_EQ(readFile(copy + "/mounted/on-stick.txt"), "keep me");
    EXPECT_EQ(readFile(copy + "/only-in-old.txt"), "old");
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

// The partial copies of a stopped run are told by the exact name a copy in progress gets,
// and only for the same item, however long its name.
TEST_F(CopyTreeTest, LeftoverCopiesAreOnlyTheSameItemsCopiesInProgress) {
    const QString longName = QString(118, u'\u00e9') + "-a";  // 238 bytes: too long to keep
    const QString otherLong = QString(118, u'\u00e9') + "-b";
    QStringList inProgress;
    for (const QString& name : {QStringLiteral("New"), longName, otherLong}) {
        writeFile(home / name, "x");
        files.movesMade.clear();
        ASSERT_TRUE(replace(home / name, stick + "/" + name).error.ok());
        ASSERT_EQ(files.movesMade.size(), 1);  // the finished copy moved in
        inProgress << files.movesMade[0].section(" -> ", 0, 0);
        makeFolder(inProgress.last());  // as if the run had stopped before that
    }
    EXPECT_TRUE(inProgress[0].startsWith(stick + "/.New.desktidy-partial-"));
    for (const char* name :
         {".Taxes.desktidy-partial-0123456789abcdef", ".Taxes.desktidy-partial-0123456789ABCDEF",
          ".Taxes.desktidy-partial-0123456789abcde", ".Taxes.desktidy-partial-0123456789abcdef0",
          ".Taxes.desktidy-old-0123456789abcdef", "Taxes.desktidy-partial-0123456789abcdef",
          ".Taxes2.desktidy-partial-0123456789abcdef", ".Taxes.desktidy-0123456789abcdef"})
        writeFile(stick + "/" + QString::fromUtf8(name));
    auto leftovers = [&](const QString& copyPath) {
        return displayed(leftoverCopiesOf(files, asPath(copyPath)));
    };
    EXPECT_EQ(leftovers(copy), QStringList({stick + "/.Taxes.desktidy-partial-0123456789abcdef"}));
    EXPECT_EQ(leftovers(stick + "/New"), QStringList{inProgress[0]});
    EXPECT_EQ(leftovers(stick + "/" + longName), QStringList{inProgress[1]});
    EXPECT_EQ(leftovers(stick + "/" + otherLong), QStringList{inProgress[2]});
}

// Names are bytes: a tree holding names that are not UTF-8, and the UTF-8 names they would
// read as, is copied whole, each item as itself, and its partial copies are found by them.
TEST_F(CopyTreeTest, CopiesEveryNameByItsBytes) {
    const Path from = asPath(home / "Odd"), to = asPath(stick) / "Odd";
    ASSERT_TRUE(files.makeDirectory(from).ok());
    for (const QByteArray& name : {QByteArray("\xFF"), QByteArray("\xEF\xBF\xBD"),
                                   QByteArray("d\xFE"), QByteArray("line\nbreak")}) {
        const Path item = from / name;
        if (name.startsWith('d')) {
            ASSERT_TRUE(files.makeDirectory(item).ok());
            ASSERT_EQ(::symlink("../\xFF", (item / "link\xFF").c_str()), 0);
        } else {
            const int fd = ::creat(item.c_str(), 0644);
            ASSERT_EQ(::write(fd, name.constData(), size_t(name.size())), name.size());
            ::close(fd);
        }
    }
    ASSERT_TRUE(copyReplacing(files, from, to).error.ok());
    EXPECT_EQ(describeTree(to), describeTree(from));
    EXPECT_EQ(describeTree(to).size(), 6);  // nothing merged with another name
    EXPECT_EQ(namesOnStick(), QStringList({"Odd", "Taxes"}));

    const Path odd = asPath(stick) / "r\xFF";
    const Path partial = asPath(stick) / ".r\xFF.desktidy-partial-0123456789abcdef";
    ASSERT_TRUE(files.makeDirectory(partial).ok());
    ASSERT_TRUE(
        files.makeDirectory(asPath(stick) / ".r\xFE.desktidy-partial-0123456789abcdef").ok());
    EXPECT_EQ(leftoverCopiesOf(files, odd), QList<Path>{partial});
}

}  // namespace
