#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "platform/recent_folders.h"
#include "support/qstring_printer.h"

namespace {

TEST(NamesController, RenamesTheWorkingFolderAndNotesItAsRecent) {
    ControllerFixture f;
    writeFile(f.home / "Trip/beach photo.jpg");
    f.c().draft.workingFolder = f.home / "Trip";
    f.c().nameChangeOptions.removeSpacesCheck = true;
    EXPECT_EQ(f.c().doChangeNames(), RunResult::Done);
    EXPECT_TRUE(QFile::exists(f.home / "Trip/beachphoto.jpg"));
    EXPECT_EQ(RecentFolders(RecentFolders::defaultFilePath(f.home.path())).folders().value(0),
              asPath(f.home / "Trip"));
}

TEST(PackController, CopiesWithTheReplaceSettingAsLastSaved) {
    ControllerFixture f;
    writeFile(f.home / "Documents/notes.txt", "new");
    writeFile(f.home / "Stick/notes.txt", "old");
    f.chooser.appendAnswer(QList<Path>{asPath(f.home / "Documents/notes.txt")});
    f.chooser.appendAnswer(QList<Path>{asPath(f.home / "Stick")});
    ASSERT_TRUE(f.c().addPackFiles());
    // The check box is off but not saved: the saved "replace without asking" still holds.
    f.c().draft.packOverwrite = false;
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");

    f.c().saveSetup();  // now an existing copy is asked about; "Cancel" keeps it
    writeFile(f.home / "Documents/notes.txt", "newer");
    f.prompter.confirmAnswers = {true, false};
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_EQ(f.prompter.callsStartingWith("confirm|Overwrite").size(), 1);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");
}

TEST(TrashController, SearchesTheResolvedDataFoldersAndKeepsTheListUntilTheNextChoice) {
    ControllerFixture f;
    const QString app = writeFile(f.home / "Applications/Pad.AppImage");
    writeFile(f.home / ".local/share/Pad/state");
    writeFile(f.home / ".local/share/Trash/files/Pad old");  // never offered again
    f.chooser.setNextAnswer(QList<Path>{asPath(app)});
    ASSERT_TRUE(f.c().deleteApp());
    ASSERT_EQ(f.c().appDisplayArray.size(), 2);
    EXPECT_EQ(f.c().foundFoldersArray, QList<Path>{asPath(f.home / ".local/share/Pad")});
    for (int row : {1, -1, 7}) f.c().clickedDelAppCheck(row);  // -1: nothing selected
    EXPECT_FALSE(f.c().appDisplayArray.at(1).isChecked());
    EXPECT_TRUE(f.c().appDisplayArray.at(0).isChecked());
    EXPECT_FALSE(f.c().deleteApp());  // cancelled: the list stays
    EXPECT_EQ(f.c().appDisplayArray.size(), 2);

    f.c().trashClock = [] { return QDateTime(QDate(2024, 1, 1), QTime(9, 8, 7)); };
    EXPECT_EQ(f.c().deleteAppFiles(), RunResult::Done);
    EXPECT_TRUE(QFile::exists(f.home / ".local/share/Pad/state"));
    EXPECT_TRUE(QFile::exists(f.home / ".local/share/Trash/files/DKT Deleted Apps/Pad.AppImage"));
    EXPECT_TRUE(readFile(f.home / ".local/share/Trash/info/DKT Deleted Apps.trashinfo")
                    .endsWith("DeletionDate=2024-01-01T09:08:07\n"));
}

}  // namespace
