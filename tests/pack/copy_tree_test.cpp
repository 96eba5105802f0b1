#include "platform/copy_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

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
    QStringList namesOnStick() { return files.listNames(stick, true); }
};

TEST_F(CopyTreeTest, ReplacesWholeKeepingContentsTimesPermissionsAndLinks) {
    ASSERT_FALSE(copyReplacing(files, source, copy).error);
    EXPECT_EQ(describeTree(copy), describeTree(source));
    EXPECT_FALSE(QFile::exists(copy + "/not-to-copy.txt"));  // the outside link not followed
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, SetIdBitsStayOnlyWhenTheCopyHasTheSameOwner) {
    const QByteArray mine = QFile::encodeName(writeFile(home / "mine"));
    const QByteArray theirs = QFile::encodeName(writeFile(home / "theirs"));
    ASSERT_EQ(::chown(theirs.constData(), 4321, 4321), 0);
    ::chmod(mine.constData(), 06755);
    ::chmod(theirs.constData(), 06755);
    ASSERT_FALSE(copyTree(files, home / "mine", stick + "/mine"));
    ASSERT_FALSE(copyTree(files, home / "theirs", stick + "/theirs"));
    struct stat st;
    ::stat(QFile::encodeName(stick + "/mine").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
    ::stat(QFile::encodeName(stick + "/theirs").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(CopyTreeTest, AFailureAnywhereKeepsTheOldItemAndLeavesNothingHalfCopied) {
    const QStringList old = describeTree(copy);
    EXPECT_EQ(copyReplacing(files, home / "Unplugged", copy).error.code, ENOENT);
    files.failReadFolder = source + "/docs/2019";  // never passed off as an empty folder
    EXPECT_EQ(copyReplacing(files, source, copy).error.code, EACCES);
    files.failReadFolder.clear();
    // A folder copied into itself stops instead of copying forever.
    EXPECT_EQ(copyTree(files, source, source + "/docs/Taxes").code, EINVAL);
    files.failCopiesAfter = 3;
    EXPECT_EQ(copyReplacing(files, source, copy).error.code, ENOSPC);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, WithoutAnAtomicSwapTheOldItemIsMovedAsideAndBackOnFailure) {
    files.exchangeError = EINVAL;  // as on a FAT stick
    const QStringList old = describeTree(copy);
    files.failFirstMoveTo = copy;  // the finished copy cannot be moved in
    EXPECT_EQ(copyReplacing(files, source, copy).error.code, EIO);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});

    ASSERT_FALSE(copyReplacing(files, source, copy).error);
    EXPECT_EQ(describeTree(copy), describeTree(source));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, AnOldFolderHoldingAnotherFileSystemIsNotReplaced) {
    const QStringList old = describeTree(copy);
    makeFolder(copy + "/mounted");
    writeFile(copy + "/mounted/on-stick.txt", "keep me");
    files.otherFileSystems << copy + "/mounted";
    const ReplaceOutcome outcome = copyReplacing(files, source, copy);
    EXPECT_EQ(outcome.error.code, EXDEV);
    EXPECT_EQ(outcome.error.path, copy + "/mounted");
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
        ASSERT_FALSE(copyReplacing(files, home / name, stick + "/" + name).error);
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
    EXPECT_EQ(leftoverCopiesOf(files, copy),
              QStringList({stick + "/.Taxes.desktidy-partial-0123456789abcdef"}));
    EXPECT_EQ(leftoverCopiesOf(files, stick + "/New"), QStringList{inProgress[0]});
    EXPECT_EQ(leftoverCopiesOf(files, stick + "/" + longName), QStringList{inProgress[1]});
    EXPECT_EQ(leftoverCopiesOf(files, stick + "/" + otherLong), QStringList{inProgress[2]});
}

}  // namespace
