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

    void SetUp() override {
        buildSampleTree(source, home / "Elsewhere");
        makeFolder(stick);
    }
    QStringList namesOnStick() { return files.listNames(stick, true); }
    // An old copy on the stick with a file that the new copy does not have.
    void putOldCopyOnStick() { writeFile(stick + "/Taxes/only-in-old.txt", "old"); }
};

TEST_F(CopyTreeTest, KeepsContentsTimesPermissionsAndLinksOfAWholeFolder) {
    ASSERT_FALSE(copyTree(files, source, stick + "/Taxes"));
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(source));
    // The link to a folder outside stays a link: nothing of that folder is copied.
    EXPECT_FALSE(QFile::exists(stick + "/Taxes/not-to-copy.txt"));
}

TEST_F(CopyTreeTest, CopiesASingleFileOrLinkAsItIs) {
    ASSERT_FALSE(copyTree(files, source + "/script.sh", stick + "/script.sh"));
    ASSERT_FALSE(copyTree(files, source + "/outside", stick + "/outside"));
    EXPECT_EQ(describeTree(stick + "/script.sh"), describeTree(source + "/script.sh"));
    EXPECT_EQ(describeTree(stick + "/outside"), describeTree(source + "/outside"));
}

TEST_F(CopyTreeTest, SetIdBitsStayOnlyWhenTheCopyHasTheSameOwner) {
    const QString mine = writeFile(home / "mine", "x"), theirs = writeFile(home / "theirs", "x");
    ::chmod(QFile::encodeName(mine).constData(), 06755);
    ASSERT_EQ(::chown(QFile::encodeName(theirs).constData(), 4321, 4321), 0);
    ::chmod(QFile::encodeName(theirs).constData(), 06755);
    ASSERT_FALSE(copyTree(files, mine, stick + "/mine"));
    ASSERT_FALSE(copyTree(files, theirs, stick + "/theirs"));
    struct stat st;
    ::stat(QFile::encodeName(stick + "/mine").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 06755u);
    ::stat(QFile::encodeName(stick + "/theirs").constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
}

TEST_F(CopyTreeTest, ReportsWhatCannotBeCopied) {
    FileError missing = copyTree(files, home / "Unplugged/Taxes", stick + "/Taxes");
    EXPECT_EQ(missing.code, ENOENT);
    EXPECT_TRUE(missing.message.contains("Taxes")) << missing.message.toStdString();

    // An unreadable folder is an error, never an empty copy.
    files.failReadFolder.insert(source + "/docs/2019", EACCES);
    EXPECT_EQ(copyTree(files, source, stick + "/Taxes").code, EACCES);

    // A copy made inside its own source stops instead of copying itself forever.
    files.failReadFolder.clear();
    EXPECT_EQ(copyTree(files, source, source + "/docs/Taxes").code, EINVAL);
}

TEST_F(CopyTreeTest, ReplacesAnExistingFolderWholeAndLeavesNoTemporaryName) {
    putOldCopyOnStick();
    ASSERT_FALSE(copyReplacing(files, source, stick + "/Taxes"));
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(source));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, AFailureHalfWayKeepsTheOldItemAndLeavesNothingHalfCopied) {
    putOldCopyOnStick();
    const QStringList old = describeTree(stick + "/Taxes");
    files.failCopiesAfter = 3;
    const FileError failed = copyReplacing(files, source, stick + "/Taxes");
    EXPECT_EQ(failed.code, ENOSPC);
    EXPECT_EQ(describeTree(stick + "/Taxes"), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});

    // With nothing there before, nothing is there after.
    files.copies = 0;
    EXPECT_TRUE(copyReplacing(files, source, stick + "/Taxes 2"));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, WithoutAnAtomicSwapTheOldItemIsMovedAsideAndBackOnFailure) {
    files.exchangeError = EINVAL;  // as on a FAT stick
    putOldCopyOnStick();
    const QStringList old = describeTree(stick + "/Taxes");
    files.failFirstMoveTo = stick + "/Taxes";  // the copy cannot be moved in
    EXPECT_EQ(copyReplacing(files, source, stick + "/Taxes").code, EIO);
    EXPECT_EQ(describeTree(stick + "/Taxes"), old);
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});

    ASSERT_FALSE(copyReplacing(files, source, stick + "/Taxes"));
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(source));
    EXPECT_EQ(namesOnStick(), QStringList{"Taxes"});
}

TEST_F(CopyTreeTest, AnOldItemThatCannotBeRemovedIsReportedWithWhereItIs) {
    putOldCopyOnStick();
    // After the swap the old item carries the temporary name; fail removing whatever that is.
    class : public CopyFaultFileSystem {
    public:
        FileError removeAll(const QString& path) override {
            if (path.contains(".desktidy-")) return FileError::fromErrno(EBUSY, path, "remove");
            return CopyFaultFileSystem::removeAll(path);
        }
    } stubborn;
    const FileError left = copyReplacing(stubborn, source, stick + "/Taxes");
    EXPECT_EQ(left.code, EBUSY);
    EXPECT_TRUE(left.message.contains(left.path)) << left.message.toStdString();
    EXPECT_EQ(describeTree(stick + "/Taxes"), describeTree(source));
    EXPECT_TRUE(QFile::exists(left.path + "/only-in-old.txt"));
}

}  // namespace
