#include "names/name_change_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <cstring>

#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "support/tree_listing.h"

namespace {

const QString done = "The file and/or folder names have been changed.";
QString taken(const QString& name) {
    return "There is already a file in this folder with the name " + name;
}

QStringList logLines;

// A folder to rename in, a scripted prompter, and the log lines the run writes.
class NameChangeTest : public ::testing::Test {
  protected:
    TempHome home;
    QString folder = home / "work";
    LocalFileSystem localFiles;
    FileSystem* files = &localFiles;
    NameChangeOptions options;

    void SetUp() override {
        makeFolder(folder);
        logLines.clear();
        qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& line) { logLines << line; });
    }
    void TearDown() override { qInstallMessageHandler(nullptr); }

    // Each file holds its own first name, so a test can tell that none was replaced.
    void add(const QStringList& names) {
        for (const QString& name : names) writeFile(at(name), name.toUtf8());
    }
    QString at(const QString& name) const { return folder + u'/' + name; }
    RunResult run() {
        NameChangeRun names(*files, asPath(folder));
        const RunResult result = names.execute(planNameChange(*files, asPath(folder), options));
        shown += names.notices();
        return result;
    }
    QStringList names() const {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    QStringList notices() const { return shown; }
    QStringList shown;  // the notices of the runs so far
};

TEST_F(NameChangeTest, WorkedExamples) {
    add({".DS_Store", "beach notes.txt", "Beach Photo.JPG"});
    makeFolder(at("Old Trips"));
    options = {.replaceCheck = true,
               .replace1TextField = "beach",
               .replace2TextField = "Sea",
               .ignoreCaseCheck = true,
               .prefixStringCheck = true,
               .prefixTextField = "Trip-",
               .prefixNumber2Check = true,
               .removeSpacesCheck = true,
               .caseCheck = true,
               .lowerCase = true};
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(),
              QStringList({".DS_Store", "Old Trips", "trip-0seanotes.txt", "trip-1seaphoto.jpg"}));
    EXPECT_EQ(notices(), QStringList{done});

    QDir(folder).removeRecursively();
    makeFolder(folder);
    add({"IMG_0042.jpg"});
    makeFolder(at("Scans"));
    options = {.suffixNumberCheck = true,
               .suffixStringCheck = true,
               .suffixTextField = "-x",
               .removeNumbersCheck = true,
               .foldersToo = true};
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"IMG_.jpg-x", "Scans-x"}));
    EXPECT_EQ(logLines, QStringList({"Paths = " + at("IMG_0042.jpg0-x") + ", " + at("IMG_.jpg-x"),
                                     "Paths = " + at("Scans1-x") + ", " + at("Scans-x")}));

    // Only U+0020 spaces and the ASCII digits go: a tab, a no-break space and
    // Arabic-Indic digits stay.
    QDir(folder).removeRecursively();
    makeFolder(folder);
    add({"a b\tc 1", QString::fromUtf8("d\u00a0e\u0663")});
    options = {.removeSpacesCheck = true, .removeNumbersCheck = true};
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"ab\tc", QString::fromUtf8("d\u00a0e\u0663")}));
}

TEST_F(NameChangeTest, NoRuleRenamesNothing) {
    add({"a b1.txt"});
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(notices(), QStringList({done}));
    EXPECT_EQ(names(), QStringList({"a b1.txt"}));
}

TEST_F(NameChangeTest, RunningNumbersFollowTheListingOfVisibleFilesFromZero) {
    // "abcdZ" and "abcda" tie in their first four letters, and the capital lies among the
    // first eight bytes, which are looked at together.
    add({"a", "B", "b", "c", "d", "e", "f", "g", "h", "abcdZ.txt", "abcda.txt", ".hidden"});
    makeFolder(at("Aa"));  // first in the listing when folders count
    QFile::link(at("Aa"), at("link"));
    options.prefixNumberCheck = true;

    EXPECT_EQ(run(), RunResult::Done);
    // Letter case ignored first ("B" beside "b"), then code point; a link to a folder counts.
    EXPECT_EQ(names(), QStringList({".hidden", "0a", "10h", "11link", "1abcda.txt", "2abcdZ.txt",
                                    "3B", "4b", "5c", "6d", "7e", "8f", "9g", "Aa"}));
}

