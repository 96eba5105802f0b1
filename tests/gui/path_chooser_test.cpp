#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>

#include "app/gui/qt_path_chooser.h"
#include "support/temp_home.h"

namespace {

ChooserRequest trashRequest(const QString& folder) {
    ChooserRequest r;
    r.title = QStringLiteral("Empty Some of the Trash");
    r.confirmButton = QStringLiteral("Delete Selected Items");
    r.chooseFiles = r.chooseFolders = r.multiple = true;
    r.startFolder = folder;
    r.confineToStartFolder = true;
    return r;
}

// Waits until the dialog's list shows the folder's items; Qt reads folders in a thread.
bool waitForListing(ChooserDialog& dialog, int count) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    return QTest::qWaitFor(
        [&] {
            return model &&
                   model->rowCount(model->index(dialog.directory().absolutePath())) >= count;
        },
        5000);
}

// Selects an item in the dialog's list as a click does.
void selectInList(ChooserDialog& dialog, const QString& path) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
        if (view->objectName() == u"listView")
            view->selectionModel()->select(model->index(path), QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
}

}  // namespace

TEST(ChooserDialog, TakesTheRequestsTitleButtonAndMode) {
    TempHome home;
    ChooserRequest r;
    r.title = QStringLiteral("Choose Destination");
    r.confirmButton = QStringLiteral("Choose");
    r.chooseFiles = false;
    r.chooseFolders = true;
    r.startFolder = home.path();
    ChooserDialog folders(r);
    EXPECT_EQ(folders.windowTitle(), u"Choose Destination");
    EXPECT_EQ(folders.confirmButtonText(), u"Choose");
    EXPECT_EQ(folders.fileMode(), QFileDialog::Directory);
    EXPECT_EQ(folders.directory().absolutePath(), home.path());

    r.title = QStringLiteral("Add File or Folder to Copy");
    r.confirmButton = QStringLiteral("Add");
    r.chooseFiles = true;
    ChooserDialog both(r);
    EXPECT_EQ(both.fileMode(), QFileDialog::ExistingFile);
    EXPECT_EQ(both.confirmButtonText(), u"Add");
}

TEST(ChooserDialog, TheTrashChooserStaysInTheTrashAndTakesFoldersAsItems) {
    TempHome home;
    const QString trash = home / "Trash/files";
    writeFile(trash + "/old.txt");
    makeFolder(trash + "/Old Folder");
    writeFile(trash + "/Old Folder/inside.txt");

    ChooserDialog dialog(trashRequest(trash));
    dialog.show();
    ASSERT_TRUE(waitForListing(dialog, 2));

    // Going into a sub-folder (or anywhere else) brings the panel back.
    dialog.setDirectory(trash + "/Old Folder");
    Q_EMIT dialog.directoryEntered(trash + "/Old Folder");
    EXPECT_EQ(dialog.directory().absolutePath(), trash);

    selectInList(dialog, trash + "/Old Folder");
    EXPECT_EQ(dialog.confirmButtonText(), u"Delete Selected Items");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenPaths(), QStringList{trash + "/Old Folder"});
}

TEST(QtPathChooser, CancelGivesNothingAndAcceptGivesThePaths) {
    TempHome home;
    writeFile(home / "a.txt");
    QtPathChooser chooser;
    chooser.setDialogHook([](ChooserDialog& dialog) { dialog.reject(); });
    ChooserRequest r;
    r.startFolder = home.path();
    EXPECT_FALSE(chooser.choose(r).has_value());

    chooser.setDialogHook([&](ChooserDialog& dialog) {
        dialog.show();
        waitForListing(dialog, 1);
        selectInList(dialog, home / "a.txt");
        dialog.accept();
    });
    auto chosen = chooser.choose(r);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, QStringList{home / "a.txt"});
}
