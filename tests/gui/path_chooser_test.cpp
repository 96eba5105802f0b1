#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>

#include "app/gui/qt_path_chooser.h"
#include "support/fake_tool_runner.h"
#include "support/faulty_file_system.h"
#include "support/qstring_printer.h"
#include "support/scripted_prompter.h"
#include "support/temp_home.h"
#include "trash/trash_emptying.h"

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
    EXPECT_EQ(chooser.choose(r), QList<Path>{asPath(home / "a.txt")});
}

TEST(QtPathChooser, TheTrashChooserStaysInTheTrashAndTakesFoldersAsItems) {
    TempHome home;
    const QString trash = home / "Trash/files";
    writeFile(trash + "/old.txt");
    writeFile(trash + "/Old Folder/inside.txt");
    ChooserRequest r;
    r.confirmButton = QStringLiteral("Delete Selected Items");
    r.chooseFiles = r.chooseFolders = r.multiple = true;
    r.startFolder = asPath(trash);
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
    EXPECT_EQ(dialog.chosenPaths(), QList<Path>{asPath(trash + "/Old Folder")});
}

TEST(QtPathChooser, ConfirmingTheTrashChooserWithNothingSelectedSaysSo) {
    TempHome home;
    const TrashLocation trash = TrashLocation::forHome(asPath(home.path()));
    const QString item = writeFile(text(trash.files()) + "/old.txt");
    ScriptedPrompter prompter;
    QtPathChooser chooser;
    FaultyFileSystem files;
    FakeToolRunner tools;
    TrashServices services{prompter, chooser, files, tools, ToolPaths{}, trash, asPath(home.path()),
                           {}};
    bool enabled = false;
    chooser.setDialogHook([&](ChooserDialog& dialog) {
        dialog.show();
        selectInList(dialog, 1, item);
        for (QAbstractItemView* view : dialog.findChildren<QAbstractItemView*>())
            if (view->objectName() == u"listView") view->clearSelection();
        enabled = dialog.confirmButton()->isEnabled();
        QTest::mouseClick(dialog.confirmButton(), Qt::LeftButton);
    });
    QList<Path> trashArray;
    EXPECT_EQ(deleteChosenTrashItems(services, trashArray), RunResult::Done);
    EXPECT_TRUE(enabled);
    EXPECT_EQ(trashArray, QList<Path>{trash.files()});
    EXPECT_EQ(prompter.calls, QStringList{"notice|No items were selected to be deleted."});
    EXPECT_TRUE(files.exists(asPath(item)));
}
