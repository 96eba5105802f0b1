#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>

#include "app/gui/app_actions.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "app/gui/trash_panel.h"
#include "gui_fixture.h"
#include "platform/recent_folders.h"
#include "support/qstring_printer.h"
#include "trash/trash_records.h"

// The name-change window and the removal panel: the controls bind to the core, whose
// rules the names and Trash tests pin.
using ToolWindowTest = GuiTest;

TEST_F(ToolWindowTest, TheControlsSetTheOptionsAndChangeNamesRenamesTheWorkingFolder) {
    const QString folder = home / "Trips";
    writeFile(folder + "/beach notes.txt");
    writeFile(folder + "/Beach Photo.JPG");
    window->showFolder(folder);
    window->actions()->changeNames->trigger();
    NameChangeWindow& names = *window->nameChangeWindow();

    // Each control writes its option; the renaming itself is the core's.
    QTest::mouseClick(names.replaceCheck, Qt::LeftButton);
    QTest::keyClicks(names.replace1TextField, QStringLiteral("beach"));
    QTest::keyClicks(names.replace2TextField, QStringLiteral("Sea"));
    names.ignoreCaseCheck->setChecked(true);
    names.removeSpacesCheck->setChecked(true);
    names.caseCheck->setChecked(true);
    names.upperLower->button(1)->setChecked(true);
    // The preview follows the options before anything is renamed.
    ASSERT_EQ(names.preview->rowCount(), 2);
    EXPECT_EQ(names.preview->item(0, 0)->text(), u"Beach Photo.JPG");
    EXPECT_EQ(names.preview->item(0, 1)->text(), u"seaphoto.jpg");
    QTest::mouseClick(names.runButton, Qt::LeftButton);
    EXPECT_EQ(displayed(files.listNames(asPath(folder), false)),
              QString("seanotes.txt|seaphoto.jpg").split(u'|'));
    EXPECT_EQ(RecentFolders(RecentFolders::defaultFilePath(home.path())).folders().value(0),
              asPath(folder));  // Open Recent lists it

    // Clear unchecks the rules and empties the texts; the case choice stays.
    QTest::mouseClick(names.clearButton, Qt::LeftButton);
    EXPECT_FALSE(names.replaceCheck->isChecked());
    EXPECT_TRUE(names.replace1TextField->text().isEmpty());
    EXPECT_TRUE(names.upperLower->button(1)->isChecked());
    EXPECT_FALSE(window->nameChangeWindow()->options().caseCheck);
}

TEST_F(ToolWindowTest, AClickTogglesTheRowAndOnlyCheckedItemsGoToTheTrash) {
    const QString app = home / "Applications/Note Pad.app";
    writeFile(app + "/Contents/Info.plist");
    writeFile(home / ".config/Note Pad/settings.ini");
    writeFile(home / ".cache/Note Pad/cache.bin");
    startWindow();  // the folders searched are resolved at start-up

    chooser.setNextAnswer(paths({app}));
    window->actions()->removeApplication->trigger();
    RemovalPanel& panel = *window->removalPanel();
    ASSERT_TRUE(panel.isVisible());
    QTableView* table = panel.delAppTableView;
    const auto checkOf = [&](int row) {
        return table->model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
    };
    ASSERT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(checkOf(1), Qt::Checked);

    // A click anywhere in a row switches its box; a second click switches it back.
    clickRow(table, 1, 2);
    EXPECT_EQ(checkOf(1), Qt::Unchecked);
    clickRow(table, 1, 0);
    EXPECT_EQ(checkOf(1), Qt::Checked);
    QTest::keyClick(table, Qt::Key_Space);  // on the row clicked last
    EXPECT_EQ(checkOf(1), Qt::Unchecked);
    const QString kept = text(panel.checklist().row(1).itemPath());

    QTest::mouseClick(panel.moveButton, Qt::LeftButton);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(files.exists(asPath(kept)));
    EXPECT_FALSE(files.exists(asPath(app)));
    EXPECT_TRUE(
        files.exists(asPath(home / ".local/share/Trash/files/DKT Deleted Apps/Note Pad.app")));

    // A row inside a checked folder follows it and looks disabled until the folder is
    // unchecked.
    RemovalList nested;
    nested.rows = {DelAppRow(asPath(app), {}), DelAppRow(asPath(app + "/x"), {})};
    nested.folders = {asPath(app)};
    panel.showList(RemovalChecklist(nested));
    const auto enabled = [&](int row) {
        return bool(table->model()->flags(table->model()->index(row, 0)) & Qt::ItemIsEnabled);
    };
    EXPECT_TRUE(checkOf(1) == Qt::Checked && !enabled(1));
    table->setCurrentIndex(table->model()->index(0, 2));
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_TRUE(checkOf(1) == Qt::Unchecked && enabled(1));

    // An item that only may be related starts unchecked and says so after its size.
    RemovalList loose;
    loose.rows = {
        DelAppRow(asPath(home / "Padlock"), "Padlock - 4.0 KB\n" + home / "Padlock", true)};
    panel.showList(RemovalChecklist(loose));
    EXPECT_EQ(checkOf(0), Qt::Unchecked);
    EXPECT_EQ(table->model()->index(0, 2).data().toString(),
              "Padlock - 4.0 KB  (may be related)\n" + home / "Padlock");
    // The labels are in the desktop's font, as every other window's text; such a row's
    // in its italic.
    loose.rows << DelAppRow(asPath(app), "Note Pad.app - 4.0 KB\n" + app);
    panel.showList(RemovalChecklist(loose));
    for (const int row : {0, 1}) {
        const QFont shown = table->model()
                                ->index(row, 2)
                                .data(Qt::FontRole)
                                .value<QFont>()
                                .resolve(QApplication::font(table));
        EXPECT_EQ(shown.family(), QApplication::font(table).family());
        EXPECT_EQ(shown.pointSizeF(), QApplication::font(table).pointSizeF());
        EXPECT_EQ(shown.italic(), row == 0);
    }
}

