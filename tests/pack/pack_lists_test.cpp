#include "pack/pack_lists.h"

#include <gtest/gtest.h>

#include "platform/preset_path_chooser.h"
#include "support/qstring_printer.h"

namespace {

// A source (file or folder), then a destination folder; a cancel at either step adds
// nothing, and the lists being text, neither does a path that is not UTF-8.
TEST(PackListsTest, AddingARowAsksForASourceThenAFolderAndACancelAddsNothing) {
    PresetPathChooser chooser;
    QStringList from, to;
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    EXPECT_TRUE(chooser.lastRequest().chooseFiles && chooser.lastRequest().chooseFolders);
    chooser.appendAnswer(QList<Path>{Path("/Users/ann/Photos")});
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    EXPECT_TRUE(!chooser.lastRequest().chooseFiles && chooser.lastRequest().chooseFolders);
    chooser.appendAnswer(QList<Path>{Path("/Users/ann/caf\xE9")});  // no destination asked
    EXPECT_FALSE(addRowByChoosing(chooser, from, to));
    EXPECT_TRUE(from.isEmpty() && to.isEmpty());
    chooser.appendAnswer(QList<Path>{Path("/Users/ann/Taxes")});
    chooser.appendAnswer(QList<Path>{Path("/Volumes/Stick")});
    ASSERT_TRUE(addRowByChoosing(chooser, from, to));
    EXPECT_EQ(from.join(',') + "|" + to.join(','), "/Users/ann/Taxes|/Volumes/Stick");
}

}  // namespace
