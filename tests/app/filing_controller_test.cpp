#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <memory>

#include "app/desktidy_controller.h"
#include "platform/preset_path_chooser.h"
#include "platform/recent_folders.h"
#include "support/fake_tool_runner.h"
#include "support/faulty_file_system.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"

namespace {

class FilingControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Services services{prompter,
                          notifier,
                          chooser,
                          files,
                          tools,
                          ToolPaths{},
                          UserEnvironment{"tester", home.path()},
                          home.configFile()};
        controller =
            std::make_unique<DesktidyController>(services, BundleDefaults::fromResources());
        controller->awakeFromNib({"desktidy"});
        prompter.calls.clear();
    }

    QString stored(const QString& key) const { return controller->store().value(key).toString(); }
    QStringList recentFolders() const {
        return RecentFolders(RecentFolders::defaultFilePath(home.path())).folders();
    }
    // A folder holding one image and one text file, to be filed.
    QString looseFolder(const QString& name) {
        writeFile(home / name + "/photo.jpg", "p");
        writeFile(home / name + "/notes.txt", "n");
        return home / name;
    }
    void archiveUpTo2020() { controller->form.archiveYr = controller->settings.archYear = "2020"; }

    TempHome home;
    ScriptedPrompter prompter;
    RecordingNotifier notifier;
    PresetPathChooser chooser;
    FaultyFileSystem files;
    FakeToolRunner tools;
    std::unique_ptr<DesktidyController> controller;
};

const QString doneFiling =
    "Done filing all of your files|All of the files, in all of the folders you have listed in "
    "your Setup, have been filed.|Done Filing";

}  // namespace

TEST_F(FilingControllerTest, CancelOnTheQuestionChangesNothing) {
    const QString folder = looseFolder("x%@y %1");
    writeFile(folder + "/old.jpg", "old");
    archiveUpTo2020();
    controller->form.myPathControl = folder;
    prompter.confirmAnswers = {false};

    EXPECT_EQ(controller->desktidy(), RunResult::Cancelled);

    EXPECT_EQ(
        prompter.calls,
        QStringList{"confirm|File these files?|Desktidy will file all of the files located in " +
                    folder +
                    " into the appropriate folders.  You can always undo this by choosing "
                    "Undesktidy... from the File menu.|OK"});
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 3);
    EXPECT_NE(stored("pathString"), folder);
    EXPECT_TRUE(recentFolders().isEmpty());
}