// The rules work on text: a name that is not UTF-8 has none, keeps its bytes, and the
// closing notice lists it once, its odd bytes shown as such.
TEST_F(NameChangeTest, ANameThatIsNotUtf8IsLeftAsItIsAndListed) {
    add({"b c.txt", "\uFFFD.txt"});
    for (const char* name : {"a \xFF.txt", "z\xC3"})
        ASSERT_EQ(::close(::creat((asPath(folder) / name).c_str(), 0644)), 0);
    options = {.prefixNumberCheck = true, .removeSpacesCheck = true};
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(displayed(localFiles.listNames(asPath(folder), true)),
              QStringList({"0bc.txt", "1\uFFFD.txt", "a \\xFF.txt", "z\\xC3"}));
    EXPECT_EQ(notices(), QStringList{done + "\n\nThese names are not valid text, so no rule "
                                            "applied to them; they were left as they are:\n"
                                            "a \\xFF.txt\nz\\xC3"});
}

TEST_F(NameChangeTest, BadTextsEndTheRunAtTheirPass) {
    add({"a:b c"});
    const QString slash = "The slash character (/) is not allowed in filenames.";
    const QString colon = "The colon character (:) is not allowed in filenames.";
    const struct {
        NameChangeOptions rules;
        QString alert, nameAfter;
    } cases[] = {
        {{.replaceCheck = true},
         "The box is checked to replace a string, but no string has been specified to be "
         "replaced.",
         "a:b c"},
        {{.replaceCheck = true, .replace1TextField = "a", .replace2TextField = "x:"},
         colon,
         "a:b c"},
        {{.prefixStringCheck = true, .prefixTextField = "../"}, slash, "a:b c"},
        // The replace pass before the prefix pass stays done ("/" in the text to find
        // stands for the ":" kept in names).
        {{.replaceCheck = true,
          .replace1TextField = "/",
          .replace2TextField = "-",
          .prefixStringCheck = true,
          .prefixTextField = "x:"},
         colon,
         "a-b c"},
    };
    for (const auto& [rules, alert, nameAfter] : cases) {
        options = rules;
        options.removeSpacesCheck = true;
        shown.clear();
        EXPECT_EQ(run(), RunResult::Failed);
        EXPECT_EQ(notices(), QStringList{alert});
        EXPECT_EQ(names(), QStringList{nameAfter});
    }
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList());
}

TEST_F(NameChangeTest, EmptyHiddenAndTakenNames) {
    add({"2010.txt", "a b"});
    options = {.removeNumbersCheck = true};
    EXPECT_EQ(run(), RunResult::Failed);  // ".txt" would hide the file
    options = {.replaceCheck = true, .replace1TextField = "2010.txt"};
    EXPECT_EQ(run(), RunResult::Failed);
    // An empty prefix text gives every item its own name: each is taken, the run goes on.
    options = {.prefixStringCheck = true, .removeSpacesCheck = true};
    EXPECT_EQ(run(), RunResult::Done);
    // The same in the suffix pass ends the run at the first item.
    options = {.suffixStringCheck = true, .removeSpacesCheck = true};
    EXPECT_EQ(run(), RunResult::Failed);

    EXPECT_EQ(notices(), QStringList({"File name cannot begin with a period (.) character.",
                                      "File name cannot be empty.", taken("2010.txt"), taken("a b"),
                                      done, taken("2010.txt")}));
    EXPECT_EQ(names(), QStringList({"2010.txt", "ab"}));
}

