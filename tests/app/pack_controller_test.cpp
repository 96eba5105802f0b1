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
    f.c().form.packOverwriteCheck = false;
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");

    f.c().saveSetup();  // now an existing copy is asked about; "Cancel" keeps it
    writeFile(f.home / "Documents/notes.txt", "newer");
    f.prompter.confirmAnswers = {true, false};
    EXPECT_EQ(f.c().packStashery(), RunResult::Done);
    EXPECT_EQ(f.prompter.callsStartingWith("confirm|Overwrite").size(), 1);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");
}

}  // namespace
