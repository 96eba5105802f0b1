#include "pack/pack_lists.h"

#include <gtest/gtest.h>

#include "platform/preset_path_chooser.h"
#include "tree_helpers.h"

namespace {

TEST(PackListsTest, AddingARowAsksForASourceThenADestinationAndACancelAddsNothing) {
    PresetPathChooser chooser;
    QStringList from, to;
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    const ChooserRequest source = chooser.lastRequest();  // no destination asked for
    EXPECT_EQ(source.title + "|" + source.confirmButton, "Add File or Folder to Copy|Add");
    EXPECT_TRUE(source.chooseFiles && source.chooseFolders && !source.multiple);

    chooser.appendAnswer(QList<Path>{Path("/Users/ann/Photos")});
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));  // the source chosen is dropped
    const ChooserRequest destination = chooser.lastRequest();
    EXPECT_EQ(destination.title + "|" + destination.confirmButton, "Choose Destination|Choose");
    EXPECT_TRUE(!destination.chooseFiles && destination.chooseFolders && !destination.multiple);
    EXPECT_TRUE(from.isEmpty() && to.isEmpty());

    chooser.appendAnswer(QList<Path>{Path("/Users/ann/Taxes")});
    chooser.appendAnswer(QList<Path>{Path("/Volumes/Stick")});
    ASSERT_TRUE(addRowByChoosing(chooser, from, to));
    EXPECT_EQ(from.join(',') + "|" + to.join(','), "/Users/ann/Taxes|/Volumes/Stick");

    // The lists are text: a path that is not UTF-8 cannot be listed.
    chooser.appendAnswer(QList<Path>{Path("/Users/ann/caf\xE9")});
    chooser.appendAnswer(QList<Path>{Path("/Volumes/Stick")});
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    EXPECT_EQ(from.size() + to.size(), 2);
}

}  // namespace
