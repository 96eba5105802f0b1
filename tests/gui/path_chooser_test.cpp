#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>

#include "app/gui/qt_path_chooser.h"
#include "support/qstring_printer.h"
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
    r.startFolder = asPath(home.path());
    ChooserDialog folders(r);
    EXPECT_EQ(folders.windowTitle(), u"Choose Destination");
    EXPECT_EQ(folders.confirmButtonText(), u"Choose");
    EXPECT_EQ(folders.directory().absolutePath(), home.path());
    r.chooseFiles = true;

    QtPathChooser chooser;
    chooser.setDialogHook([](ChooserDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(chooser.choose(r).has_value());
    chooser.setDialogHook([&](ChooserDialog& dialog) {
        dialog.show();
        selectInList(dialog, 1, home / "a.txt");
        dialog.accept();
    });
    EXPECT_EQ(chooser.choose(r), QList<Path>{asPath(home / "a.txt")});
}

TEST(QtPathChooser, FilesAndFoldersPanelsTakeAFolderAsAnItem) {
    TempHome home;
    writeFile(home / "Old Folder/inside.txt");
    ChooserRequest r;
    r.confirmButton = QStringLiteral("Add");
    r.chooseFiles = r.chooseFolders = true;
    ChooserDialog dialog(r);
    EXPECT_EQ(dialog.directory().absolutePath(), home.path());  // no start folder: home
    dialog.show();
    ASSERT_TRUE(selectInList(dialog, 1, home / "Old Folder"));
    EXPECT_EQ(dialog.confirmButtonText(), u"Add");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.chosenPaths(), QList<Path>{asPath(home / "Old Folder")});
}
