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
    ASSERT_FALSE(copyReplacing(files, source, copy));
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
    EXPECT_EQ(copyReplacing(files, home / "Unplugged", copy).code, ENOENT);
    files.failReadFolder = source + "/docs/2019";  // never passed off as an empty folder
    EXPECT_EQ(copyReplacing(files, source, copy).code, EACCES);
    files.failReadFolder.clear();
    // A folder copied into itself stops instead of copying forever.
    EXPECT_EQ(copyTree(files, source, source + "/docs/Taxes").code, EINVAL);
    files.failCopiesAfter = 3;
    EXPECT_EQ(copyReplacing(files, source, copy).code, ENOSPC);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, WithoutAnAtomicSwapTheOldItemIsMovedAsideAndBackOnFailure) {
    files.exchangeError = EINVAL;  // as on a FAT stick
    const QStringList old = describeTree(copy);
    files.failFirstMoveTo = copy;  // the finished copy cannot be moved in
    EXPECT_EQ(copyReplacing(files, source, copy).code, EIO);
    EXPECT_EQ(describeTree(copy), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});

    ASSERT_FALSE(copyReplacing(files, source, copy));
    EXPECT_EQ(describeTree(copy), describeTree(source));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

}  // namespace
