#include "pack/pack_lists.h"

#include <gtest/gtest.h>

#include "platform/preset_path_chooser.h"
#include "tree_helpers.h"

namespace {

TEST(PackListsTest, AddingARowAsksForASourceAndThenADestinationFolder) {
    PresetPathChooser chooser;
    QStringList from{"/a"}, to{"/b"};
    chooser.appendAnswer(QStringList{"/Users/ann/Taxes"});
    chooser.appendAnswer(QStringList{"/Volumes/Stick"});
    ASSERT_TRUE(addRowByChoosing(chooser, from, to));
    EXPECT_EQ(from, (QStringList{"/a", "/Users/ann/Taxes"}));
    EXPECT_EQ(to, (QStringList{"/b", "/Volumes/Stick"}));
    const ChooserRequest& destination = chooser.lastRequest();
    EXPECT_EQ(destination.title, "Choose Destination");
    EXPECT_EQ(destination.confirmButton, "Choose");
    EXPECT_TRUE(!destination.chooseFiles && destination.chooseFolders && !destination.multiple);

    // Cancelling the source panel adds nothing and asks for no destination.
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    const ChooserRequest& source = chooser.lastRequest();
    EXPECT_EQ(source.title, "Add File or Folder to Copy");
    EXPECT_EQ(source.confirmButton, "Add");
    EXPECT_TRUE(source.chooseFiles && source.chooseFolders && !source.multiple);

    // Cancelling the destination panel drops the chosen source.
    chooser.appendAnswer(QStringList{"/Users/ann/Photos"});
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    EXPECT_EQ(from.size(), 2);
    EXPECT_EQ(to.size(), 2);
}

TEST(PackListsTest, RemovingSelectedRowsKeepsTheRestInOrderInBothLists) {
    QStringList from{"f0", "f1", "f2", "f3", "f4"}, to{"t0", "t1", "t2", "t3", "t4"};
    removeRows(from, to, {3, 0, 9, 3, -1, 1});  // out of range and repeated rows are ignored
    EXPECT_EQ(from, (QStringList{"f2", "f4"}));
    EXPECT_EQ(to, (QStringList{"t2", "t4"}));
    removeRows(from, to, {});
    EXPECT_EQ(from.size(), 2);
}

TEST(PackListsTest, TheUnpackListSendsEachCopyBackToTheFolderItCameFrom) {
    const QStringList packFrom{"/Users/ann/Documents/Taxes", "/Users/ann/Documents/Taxes/",
                               "/notes.txt", "plain"};
    const QStringList packTo{"/Volumes/Stick", "/Volumes/Stick/", "/Volumes/Stick", "/S"};
    QStringList unpackFrom{"/added/by/hand"}, unpackTo{"/x"};
    deriveUnpackList(packFrom, packTo, unpackFrom, unpackTo);
    EXPECT_EQ(unpackFrom, (QStringList{"/Volumes/Stick/Taxes", "/Volumes/Stick/Taxes",
                                       "/Volumes/Stick/notes.txt", "/S/plain"}));
    EXPECT_EQ(unpackTo, (QStringList{"/Users/ann/Documents", "/Users/ann/Documents", "/", ""}));

    // Twice gives the same; an empty pack list gives an empty unpack list.
    QStringList againFrom, againTo;
    deriveUnpackList(packFrom, packTo, againFrom, againTo);
    EXPECT_EQ(againFrom, unpackFrom);
    deriveUnpackList({}, {}, unpackFrom, unpackTo);
    EXPECT_TRUE(unpackFrom.isEmpty() && unpackTo.isEmpty());
}

TEST(PackListsTest, ClearingEmptiesAllFourLists) {
    Settings settings;
    settings.packFromArray = settings.packToArray = {"a"};
    settings.unpackFromArray = settings.unpackToArray = {"b"};
    settings.myFoldersArray = {"kept"};
    clearPackLists(settings);
    EXPECT_TRUE(settings.packFromArray.isEmpty() && settings.packToArray.isEmpty());
    EXPECT_TRUE(settings.unpackFromArray.isEmpty() && settings.unpackToArray.isEmpty());
    EXPECT_EQ(settings.myFoldersArray, QStringList{"kept"});
}

}  // namespace