TEST_F(NameChangeTest, AFailedMoveShowsTheErrorAndEndsTheRunReplacingNothing) {
    add({"a1.txt", "a2.txt", "b 1"});
    options = {.removeNumbersCheck = true, .caseCheck = true};
    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(names(), QStringList({"a.txt", "a2.txt", "b 1"}));
    EXPECT_EQ(readFile(at("a.txt")), "a1.txt");
    EXPECT_EQ(notices(), QStringList({QString::fromUtf8("Could not move \u201ca2.txt\u201d: ") +
                                      QString::fromLocal8Bit(std::strerror(EEXIST)) + "."}));
}

// "1a1" and "a" end with each other's names (the run then stops at a taken name): one
// steps aside to a hidden name no item has, and every file keeps its contents. A stop
// asked for while it is aside waits until it has its new name.
TEST_F(NameChangeTest, ItemsThatSwapNamesGoByWayOfAFreeHiddenName) {
    add({"1a1", "a", ".desktidy-rename-0"});
    options = {.prefixNumber2Check = true, .suffixNumber2Check = true, .removeNumbersCheck = true};
    EXPECT_EQ(run(), RunResult::Failed);
    const QStringList swapped{".desktidy-rename-0 f .desktidy-rename-0", "1a1 f a", "a f 1a1"};
    EXPECT_EQ(describeTree(asPath(folder)), swapped);

    RecordingObserver stopAtFirst;
    stopAtFirst.stopAfter = 1;
    ASSERT_TRUE(QDir(folder).removeRecursively());
    add({"1a1", "a", ".desktidy-rename-0"});
    NameChangeRun stopped(*files, asPath(folder), stopAtFirst);
    // Every step was made.
    EXPECT_EQ(stopped.execute(planNameChange(*files, asPath(folder), options)), RunResult::Failed);
    EXPECT_EQ(describeTree(asPath(folder)), swapped);
}

// A case-sensitive folder made to act like one that ignores letter case (FAT, casefolded
// ext4): a name finds the item whose name differs only in case, and a move onto such a
// name is refused, even onto the item itself.
class CaseInsensitiveFileSystem : public LocalFileSystem {
  public:
    QSet<Path> failMoveTo;
    std::optional<FileStatus> status(const Path& path) override {
        return LocalFileSystem::status(actualPath(path));
    }
    FileError moveNoReplace(const Path& from, const Path& to) override {
        if (failMoveTo.contains(to) || LocalFileSystem::status(actualPath(to)))
            return FileError::fromErrno(EEXIST, from, "move");
        return LocalFileSystem::moveNoReplace(from, to);
    }

  private:
    Path actualPath(const Path& path) {
        const Path folder = path.parent();
        const NameList names = listNames(folder, true);
        for (std::size_t i = 0; i < names.size(); ++i)
            if (QString::fromUtf8(names.at(i))
                    .compare(QString::fromUtf8(path.fileName()), Qt::CaseInsensitive) == 0)
                return folder / names.name(i);
        return path;
    }
};

TEST_F(NameChangeTest, CaseChangeWorksWhereTheFileSystemIgnoresCase) {
    CaseInsensitiveFileSystem insensitive;
    files = &insensitive;
    insensitive.failMoveTo.insert(asPath(at("notes")));
    add({"Photo.JPG", "Notes"});
    makeFolder(at("Scans"));
    options = {.caseCheck = true, .lowerCase = true, .foldersToo = true};
    EXPECT_EQ(run(), RunResult::Done);
    // The refused one keeps its name and is only logged, as a failed mv would be.
    EXPECT_EQ(names(), QStringList({"Notes", "photo.jpg", "scans"}));
    EXPECT_EQ(readFile(at("photo.jpg")), "Photo.JPG");
    EXPECT_EQ(notices(), QStringList({done}));
    ASSERT_EQ(logLines.size(), 1);
    EXPECT_TRUE(logLines.first().contains("Notes"));
}

}  // namespace
