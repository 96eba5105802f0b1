#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
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

TEST(QtPathChooser, OpensOnTheStartFolderAndGivesAFolderAsAnItemOnlyOnAccept) {
    TempHome home;
    writeFile(home / "Old Folder/inside.txt");
    ChooserRequest r;
    r.confirmButton = QStringLiteral("Add");
    r.chooseFiles = r.chooseFolders = true;
    EXPECT_EQ(ChooserDialog(r).directory().absolutePath(), home.path());  // no start folder
    r.startFolder = asPath(home / "Old Folder");
    EXPECT_EQ(ChooserDialog(r).directory().absolutePath(), home / "Old Folder");
    r.startFolder = asPath(home.path());

    QtPathChooser chooser;
    chooser.setDialogHook([](ChooserDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(chooser.choose(r).has_value());
    chooser.setDialogHook([&](ChooserDialog& dialog) {
        dialog.show();
        EXPECT_TRUE(selectInList(dialog, 1, home / "Old Folder"));
        dialog.accept();
    });
    EXPECT_EQ(chooser.choose(r), QList<Path>{asPath(home / "Old Folder")});
}