TEST_F(FilingControllerTest, FilingArchivesSavesTheFolderNotesItAndFiles) {
    const QString folder = looseFolder("Desk");
    writeFile(folder + "/old.jpg", "old");
    const timespec longAgo[2] = {{1000, 0}, {1000, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(folder + "/old.jpg").constData(), longAgo, 0);
    archiveUpTo2020();
    controller->form.myPathControl = folder;

    EXPECT_EQ(controller->desktidy(), RunResult::Done);

    EXPECT_TRUE(QFileInfo::exists(folder + "/Archive/Images/old.jpg"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/Images/photo.jpg"));
    EXPECT_TRUE(QFileInfo::exists(folder + "/Words/notes.txt"));
    EXPECT_EQ(prompter.calls.mid(1),
              (QStringList{"itemVisible|1", "progress|Archiving...", "item|old.jpg", "close",
                           "itemVisible|1", "progress|Filing...", "item|photo.jpg",
                           "item|notes.txt", "close"}));
    EXPECT_EQ(stored("pathString"), folder);
    EXPECT_EQ(stored("archYear"), "2020");
    EXPECT_EQ(recentFolders(), QStringList{folder});
    // The run leaves the last category selected, its list loaded.
    EXPECT_EQ(controller->form.folderTableViewSelectedRow, 8);
    EXPECT_EQ(controller->settings.fileTypesArray, controller->settings.wordsTypesArray);
}

TEST_F(FilingControllerTest, AWorkingFolderThatDoesNotExistFilesNothingButSaves) {
    const QString missing = home / "no such folder";
    archiveUpTo2020();
    controller->form.myPathControl = missing;
    EXPECT_EQ(controller->desktidy(), RunResult::Done);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(stored("pathString"), missing);
    EXPECT_TRUE(recentFolders().isEmpty());
}

TEST_F(FilingControllerTest, FilingEveryListedFolderAsksOnceAndNotifies) {
    const QString a = looseFolder("A"), b = looseFolder("B");
    controller->settings.myFoldersArray = {a, b, a};
    controller->form.myPathControl = home / "shown";

    EXPECT_EQ(controller->fileAllStashery(), RunResult::Done);

    EXPECT_EQ(prompter.callsStartingWith("confirm|").size(), 1);
    EXPECT_TRUE(prompter.calls.first().startsWith("confirm|File all of these files?|"));
    EXPECT_EQ(prompter.callsStartingWith("progress|Filing...").size(), 3);
    EXPECT_TRUE(QFileInfo::exists(a + "/Images/photo.jpg"));
    EXPECT_TRUE(QFileInfo::exists(b + "/Words/notes.txt"));
    EXPECT_EQ(notifier.posted, QStringList{doneFiling});
    EXPECT_EQ(controller->form.myPathControl, home / "shown");
    EXPECT_EQ(stored("pathString"), a);  // each filing saved its own folder
    EXPECT_EQ(recentFolders(), (QStringList{a, b}));

    // The next single filing asks again.
    prompter.calls.clear();
    prompter.confirmAnswers = {false};
    EXPECT_EQ(controller->desktidy(), RunResult::Cancelled);
    EXPECT_EQ(prompter.callsStartingWith("confirm|File these files?").size(), 1);
}

TEST_F(FilingControllerTest, TheScheduledRunAsksNothingAndCancelStopsAnInteractiveOne) {
    const QString a = looseFolder("A");
    controller->settings.myFoldersArray = {a};
    prompter.confirmAnswers = {false};
    EXPECT_EQ(controller->fileAllStashery(), RunResult::Cancelled);
    EXPECT_TRUE(notifier.posted.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(a + "/photo.jpg"));

    prompter.calls.clear();
    controller->scheduled = 1;
    EXPECT_EQ(controller->fileAllStashery(), RunResult::Done);
    EXPECT_TRUE(prompter.callsStartingWith("confirm|").isEmpty());
    EXPECT_TRUE(QFileInfo::exists(a + "/Images/photo.jpg"));
    EXPECT_EQ(notifier.posted, QStringList{doneFiling});
}

TEST_F(FilingControllerTest, UnfilingEveryListedFolderAsksPerFolderAndSkipsACancelled) {
    const QString a = home / "A", b = home / "B";
    writeFile(a + "/Images/photo.jpg", "a");
    writeFile(b + "/Images/photo.jpg", "b");
    controller->settings.myFoldersArray = {a, b};
    controller->form.myPathControl = home / "shown";
    prompter.confirmAnswers = {true, false, true};

    EXPECT_EQ(controller->unfileAllStashery(), RunResult::Done);

    EXPECT_EQ(prompter.callsStartingWith("confirm|").size(), 3);
    EXPECT_EQ(prompter.calls.at(1),
              "confirm|Unfile these files?|Desktidy will unfile all of the files located in " + a +
                  " which are inside the Desktidy folders.  You can always redo the filing by "
                  "choosing Desktidy... from the File menu.|OK");
    EXPECT_TRUE(QFileInfo::exists(a + "/Images/photo.jpg"));
    EXPECT_TRUE(QFileInfo::exists(b + "/photo.jpg"));
    EXPECT_FALSE(QFileInfo::exists(b + "/Images"));
    EXPECT_EQ(notifier.posted,
              QStringList{"Done unfiling all of your files|All of the files, in all of the folders "
                          "you have listed in your Setup, have been put back where they came "
                          "from.|Done Unfiling"});
    EXPECT_EQ(controller->form.myPathControl, home / "shown");
}

TEST_F(FilingControllerTest, FoldersAreChosenThroughThePathChooser) {
    chooser.setNextAnswer(QStringList{"/x/a", "/x/b"});
    EXPECT_EQ(controller->chooseFile(), RunResult::Done);
    EXPECT_EQ(chooser.lastRequest().confirmButton, "Choose");
    EXPECT_TRUE(chooser.lastRequest().chooseFolders && !chooser.lastRequest().chooseFiles);
    EXPECT_FALSE(chooser.lastRequest().multiple);
    EXPECT_EQ(controller->form.myPathControl, "/x/b");
    EXPECT_EQ(stored("pathString"), "/x/b");
    EXPECT_EQ(controller->chooseFile(), RunResult::Cancelled);
    EXPECT_EQ(controller->form.myPathControl, "/x/b");

    chooser.setNextAnswer(QStringList{"/p", "/q", "/p"});
    EXPECT_EQ(controller->addFolder(), RunResult::Done);
    EXPECT_TRUE(chooser.lastRequest().multiple);
    EXPECT_EQ(chooser.lastRequest().confirmButton, "Add");
    controller->delFolder({2, 0});
    EXPECT_EQ(controller->settings.myFoldersArray, QStringList{"/q"});
    EXPECT_EQ(controller->addFolder(), RunResult::Cancelled);
    EXPECT_EQ(controller->settings.myFoldersArray, QStringList{"/q"});
}

TEST_F(FilingControllerTest, TypeEditsFollowTheSelectedCategoryRow) {
    Settings& s = controller->settings;
    controller->form.folderTableViewSelectedRow = 2;
    controller->setTypeArray();
    EXPECT_EQ(s.fileTypesArray, s.compressedTypesArray);
    EXPECT_TRUE(controller->doType("apk", "Android package"));
    const int row = s.compressedTypesArray.indexOf("apk - Android package");
    ASSERT_GE(row, 0);
    EXPECT_EQ(s.fileTypesArray, s.compressedTypesArray);
    controller->delType({row});
    EXPECT_FALSE(s.compressedTypesArray.contains("apk - Android package"));

    controller->form.folderTableViewSelectedRow = 0;
    const QStringList images = s.imageTypesArray;
    EXPECT_FALSE(controller->doType("gif", ""));
    EXPECT_TRUE(s.fileTypesArray.isEmpty());
    EXPECT_EQ(s.imageTypesArray, images);
}
