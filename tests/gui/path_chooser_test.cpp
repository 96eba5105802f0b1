#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QTest>

#include "app/gui/qt_path_chooser.h"
#include "support/temp_home.h"

namespace {

// Waits until the dialog lists the folder's items (Qt reads folders in a thread), then
// selects the item at path as a click does.
bool selectInList(ChooserDialog& dialog, int count, const QString& path) {
    auto* model = dialog.findChild<QFileSystemModel*>();
    const bool listed = QTest::qWaitFor(
        [&] {
            return model &&
                   model->rowCount(model->index(dialog.directory().absolutePath())) >= count;
        },
        5000);
    for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
        if (view->objectName() == u"listView")
            view->selectionModel()->select(model->index(path), QItemSelectionModel::ClearAndSelect |
                                                                   QItemSelectionModel::Rows);
    return listed;
}

}  // namespace

TEST(QtPathChooser, TakesTheRequestsTitleButtonAndModeAndGivesThePathsOnlyOnAccept) {
    TempHome home;
    writeFile(home / "a.txt");
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
    r.chooseFiles = true;
    EXPECT_EQ(ChooserDialog(r).fileMode(), QFileDialog::ExistingFile);

    QtPathChooser chooser;
    chooser.setDialogHook([](ChooserDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(chooser.choose(r).has_value());
    chooser.setDialogHook([&](ChooserDialog& dialog) {
        dialog.show();
        selectInList(dialog, 1, home / "a.txt");
        dialog.accept();
    });
    EXPECT_EQ(chooser.choose(r), QStringList{home / "a.txt"});
}

TEST(QtPathChooser, TheTrashChooserStaysInTheTrashAndTakesFoldersAsItems) {
    TempHome home;
    const QString trash = home / "Trash/files";
    writeFile(trash + "/old.txt");
    writeFile(trash + "/Old Folder/inside.txt");
    ChooserRequest r;
    r.confirmButton = QStringLiteral("Delete Selected Items");
    r.chooseFiles = r.chooseFolders = r.multiple = true;
    r.startFolder = trash;
    r.confineToStartFolder = true;
    ChooserDialog dialog(r);
    dialog.show();

    // Going into a sub-folder (or anywhere else) brings the panel back.
    dialog.setDirectory(trash + "/Old Folder");
    Q_EMIT dialog.directoryEntered(trash + "/Old Folder");
    EXPECT_EQ(dialog.directory().absolutePath(), trash);

    ASSERT_TRUE(selectInList(dialog, 2, trash + "/Old Folder"));
    EXPECT_EQ(dialog.confirmButtonText(), u"Delete Selected Items");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenPaths(), QStringList{trash + "/Old Folder"});
}
