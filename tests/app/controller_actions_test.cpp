#include <gtest/gtest.h>

#include "controller_fixture.h"
#include "run_desktidy.h"
#include "support/qstring_printer.h"

namespace {

TEST(PackController, CopiesWithTheReplaceSettingAsLastSaved) {
    ControllerFixture f;
    writeFile(f.home / "Documents/notes.txt", "new");
    writeFile(f.home / "Stick/notes.txt", "old");
    ASSERT_EQ(f.c().addPackRow(PackSide::Pack, {f.home / "Documents/notes.txt", f.home / "Stick"}),
              RunResult::Done);
    // The check box is off but not saved: the saved "replace without asking" still holds.
    f.c().draft().packOverwrite = false;
    EXPECT_EQ(f.c().copyPackRows(PackSide::Pack), RunResult::Done);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");

    f.c().saveSetup();  // now an existing copy is asked about; "Cancel" keeps it
    writeFile(f.home / "Documents/notes.txt", "newer");
    f.prompter.confirmAnswers = {true, false};
    EXPECT_EQ(f.c().copyPackRows(PackSide::Pack), RunResult::Done);
    EXPECT_EQ(f.prompter.callsStartingWith("confirm|Overwrite").size(), 1);
    EXPECT_EQ(readFile(f.home / "Stick/notes.txt"), "new");
}

// The folders searched are those resolved at start-up. A row inside a listed folder follows
// it: checked with it and not to be unchecked alone; once the folder is unchecked, only the
// inner rows checked again move.
TEST(TrashController, FindsTheResolvedDataFoldersAndMovesExactlyWhatIsChecked) {
    ControllerFixture f;
    const Path app = asPath(writeFile(f.home / "Pad.AppImage"));
    const Path folder = asPath(f.home / ".local/share/Pad");
    const Path inner = asPath(writeFile(f.home / ".local/share/Pad/inner"));
    const Path kept = asPath(writeFile(f.home / ".local/share/Pad/kept"));
    writeFile(f.home / ".local/share/Trash/files/Pad old");  // never offered again
    const RemovalChecklist planned = f.c().planRemoval(app);
    ASSERT_EQ(planned.size(), 2);
    EXPECT_EQ(planned.row(1).itemPath(), folder);
    RemovalList found;
    for (const Path& path : {app, folder, inner, kept}) found.rows.append({path, {}});
    found.folders = {folder};
    found.files = {app, inner, kept};
    RemovalChecklist list(found);

    EXPECT_FALSE(list.setChecked(2, false));
    EXPECT_TRUE(list.isChecked(2) && list.followsFolder(2));
    EXPECT_TRUE(list.setChecked(1, false));  // the folder's rows go off with it
    EXPECT_FALSE(list.isChecked(2) || list.isChecked(3) || list.followsFolder(2));
    EXPECT_TRUE(list.toggle(2));
    for (int row : {-1, 7}) list.toggle(row);  // -1: nothing selected
    EXPECT_EQ(f.c().moveToTrash(list), RunResult::Done);
    const QString trash = f.home / ".local/share/Trash/files/DKT Deleted Apps";
    EXPECT_EQ(namesIn(trash), QStringList({"Pad.AppImage", "inner"}));
    EXPECT_EQ(namesIn(f.home / ".local/share/Pad"), QStringList{"kept"});
}

}  // namespace
