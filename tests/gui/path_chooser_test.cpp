#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QTest>
#include <functional>

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

// The removal's application chooser: a bundle is a folder, but Enter or a double-click on
// it chooses the application instead of opening it.
TEST(QtPathChooser, EnterOrADoubleClickOnABundleChoosesIt) {
    TempHome home;
    writeFile(home / "Applications/Foo.app/Contents/Info.plist");
    ChooserRequest r;
    r.confirmButton = QStringLiteral("Choose");
    r.chooseFiles = true;
    r.nameFilters = {QStringLiteral("*.app"), QStringLiteral("*.AppImage")};
    r.startFolder = asPath(home / "Applications");
    const QString bundle = home / "Applications/Foo.app";
    const std::pair<const char*, std::function<void(QAbstractItemView*, const QModelIndex&)>>
        gestures[] = {
            {"Enter", [](QAbstractItemView* view,
                         const QModelIndex&) { QTest::keyClick(view, Qt::Key_Return); }},
            {"double-click",
             [](QAbstractItemView* view, const QModelIndex& index) {
                 QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                                    view->visualRect(index).center());
             }},
        };
    for (const auto& [name, gesture] : gestures) {
        SCOPED_TRACE(name);
        QtPathChooser chooser;
        chooser.setDialogHook([&, &gesture = gesture](ChooserDialog& dialog) {
            dialog.show();
            ASSERT_TRUE(selectInList(dialog, 1, bundle));
            auto* model = dialog.findChild<QFileSystemModel*>();
            auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
            view->setCurrentIndex(model->index(bundle));
            view->setFocus();
            gesture(view, model->index(bundle));
        });
        EXPECT_EQ(chooser.choose(r), QList<Path>{asPath(bundle)});
    }
}
