#include "names/name_change_fixture.h"
#include "support/faulty_file_system.h"

namespace {

TEST_F(NameChangeTest, WorkedExampleOneGivesTheNamesShown) {
    addFiles({".DS_Store", "beach notes.txt", "Beach Photo.JPG"});
    makeFolder(pathOf("Old Trips"));
    options.replaceCheck = true;
    options.replace1TextField = "beach";
    options.replace2TextField = "Sea";
    options.ignoreCaseCheck = true;
    options.prefixStringCheck = true;
    options.prefixTextField = "Trip-";
    options.prefixNumber2Check = true;
    options.removeSpacesCheck = true;
    options.caseCheck = true;
    options.upperLower = 1;

    EXPECT_EQ(run(), RunResult::Done);

    EXPECT_EQ(names(),
              QStringList({".DS_Store", "Old Trips", "trip-0seanotes.txt", "trip-1seaphoto.jpg"}));
    EXPECT_EQ(readFile(pathOf("trip-1seaphoto.jpg")), "Beach Photo.JPG");
    EXPECT_EQ(prompter.calls,
              QStringList({"confirm|Change Names|Do you want to change the names of all of the "
                           "files and/or folders in " +
                               folder + "?|OK",
                           "notice|" + doneMessage}));
    EXPECT_EQ(state.replace1String, "beach");
    EXPECT_EQ(state.upperLowerState, 1);
}

TEST_F(NameChangeTest, WorkedExampleTwoLogsEachDigitRemoval) {
    addFiles({"IMG_0042.jpg"});
    makeFolder(pathOf("Scans"));
    options.suffixNumberCheck = true;
    options.suffixStringCheck = true;
    options.suffixTextField = "-x";
    options.removeNumbersCheck = true;
    options.filesFolders = 1;

    EXPECT_EQ(run(), RunResult::Done);

    EXPECT_EQ(names(), QStringList({"IMG_.jpg-x", "Scans-x"}));
    EXPECT_EQ(logLines,
              QStringList({"Paths = " + pathOf("IMG_0042.jpg0-x") + ", " + pathOf("IMG_.jpg-x"),
                           "Paths = " + pathOf("Scans1-x") + ", " + pathOf("Scans-x")}));
}

TEST_F(NameChangeTest, WithNoRuleOnTheRunOnlyAsksAndReports) {
    addFiles({"a b1.txt"});
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"a b1.txt"}));
    EXPECT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(notices(), QStringList({doneMessage}));
}

TEST_F(NameChangeTest, CancelCopiesNothingAndRenamesNothing) {
    addFiles({"a.txt"});
    prompter.confirmAnswers = {false};
    options.replaceCheck = true;
    options.replace1TextField = "a";
    EXPECT_EQ(run(), RunResult::Cancelled);
    EXPECT_EQ(names(), QStringList({"a.txt"}));
    EXPECT_EQ(state.replaceState, 0);
    EXPECT_TRUE(notices().isEmpty());
}

TEST_F(NameChangeTest, RunningNumbersCountListedFilesOnlyFromZero) {
    addFiles({"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ".hidden"});
    makeFolder(pathOf("Aa"));  // first in the listing when folders count
    options.prefixNumberCheck = true;

    EXPECT_EQ(run(), RunResult::Done);

    EXPECT_EQ(names(), QStringList({".hidden", "0a", "10k", "1b", "2c", "3d", "4e", "5f", "6g",
                                    "7h", "8i", "9j", "Aa"}));
}

TEST_F(NameChangeTest, ListingIgnoresLetterCaseThenOrdersByCodePoint) {
    addFiles({"b", "B", "a", "C"});
    options.suffixNumber2Check = true;  // alone, the same as the first suffix number
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"B1", "C3", "a0", "b2"}));
}

TEST_F(NameChangeTest, FoldersAreRenamedAndLinksToFoldersAlways) {
    addFiles({"file"});
    makeFolder(pathOf("dir"));
    QFile::link(pathOf("dir"), pathOf("link"));
    options.suffixStringCheck = true;
    options.suffixTextField = "_old";

    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"dir", "file_old", "link_old"}));

    options.filesFolders = 1;
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"dir_old", "file_old_old", "link_old_old"}));
}

TEST_F(NameChangeTest, TextToFindWithASlashMatchesTheColonStoredInNames) {
    addFiles({"a:b", "plain"});
    options.replaceCheck = true;
    options.replace1TextField = "/";
    options.replace2TextField = "-";
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(names(), QStringList({"a-b", "plain"}));
}

