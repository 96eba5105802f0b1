#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "support/qstring_printer.h"

TEST(TrashController, SearchesTheResolvedDataFoldersAndKeepsTheListUntilTheNextChoice) {
    ControllerFixture f;
    const QString app = writeFile(f.home / "Applications/Pad.AppImage");
    writeFile(f.home / ".local/share/Pad/state");
    writeFile(f.home / ".local/share/Trash/files/Pad old");  // never offered again
    f.chooser.setNextAnswer(QStringList{app});
    ASSERT_TRUE(f.c().deleteApp());
    ASSERT_EQ(f.c().appDisplayArray.size(), 2);
    EXPECT_EQ(f.c().foundFoldersArray, QStringList({f.home / ".local/share/Pad"}));

    f.c().clickedDelAppCheck(1);
    f.c().clickedDelAppCheck(-1);  // nothing selected
    f.c().clickedDelAppCheck(7);
    EXPECT_FALSE(f.c().appDisplayArray.at(1).isChecked());
    EXPECT_TRUE(f.c().appDisplayArray.at(0).isChecked());

    EXPECT_FALSE(f.c().deleteApp());  // cancelled: the list stays
    EXPECT_EQ(f.c().appDisplayArray.size(), 2);

    f.c().trashClock = [] { return QDateTime(QDate(2024, 1, 1), QTime(9, 8, 7)); };
    EXPECT_EQ(f.c().deleteAppFiles(), RunResult::Done);
    EXPECT_TRUE(f.files.exists(f.home / ".local/share/Pad/state"));
    EXPECT_TRUE(f.files.exists(f.home / ".local/share/Trash/files/DKT Deleted Apps/Pad.AppImage"));
    EXPECT_TRUE(readFile(f.home / ".local/share/Trash/info/DKT Deleted Apps.trashinfo")
                    .endsWith("DeletionDate=2024-01-01T09:08:07\n"));
}
