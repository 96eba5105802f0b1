#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <cerrno>

#include "app/plan_details.h"
#include "controller_fixture.h"
#include "platform/recent_folders.h"
#include "support/qstring_printer.h"

namespace {

class FilingControllerTest : public ::testing::Test, public ControllerFixture {
  protected:
    QString stored(const QString& key) { return c().store().value(key).toString(); }
    QStringList recentFolders() {
        return displayed(RecentFolders(RecentFolders::defaultFilePath(home.path())).folders());
    }
    // A folder holding an image, a text and an image from long ago.
    QString looseFolder(const QString& name) {
        writeFile(home / name + "/photo.jpg", "p");
        writeFile(home / name + "/notes.txt", "n");
        writeFile(home / name + "/old.jpg", "o");
        const timespec longAgo[2] = {{1000, 0}, {1000, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(home / name + "/old.jpg").constData(), longAgo, 0);
        return home / name;
    }
};

TEST_F(FilingControllerTest, CancelChangesNothingThenFilingArchivesFilesAndSavesTheFolder) {
    const QString folder = looseFolder("x%@y %1");
    writeFile(folder + "/odd\x01.xyz", "s");
    c().draft().archiveDate.year = "2020";  // not saved yet: the run archives by it all the same
    c().draft().workingFolder = folder;
    prompter.calls.clear();
    prompter.confirmAnswers = {false};
    EXPECT_EQ(c().fileFolder(c().workingFolder()), RunResult::Cancelled);
    EXPECT_EQ(prompter.calls,
              QStringList{"confirm|File these files?|Desktidy will file all of the files located "
                          "in " +
                          folder +
                          " into the appropriate folders.  You can always undo "
                          "this by choosing Undesktidy... from the File menu.|OK"});
    // Its details: the count per folder, then each item, as the run then makes them.
    EXPECT_EQ(prompter.details,
              QStringList{"Archive/Images: 1\nImages: 1\nWords: 1\nStaying where they are: 1\n\n"
                          "old.jpg -> Archive/Images/old.jpg\nphoto.jpg -> Images/photo.jpg\n"
                          "notes.txt -> Words/notes.txt\nodd\\x01.xyz  [stays: no matching type]"});
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries, QDir::Name),
              (QStringList{"notes.txt", "odd\x01.xyz", "old.jpg", "photo.jpg"}));
    EXPECT_EQ(stored("pathString"), home.desktop());
    EXPECT_TRUE(recentFolders().isEmpty());

    prompter.calls.clear();
    EXPECT_EQ(c().fileFolder(c().workingFolder()), RunResult::Done);
    EXPECT_EQ(readFile(folder + "/Archive/Images/old.jpg"), "o");
    EXPECT_EQ(readFile(folder + "/Images/photo.jpg"), "p");
    EXPECT_EQ(readFile(folder + "/Words/notes.txt"), "n");
    EXPECT_EQ(frontEnd.seen.calls,
              (QStringList{"pass|Archiving...|1", "item|1/1|old.jpg", "end", "pass|Filing...|2",
                           "item|1/2|photo.jpg", "item|2/2|notes.txt", "end"}));
    ASSERT_EQ(frontEnd.ends.size(), 1);  // the declined run had no end to tell
    EXPECT_EQ(resultLine(frontEnd.ends[0].report),
              "Filed 3 items into 3 folders. 1 stayed: 1 with no matching type.");
    EXPECT_EQ(stored("pathString"), folder);
    EXPECT_EQ(recentFolders(), QStringList{folder});
    EXPECT_EQ(c().shownCategoryRow(), 8);  // the last category, as a run leaves it
}

// A large folder's details count every item but list only the first thousand.
TEST(PlanDetails, CountEveryItemAndListTheFirstThousand) {
    RunPlan plan;
    for (int i = 0; i < shownItems + 2; ++i) {
        const QByteArray name = QByteArray::number(i) + ".jpg";
        const Refusal refusal = i == shownItems + 1 ? Refusal::NameTaken : Refusal::None;
        plan.steps.push_back({Path("/d") / name, Path("/d/Images") / name, refusal});
    }
    const QStringList lines = planDetails(plan, Path("/d")).split('\n');
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"Images: 1001", "Staying where they are: 1", "",
                                            "0.jpg -> Images/0.jpg"}));
    EXPECT_EQ(lines.size(), 3 + shownItems + 1);
    EXPECT_EQ(lines.last(), "and 2 more.");
}

