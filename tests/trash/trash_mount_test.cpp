#include <gtest/gtest.h>

#include "support/trash_fixture.h"
#include "trash/trash_emptying.h"

// A Trash item with a file system mounted inside it keeps all of that file system, and the
// item is told as one that stayed.
TEST_F(TrashTest, DeletingAnItemStopsAtAMountPointAndTellsTheItemStayed) {
    const QString box = trashFiles() + "/box";
    writeFile(recordOf("box"), "[Trash Info]\n");
    writeFile(box + "/loose.txt");
    writeFile(box + "/stick/on-stick.txt", "keep me");
    files.otherFileSystems << box + "/stick";
    EXPECT_EQ(deleteTrashItems(services, {asPath(box)}), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(), "notice|These items could not be deleted:\n" + box);
    EXPECT_EQ(readFile(box + "/stick/on-stick.txt"), "keep me");
    EXPECT_EQ(displayed(files.listNames(asPath(box), true)), QStringList{"stick"});
    EXPECT_TRUE(exists(recordOf("box")));
}
