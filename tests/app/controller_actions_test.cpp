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

namespace {

// The questions and notices of a run are the window's or the command line's, by the one
// switch the command line sets: the window's name its menus, the command line's commands.
// A run over an empty list says so before asking anything, and runs nothing.
TEST(RunWording, EachFrontEndNamesItsOwnWaysAndNothingToDoIsToldBeforeAsking) {
    struct Row {
        Wording wording;
        const char *fileEnds, *unfileEnds, *undoTitle, *undoKind, *listFolders, *addRows;
    };
    const Row rows[] = {
        {Wording::Window, "You can always undo this by choosing Undesktidy... from the File menu.",
         "You can always redo the filing by choosing Desktidy... from the File menu.",
         "Undo Desktidy?", "(Desktidy in ", "List them in the Folders pane of the Setup.",
         "Add rows in the Pack Stashery pane of the Setup."},
        {Wording::CommandLine,
         "You can always undo this with \u201cdesktidy undo\u201d or \u201cdesktidy unfile\u201d.",
         "You can always undo this with \u201cdesktidy undo\u201d.", "Undo run 1?", "(file in ",
         "List them with \u201cdesktidy folders add FOLDER...\u201d.",
         "Add rows with \u201cdesktidy %1-list add SOURCE DESTINATION\u201d."},
    };
    for (const Row& row : rows) {
        ControllerFixture f;
        f.c().setRunOptions({&f.frontEnd, nullptr, row.wording});
        const Path desk = asPath(writeFile(f.home / "Desk/a.jpg").section('/', 0, -2));
        f.prompter.confirmAnswers = {false, false, true, false};
        EXPECT_EQ(f.c().fileFolder(desk), RunResult::Cancelled);
        EXPECT_EQ(f.c().unfileFolder(desk), RunResult::Cancelled);
        EXPECT_EQ(f.c().fileFolder(desk), RunResult::Done);
        EXPECT_EQ(f.c().undoRun(*f.c().runToUndo()), RunResult::Cancelled);
        ASSERT_EQ(f.prompter.calls.size(), 4);
        EXPECT_TRUE(f.prompter.calls[0].endsWith(QString(row.fileEnds) + "|OK"))
            << f.prompter.calls[0].toStdString();
        EXPECT_TRUE(f.prompter.calls[1].endsWith(QString(row.unfileEnds) + "|OK"));
        EXPECT_TRUE(f.prompter.calls[3].startsWith(QString("confirm|") + row.undoTitle +
                                                   "|Desktidy will move back what run 1 " +
                                                   row.undoKind))
            << f.prompter.calls[3].toStdString();

        f.prompter.calls.clear();
        f.frontEnd.ends.clear();
        f.c().draft().listedFolders.clear();
        EXPECT_EQ(f.c().fileListedFolders(), RunResult::Done);
        EXPECT_EQ(f.c().unfileListedFolders(), RunResult::Done);
        EXPECT_EQ(f.c().copyPackRows(PackSide::Pack), RunResult::Done);
        EXPECT_EQ(f.c().copyPackRows(PackSide::Unpack), RunResult::Done);
        const QString noFolders = "notice|No folders are listed, so there is nothing to %1. ";
        const QString noRows = "notice|The %1 list is empty, so there is nothing to %1. ";
        const auto rowsFor = [&](const char* side) {
            const QString add = row.addRows;  // the window's names no list
            return noRows.arg(side) + (add.contains("%1") ? add.arg(side) : add);
        };
        EXPECT_EQ(f.prompter.calls, QStringList({noFolders.arg("file") + row.listFolders,
                                                 noFolders.arg("unfile") + row.listFolders,
                                                 rowsFor("pack"), rowsFor("unpack")}));
        EXPECT_TRUE(f.frontEnd.ends.isEmpty());  // no run, no record
        EXPECT_TRUE(f.notifier.posted.isEmpty());
    }
}

}  // namespace