TEST_F(ToolWindowTest, TheTrashViewListsNewestFirstDeletesAndPutsBackOnlyTheSelectedItems) {
    // No Trash yet: it is made, empty, and nothing else is shown.
    QTest::mouseClick(window->buttonFor(QStringLiteral("emptyTrashButton")), Qt::LeftButton);
    TrashPanel& panel = *window->trashPanel();
    QTreeWidget* table = panel.trashTableView;
    ASSERT_TRUE(panel.isVisible());
    EXPECT_EQ(table->topLevelItemCount(), 0);
    const TrashLocation trash = controller->trashLocation();
    EXPECT_TRUE(files.exists(trash.files()) && files.exists(trash.info()));

    const QDateTime day(QDate(2024, 5, 6), QTime(7, 8, 9));
    const QStringList names = {"old.txt", "new.txt", "mid.txt"};
    for (int i = 0; i < 3; ++i) {
        writeFile(text(trash.files()) + u'/' + names[i]);
        (void)writeTrashRecord(trash, names[i].toUtf8(), asPath(home / "Docs/" + names[i]),
                               day.addDays(i == 0 ? 0 : 3 - i));
    }
    window->actions()->deleteTrashItems->trigger();
    ASSERT_EQ(table->topLevelItemCount(), 3);  // the labels are the Trash listing's
    EXPECT_EQ(table->topLevelItem(0)->text(0), u"new.txt");
    EXPECT_EQ(table->topLevelItem(0)->text(1), home / "Docs");

    // Enter with nothing selected says so and keeps the list open.
    prompter.calls.clear();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(prompter.calls, QStringList{"notice|No items were selected to be deleted."});
    EXPECT_TRUE(panel.isVisible());

    // Two rows chosen with Ctrl and the Delete key: the question names them. "Cancel"
    // keeps the list open with its selection; the second time only they go.
    prompter.calls.clear();
    clickRow(table, 0);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      table->visualItemRect(table->topLevelItem(2)).center());
    prompter.confirmAnswers = {false, true};
    QTest::keyClick(table, Qt::Key_Delete);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls.first(),
              "confirm|Delete?|Do you want to permanently delete these items?  This cannot be "
              "undone.\n\n2 items:\nnew.txt\nold.txt|Delete");
    EXPECT_TRUE(panel.isVisible());
    EXPECT_EQ(table->selectedItems().size(), 2);
    EXPECT_TRUE(files.exists(trash.files() / "new.txt"));
    QTest::mouseClick(panel.deleteButton, Qt::LeftButton);
    EXPECT_EQ(prompter.calls.at(1), prompter.calls.first());
    EXPECT_FALSE(panel.isVisible());
    EXPECT_FALSE(files.exists(trash.files() / "new.txt") ||
                 files.exists(trash.files() / "old.txt"));
    EXPECT_TRUE(files.exists(trash.files() / "mid.txt"));

    // "Put Back" sends the selected items back where they came from; the view stays open and
    // lists what is left. Cancel on its question keeps the list and selection.
    writeFile(text(trash.files()) + "/b.txt", "b.txt");
    ASSERT_TRUE(writeTrashRecord(trash, "b.txt", asPath(home / "Docs/b.txt"), day).ok());
    window->actions()->deleteTrashItems->trigger();
    ASSERT_EQ(table->topLevelItemCount(), 2);
    prompter.calls.clear();
    QTest::mouseClick(panel.putBackButton, Qt::LeftButton);
    EXPECT_EQ(prompter.calls, QStringList{"notice|No items were selected to be put back."});
    clickRow(table, 0);  // mid.txt, the newest
    prompter.confirmAnswers = {false};
    QTest::mouseClick(panel.putBackButton, Qt::LeftButton);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(table->topLevelItem(0)->isSelected());
    EXPECT_TRUE(files.exists(trash.files() / "mid.txt"));

    QTest::mouseClick(panel.putBackButton, Qt::LeftButton);
    EXPECT_TRUE(files.exists(asPath(home / "Docs/mid.txt")));
    ASSERT_TRUE(panel.isVisible());
    ASSERT_EQ(table->topLevelItemCount(), 1);
    EXPECT_EQ(table->topLevelItem(0)->text(TrashPanel::NameColumn), u"b.txt");
}
