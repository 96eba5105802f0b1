#include "trash/trash_emptying.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "trash/trash_records.h"
#include "trash_fixture.h"

namespace {

const QString confirmDelete =
    "confirm|Delete?|Do you want to permanently delete these items?  This cannot be undone.|Delete";
const QString deletedNotice =
    "notice|The chosen items have been permanently deleted from the Trash.";

}  // namespace

class TrashEmptying : public TrashTest {
  protected:
    QString trashed(const QString& name, const QByteArray& contents = "x") {
        writeFile(services.trash.infoFileFor(name), "[Trash Info]\n");
        return writeFile(trashFiles() + "/" + name, contents);
    }
};

TEST_F(TrashEmptying, DeletesTheChosenItemsWithTheirRecordsOnly) {
    const QString a = trashed("a.txt");
    trashed("folder/inner");
    const QString folder = trashFiles() + "/folder";
    const QString kept = trashed("kept");
    QStringList trashArray{"stale"};
    chooser.setNextAnswer(QStringList{a, folder});

    EXPECT_EQ(emptyTrash(services, trashArray), RunResult::Done);
    EXPECT_EQ(trashArray, QStringList({a, folder}));
    EXPECT_EQ(prompter.calls, QStringList({confirmDelete, deletedNotice}));
    EXPECT_FALSE(files.exists(a) || files.exists(folder));
    EXPECT_FALSE(files.exists(services.trash.infoFileFor("a.txt")));
    EXPECT_TRUE(files.exists(kept) && files.exists(services.trash.infoFileFor("kept")));

    const ChooserRequest& request = chooser.lastRequest();
    EXPECT_EQ(request.title, "Empty Some of the Trash");
    EXPECT_EQ(request.confirmButton, "Delete Selected Items");
    EXPECT_TRUE(request.multiple && request.chooseFiles && request.chooseFolders);
    EXPECT_TRUE(request.confineToStartFolder);
    EXPECT_EQ(request.startFolder, trashFiles());
}

TEST_F(TrashEmptying, CancelsAndEmptySelectionsDeleteNothing) {
    const QString a = trashed("a");
    QStringList trashArray{"before"};
    EXPECT_EQ(emptyTrash(services, trashArray), RunResult::Cancelled);  // chooser cancelled
    EXPECT_EQ(trashArray, QStringList({"before"}));
    EXPECT_TRUE(prompter.calls.isEmpty());
    prompter.confirmAnswers = {false};
    chooser.setNextAnswer(QStringList{a});
    EXPECT_EQ(emptyTrash(services, trashArray), RunResult::Cancelled);
    EXPECT_TRUE(files.exists(a));

    prompter.calls.clear();  // the Trash folder itself chosen: nothing selected
    EXPECT_EQ(deleteTrash(services, {trashFiles() + "/"}), RunResult::Done);
    EXPECT_EQ(prompter.calls, QStringList({"notice|No items were selected to be deleted."}));
    const QString odd = trashed("files");  // but an item called like the folder is an item
    EXPECT_EQ(deleteTrash(services, {odd}), RunResult::Done);
    EXPECT_FALSE(files.exists(odd));
}

TEST_F(TrashEmptying, OnlyItemsDirectlyInTheTrashAreDeletedAndLinksAsLinks) {
    const QString outside = writeFile(home / "precious");
    const QString deeper = trashed("box/inner");
    const QString link = trashFiles() + "/link";
    ASSERT_EQ(::symlink(QFile::encodeName(home.path()), QFile::encodeName(link)), 0);

    EXPECT_EQ(deleteTrash(services, {link, outside, deeper, trashFiles() + "/box/../../info"}),
              RunResult::Failed);
    EXPECT_FALSE(files.exists(link));
    EXPECT_TRUE(files.exists(outside) && files.exists(deeper) &&
                files.exists(services.trash.info()));
    EXPECT_EQ(prompter.calls.last(), "notice|These items could not be deleted:\n" + outside + "\n" +
                                         deeper + "\n" + trashFiles() + "/box/../../info");
}

TEST_F(TrashEmptying, OnlyItemsThatAreGoneCountAsDeletedAndNoNameStandsForAnother) {
    // Names with a byte that is not UTF-8 read as U+FFFD, the spelling of another item.
    const QByteArray files8 = QFile::encodeName(trashFiles());
    const QByteArray notUtf8 = files8 + "/\xff", replacement = files8 + "/\xef\xbf\xbd";
    const QByteArray inBox = files8 + "/box/\xff";
    const QString box = trashed("box/kept").chopped(5), spelled = trashFiles() + "/\uFFFD";
    writeFile(services.trash.infoFileFor("box"), "[Trash Info]\n");
    for (const QByteArray& path : {notUtf8, replacement, inBox})
        ASSERT_GE(::close(::creat(path.constData(), 0644)), 0);
    writeFile(services.trash.infoFileFor("gone"), "[Trash Info]\n");

    EXPECT_EQ(deleteTrash(services, {trashFiles() + "/gone", box, spelled}), RunResult::Failed);
    EXPECT_EQ(prompter.calls.last(),
              "notice|These items could not be deleted:\n" + box + "\n" + spelled +
                  "\n\nThese items were not found in the Trash:\n" + trashFiles() + "/gone");
    for (const QByteArray& path : {notUtf8, replacement, inBox})
        EXPECT_EQ(::access(path.constData(), F_OK), 0) << path.constData();
    EXPECT_FALSE(files.exists(box + "/kept"));
    for (const char* name : {"gone", "box"})
        EXPECT_TRUE(files.exists(services.trash.infoFileFor(name))) << name;
    EXPECT_EQ(deleteTrashItem(box, services.trash, files).code, ENOTEMPTY);
    EXPECT_EQ(files.removeAll(box).code, ENOTEMPTY);
    for (const QByteArray& path : {notUtf8, replacement, inBox}) ::unlink(path.constData());
}
