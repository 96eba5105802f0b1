#include <gtest/gtest.h>

#include "controller_fixture.h"

namespace {

TEST(PackController, CopiesWithTheReplaceSettingAsLastSaved) {
    ControllerFixture f;
    writeFile(f.home / "Documents/notes.txt", "new");
    writeFile(f.home / "Stick/notes.txt", "old");
    f.chooser.appendAnswer(QStringList{f.home / "Documents/notes.txt"});
    f.chooser.appendAnswer(QStringList{f.home / "Stick"});
    ASSERT_TRUE(f.c().addPackFiles());

    // The check box is off but not saved: the saved "replace without asking" still holds.
    ASSERT_EQ(f.c().settings.packOverwrite, 1);
    f.c().form.packOverwriteCheck = false;
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_TRUE(f.prompter.callsStartingWith("confirm|Overwrite").isEmpty());
    EXPECT_EQ(f.notifier.posted.size(), 1);

    f.c().saveSetup();  // now every existing copy is asked about; "Cancel" keeps it
    writeFile(f.home / "Documents/notes.txt", "newer");
    f.prompter.confirmAnswers = {true, false};
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_EQ(f.prompter.callsStartingWith("confirm|Overwrite").size(), 1);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");
}

TEST(PackController, UnpackingRunsTheUnpackListMadeFromThePackList) {
    ControllerFixture f;
    writeFile(f.home / "Stick/notes.txt", "from the road");
    makeFolder(f.home / "Documents");
    f.c().settings.packFromArray = {f.home / "Documents/notes.txt", f.home / "Documents/x"};
    f.c().settings.packToArray = {f.home / "Stick", f.home / "Stick"};
    f.c().reversePack();
    f.c().delUnpackFiles({1});
    EXPECT_EQ(f.c().settings.packFromArray.size(), 2);
    EXPECT_EQ(f.c().unpackStashery(), RunResult::Done);
    EXPECT_EQ(readFile(f.home / "Documents/notes.txt"), "from the road");
    f.c().clearPackTables();
    EXPECT_TRUE(f.c().settings.packFromArray.isEmpty() && f.c().settings.unpackToArray.isEmpty());
}

}  // namespace