TEST_F(NameChangeTest, ReplaceRefusesAnEmptyTextToFindOrAColonBeforeAnyRename) {
    addFiles({"a b"});
    options.removeSpacesCheck = true;
    options.replaceCheck = true;

    EXPECT_EQ(run(), RunResult::Failed);
    options.replace1TextField = "a";
    options.replace2TextField = "x:y";
    EXPECT_EQ(run(), RunResult::Failed);

    EXPECT_EQ(notices(), QStringList({"The box is checked to replace a string, but no string has "
                                      "been specified to be replaced.",
                                      "The colon character (:) is not allowed in filenames."}));
    EXPECT_EQ(names(), QStringList({"a b"}));
}

TEST_F(NameChangeTest, ASlashInAnyNewTextIsRefusedBeforeAnyRename) {
    addFiles({"a b"});
    options.removeSpacesCheck = true;
    options.replace1TextField = "a";
    for (int which = 0; which < 3; ++which) {
        options.replaceCheck = which == 0;
        options.replace2TextField = "../x";
        options.prefixStringCheck = which == 1;
        options.prefixTextField = "../";
        options.suffixStringCheck = which == 2;
        options.suffixTextField = "/x";
        EXPECT_EQ(run(), RunResult::Failed) << which;
    }
    EXPECT_EQ(notices(), QStringList(3, "The slash character (/) is not allowed in filenames."));
    EXPECT_EQ(names(), QStringList({"a b"}));
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files), QStringList());
}

TEST_F(NameChangeTest, AColonInThePrefixEndsTheRunAfterEarlierPasses) {
    addFiles({"a.txt"});
    options.replaceCheck = true;
    options.replace1TextField = "a";
    options.replace2TextField = "b";
    options.prefixStringCheck = true;
    options.prefixTextField = "x:";

    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(names(), QStringList({"b.txt"}));
    EXPECT_EQ(notices(), QStringList({"The colon character (:) is not allowed in filenames."}));
}

TEST_F(NameChangeTest, ANewNameThatIsEmptyOrHiddenEndsTheRun) {
    addFiles({"2010.txt", "b1"});
    options.removeNumbersCheck = true;
    options.caseCheck = true;
    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(names(), QStringList({"2010.txt", "b1"}));

    options = NameChangeOptions();
    options.replaceCheck = true;
    options.replace1TextField = "2010.txt";
    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(names(), QStringList({"2010.txt", "b1"}));

    EXPECT_EQ(notices(), QStringList({"File name cannot begin with a period (.) character.",
                                      "File name cannot be empty."}));
}

TEST_F(NameChangeTest, ATakenNameSkipsTheItemInThePrefixPassButEndsTheSuffixPass) {
    addFiles({"a b", "c"});
    options.prefixStringCheck = true;  // an empty text: every new name is the old one
    options.removeSpacesCheck = true;
    EXPECT_EQ(run(), RunResult::Done);
    EXPECT_EQ(notices(), QStringList({takenNotice("a b"), takenNotice("c"), doneMessage}));
    EXPECT_EQ(names(), QStringList({"ab", "c"}));

    prompter.calls.clear();
    options = NameChangeOptions();
    options.suffixStringCheck = true;
    options.removeNumbersCheck = true;
    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(notices(), QStringList({takenNotice("ab")}));
}

TEST_F(NameChangeTest, AFailedMoveShowsTheErrorEndsTheRunAndReplacesNothing) {
    addFiles({"a1.txt", "a2.txt", "b 1"});
    options.removeNumbersCheck = true;
    options.caseCheck = true;

    EXPECT_EQ(run(), RunResult::Failed);

    // a1.txt became a.txt; a2.txt could not take that name and kept its own.
    EXPECT_EQ(names(), QStringList({"a.txt", "a2.txt", "b 1"}));
    EXPECT_EQ(readFile(pathOf("a.txt")), "a1.txt");
    EXPECT_EQ(notices(), QStringList({QString::fromUtf8("Could not move \u201ca2.txt\u201d: ") +
                                      QString::fromLocal8Bit(std::strerror(EEXIST)) + "."}));
}

TEST_F(NameChangeTest, AMoveRefusedByTheFileSystemEndsTheRun) {
    FaultyFileSystem faulty;
    files = &faulty;
    faulty.failMoveTo.insert(pathOf("x-b"), 28 /* ENOSPC */);
    addFiles({"a", "b", "c"});
    options.prefixStringCheck = true;
    options.prefixTextField = "x-";

    EXPECT_EQ(run(), RunResult::Failed);
    EXPECT_EQ(names(), QStringList({"b", "c", "x-a"}));
    ASSERT_EQ(notices().size(), 1);
    EXPECT_TRUE(notices().first().contains(QString::fromLocal8Bit(std::strerror(28))));
}

}  // namespace
