#include "names/name_change_fixture.h"

namespace {

// A case-sensitive folder made to behave like a file system that ignores letter case
// (FAT, or a casefolded ext4 folder): a name finds any item whose name differs only in
// case, and a move onto such a name is refused, even onto the item itself.
class CaseInsensitiveFileSystem : public LocalFileSystem {
  public:
    QSet<QString> failMoveTo;

    std::optional<FileStatus> status(const QString& path) override {
        return LocalFileSystem::status(actualPath(path));
    }
    FileError moveNoReplace(const QString& from, const QString& to) override {
        if (failMoveTo.contains(to) || LocalFileSystem::status(actualPath(to)))
            return FileError::fromErrno(EEXIST, from, "move");
        return LocalFileSystem::moveNoReplace(from, to);
    }

  private:
    QString actualPath(const QString& path) {
        const QString folder = deletingLastPathComponent(path);
        const QString folded = lastPathComponent(path).toCaseFolded();
        for (const QString& name : listNames(folder, true))
            if (name.toCaseFolded() == folded) return joinPath(folder, name);
        return path;
    }
};

class CaseChangeTest : public NameChangeTest {
  protected:
    void SetUp() override {
        NameChangeTest::SetUp();
        options.caseCheck = true;
        options.upperLower = 1;
    }
};

TEST_F(CaseChangeTest, RenamesOnlyNamesNotYetInTheChosenCase) {
    addFiles({"Photo.JPG", "done.txt", "Zed"});
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"done.txt", "photo.jpg", "zed"}));
    EXPECT_EQ(notices(), QStringList({doneMessage}));
}

TEST_F(CaseChangeTest, ANameOfAnotherItemIsTakenAndTheRunGoesOn) {
    addFiles({"README", "readme", "AB", "Ab", "DOCS", "Zed"});
    makeFolder(pathOf("docs"));  // not listed: files only

    EXPECT_EQ(run(), RunResult::Done);

    // AB took "ab" first; Ab then found it taken, as README and DOCS found theirs.
    EXPECT_EQ(names(), QStringList({"Ab", "DOCS", "README", "ab", "docs", "readme", "zed"}));
    EXPECT_EQ(notices(), QStringList({takenNotice("ab"), takenNotice("docs"), takenNotice("readme"),
                                      doneMessage}));
    EXPECT_EQ(readFile(pathOf("readme")), "readme");
    EXPECT_EQ(readFile(pathOf("ab")), "AB");
}

TEST_F(CaseChangeTest, WorksWhereTheFileSystemIgnoresCase) {
    CaseInsensitiveFileSystem insensitive;
    files = &insensitive;
    addFiles({"Photo.JPG", "Notes"});
    makeFolder(pathOf("Scans"));
    options.filesFolders = 1;

    EXPECT_EQ(run(), RunResult::Done);

    EXPECT_EQ(names(), QStringList({"notes", "photo.jpg", "scans"}));
    EXPECT_EQ(readFile(pathOf("photo.jpg")), "Photo.JPG");
    EXPECT_EQ(notices(), QStringList({doneMessage}));
}

TEST_F(CaseChangeTest, AFailedCaseChangeKeepsTheItemAndIsOnlyLogged) {
    CaseInsensitiveFileSystem insensitive;
    files = &insensitive;
    insensitive.failMoveTo.insert(pathOf("photo.jpg"));
    addFiles({"Photo.JPG", "Zed"});

    EXPECT_EQ(run(), RunResult::Done);

    EXPECT_EQ(names(), QStringList({"Photo.JPG", "zed"}));
    EXPECT_EQ(notices(), QStringList({doneMessage}));
    ASSERT_EQ(logLines.size(), 1);
    EXPECT_TRUE(logLines.first().contains("Photo.JPG"));
}

}  // namespace
