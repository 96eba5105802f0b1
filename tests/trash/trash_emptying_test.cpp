#include "trash/trash_emptying.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "support/trash_fixture.h"
#include "trash/trash_records.h"

namespace {

const QString confirmDelete =
    "confirm|Delete?|Do you want to permanently delete these items?  This cannot be "
    "undone.\n\n2 items:\na.txt\nfolder|Delete";
const QString deletedNotice =
    "notice|The chosen items have been permanently deleted from the Trash.";

}  // namespace

class TrashEmptying : public TrashTest {
  protected:
    QString trashed(const QString& name, const QByteArray& contents = "x") {
        writeFile(recordOf(name.section('/', 0, 0)), "[Trash Info]\n");
        return writeFile(trashFiles() + "/" + name, contents);
    }
    RunResult deleteTrashItems(const QStringList& chosen) {
        return ::deleteTrashItems(services, paths(chosen));
    }
};

TEST_F(TrashEmptying, DeletesTheChosenItemsWithTheirRecordsOnly) {
    const QString a = trashed("a.txt");
    trashed("folder/inner");
    const QString folder = trashFiles() + "/folder";
    const QString kept = trashed("kept");
    EXPECT_EQ(deleteTrashItems({a, folder}), RunResult::Done);
    EXPECT_EQ(prompter.calls, QStringList({confirmDelete, deletedNotice}));
    EXPECT_FALSE(exists(a) || exists(folder));
    EXPECT_FALSE(exists(recordOf("a.txt")));
    EXPECT_TRUE(exists(kept) && exists(recordOf("kept")));
}

TEST_F(TrashEmptying, CancelsAndEmptySelectionsDeleteNothing) {
    const QString a = trashed("a");
    prompter.confirmAnswers = {false};
    EXPECT_EQ(deleteTrashItems({a}), RunResult::Cancelled);
    EXPECT_TRUE(exists(a));

    prompter.calls.clear();  // the Trash folder itself chosen, or no item: nothing selected
    EXPECT_EQ(deleteTrashItems({trashFiles() + "/"}), RunResult::Done);
    EXPECT_EQ(deleteTrashItems({}), RunResult::Done);
    EXPECT_EQ(prompter.calls, QStringList(2, "notice|No items were selected to be deleted."));
    EXPECT_TRUE(exists(a));
    const QString odd = trashed("files");  // but an item called like the folder is an item
    EXPECT_EQ(deleteTrashItems({odd}), RunResult::Done);
    EXPECT_FALSE(exists(odd));
}

TEST_F(TrashEmptying, OnlyItemsDirectlyInTheTrashAreDeletedAndLinksAsLinks) {
    const QString outside = writeFile(home / "precious");
    const QString deeper = trashed("box/inner");
    const QString link = trashFiles() + "/link";
    ASSERT_EQ(::symlink(QFile::encodeName(home.path()), QFile::encodeName(link)), 0);

    EXPECT_EQ(deleteTrashItems({link, outside, deeper, trashFiles() + "/box/../../info"}),
              RunResult::Failed);
    EXPECT_FALSE(exists(link));
    EXPECT_TRUE(exists(outside) && exists(deeper) && files.exists(services.trash.info()));
    EXPECT_EQ(prompter.calls.last(), "notice|These items could not be deleted:\n" + outside + "\n" +
                                         deeper + "\n" + trashFiles() + "/box/../../info");
}

// Names are bytes: a name that is not UTF-8 and the UTF-8 name it would read as are two
// items, each deleted exactly, with its own record; an item that is not there is not
// claimed as deleted.
TEST_F(TrashEmptying, EachItemIsDeletedByItsBytesAndAMissingOneIsToldApart) {
    const Path notUtf8 = services.trash.files() / "\xff";
    const Path replacement = services.trash.files() / "\xef\xbf\xbd";
    const Path box = asPath(trashed("box/kept").chopped(5));
    for (const Path& path : {notUtf8, replacement, box / "\xff"})
        ASSERT_EQ(::close(::creat(path.c_str(), 0644)), 0);
    for (const Path& path : {notUtf8, replacement})
        writeFile(text(services.trash.infoFileFor(path.fileName())), "[Trash Info]\n");
    writeFile(recordOf("gone"), "[Trash Info]\n");

    EXPECT_EQ(::deleteTrashItems(services, {notUtf8, box, asPath(trashFiles() + "/gone")}),
              RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "notice|These items were not found in the Trash:\n" + trashFiles() + "/gone");
    EXPECT_FALSE(files.exists(notUtf8) || files.exists(box));
    EXPECT_FALSE(files.exists(services.trash.infoFileFor("\xff")) || exists(recordOf("box")));
    EXPECT_TRUE(files.exists(replacement) && exists(recordOf("\uFFFD")) &&
                exists(recordOf("gone")));

    EXPECT_EQ(::deleteTrashItems(services, {replacement}), RunResult::Done);
    EXPECT_FALSE(files.exists(replacement) || exists(recordOf("\uFFFD")));
}

// A Trash item with a file system mounted inside it keeps all of that file system, and the
// item is told as one that stayed.
TEST_F(TrashEmptying, DeletingAnItemStopsAtAMountPointAndTellsTheItemStayed) {
    const QString box = trashFiles() + "/box";
    trashed("box/loose.txt");
    writeFile(box + "/stick/on-stick.txt", "keep me");
    files.otherFileSystems << box + "/stick";
    EXPECT_EQ(deleteTrashItems({box}), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(), "notice|These items could not be deleted:\n" + box);
    EXPECT_EQ(readFile(box + "/stick/on-stick.txt"), "keep me");
    EXPECT_EQ(displayed(files.listNames(asPath(box), true)), QStringList{"stick"});
    EXPECT_TRUE(exists(recordOf("box")));
}