TEST_F(FilingControllerTest, AMissingFolderIsRefusedAndFailedMovesMakeTheRunFail) {
    const QString missing = home / "no such folder";
    c().draft().workingFolder = missing;
    prompter.calls.clear();
    EXPECT_EQ(c().fileFolder(c().workingFolder()), RunResult::Failed);
    EXPECT_EQ(c().unfileFolder(c().workingFolder()), RunResult::Failed);
    const QString refusal = "critical|The folder " + missing + " does not exist.";
    EXPECT_EQ(prompter.calls, (QStringList{refusal, refusal}));
    EXPECT_EQ(stored("pathString"), home.desktop());  // not kept as the working folder
    EXPECT_FALSE(QFile::exists(missing));

    // Taken names are no failure; a move that fails is, and says how many and why.
    const QString folder = looseFolder("F");
    writeFile(folder + "/Words/notes.txt", "filed earlier");
    c().draft().workingFolder = folder;
    files.failMoveTo[folder + "/Images/photo.jpg"] = EACCES;
    files.failMoveTo[folder + "/Images/old.jpg"] = EACCES;
    prompter.calls.clear();
    EXPECT_EQ(c().fileFolder(c().workingFolder()), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "critical|2 items in " + folder +
                  " could not be moved. Could not move \u201cold.jpg\u201d: Permission denied.");
    EXPECT_EQ(stored("pathString"), folder);
    files.failMoveTo.clear();
    writeFile(folder + "/Words/more.txt", "filed earlier");
    files.failMoveFrom[folder + "/Words/more.txt"] = EBUSY;
    EXPECT_EQ(c().unfileFolder(c().workingFolder()), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "critical|1 item in " + folder +
                  " could not be moved. Could not move \u201cmore.txt\u201d: Device or resource "
                  "busy.");

    // Filing or unfiling every folder goes on past a failed one but claims no success.
    files.failMoveFrom.clear();
    c().draft().listedFolders = {missing, looseFolder("G")};
    EXPECT_EQ(c().fileListedFolders(), RunResult::Failed);
    EXPECT_EQ(readFile(home / "G/Images/photo.jpg"), "p");
    EXPECT_EQ(c().unfileListedFolders(), RunResult::Failed);
    EXPECT_EQ(readFile(home / "G/photo.jpg"), "p");
    EXPECT_TRUE(notifier.posted.isEmpty());
}

TEST_F(FilingControllerTest, EveryListedFolderIsFiledAfterOneQuestionAndUnfiledAfterOneEach) {
    const QString a = looseFolder("A"), b = looseFolder("B");
    c().draft().listedFolders = {a, b, a};
    makeFolder(home / "shown");
    c().draft().workingFolder = home / "shown";
    prompter.calls.clear();
    EXPECT_EQ(c().fileListedFolders(), RunResult::Done);
    EXPECT_EQ(prompter.callsStartingWith("confirm|"),
              QStringList{"confirm|File all of these files?|Desktidy will file all of the files "
                          "located in all of the directories that are listed in the Desktidy "
                          "Folders Setup.  You can always undo this by choosing Unfile All "
                          "Stashery... from the File menu.|OK"});
    // Its details list each folder once.
    const QString plan =
        ":\nImages: 2\nWords: 1\n\nold.jpg -> Images/old.jpg\nphoto.jpg -> "
        "Images/photo.jpg\nnotes.txt -> Words/notes.txt";
    EXPECT_EQ(prompter.details, QStringList{a + plan + "\n\n" + b + plan});
    EXPECT_EQ(frontEnd.seen.calls.filter("pass|Filing...").size(), 2);  // each folder once
    EXPECT_EQ(readFile(b + "/Images/photo.jpg"), "p");
    EXPECT_EQ(notifier.posted,
              QStringList{"Done filing all of your files|All of the files, in all of the folders "
                          "you have listed in your Setup, have been filed.|Done Filing"});
    EXPECT_EQ(c().draft().workingFolder, home / "shown");
    EXPECT_EQ(stored("pathString"), b);  // each filing saved its own folder

    prompter.confirmAnswers = {false};  // the next single filing asks again
    EXPECT_EQ(c().fileFolder(c().workingFolder()), RunResult::Cancelled);
    prompter.calls.clear();  // the scheduled run asks nothing at all
    EXPECT_EQ(c().fileListedFolders(Starter::Schedule), RunResult::Done);
    EXPECT_TRUE(prompter.callsStartingWith("confirm|").isEmpty());
    EXPECT_EQ(notifier.posted.size(), 2);

    // Unfiling asks once, then for each folder with its details; "Cancel" skips that one.
    c().draft().listedFolders = {a, b};
    prompter.calls.clear();
    prompter.details.clear();
    prompter.confirmAnswers = {true, false, true};
    EXPECT_EQ(c().unfileListedFolders(), RunResult::Done);
    EXPECT_EQ(prompter.calls.at(1),
              "confirm|Unfile these files?|Desktidy will unfile all of the files located in " + a +
                  " which are inside the Desktidy folders.  You can always redo the "
                  "filing by choosing Desktidy... from the File menu.|OK");
    EXPECT_EQ(prompter.details.first(),
              "Images: 2\nWords: 1\n\nImages/old.jpg -> old.jpg\n"
              "Images/photo.jpg -> photo.jpg\nWords/notes.txt -> notes.txt");
    EXPECT_TRUE(QFile::exists(a + "/Images/photo.jpg"));
    EXPECT_TRUE(QFile::exists(b + "/photo.jpg"));
    // With a folder skipped, "all of the files have been put back" would be untrue.
    EXPECT_EQ(notifier.posted.size(), 2);
    prompter.confirmAnswers = {true, true};
    EXPECT_EQ(c().unfileListedFolders(), RunResult::Done);
    EXPECT_TRUE(QFile::exists(a + "/photo.jpg"));
    EXPECT_EQ(notifier.posted.last(),
              "Done unfiling all of your files|All of the files, in all of the folders you have "
              "listed in your Setup, have been put back where they came from.|Done Unfiling");
}

}  // namespace
