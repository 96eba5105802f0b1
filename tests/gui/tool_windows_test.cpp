#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "app/gui/app_actions.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "gui_fixture.h"
#include "support/qstring_printer.h"

// The name-change window and the removal panel: the controls bind to the core, whose
// rules the names and Trash tests pin.
using ToolWindowTest = GuiTest;

TEST_F(ToolWindowTest, TheControlsSetTheOptionsAndChangeNamesRenamesTheWorkingFolder) {
    const QString folder = home / "Trips";
    writeFile(folder + "/beach notes.txt");
    writeFile(folder + "/Beach Photo.JPG");
    window->openFile(folder);
    window->actions()->changeNames->trigger();
    NameChangeWindow& names = *window->nameChangeWindow();
    EXPECT_TRUE(names.isVisible());

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
    EXPECT_EQ(prompter.calls.first(),
              QStringLiteral("confirm|Change Names|Do you want to change the names of all of the "
                             "files and/or folders in %1?|OK")
                  .arg(folder));
    EXPECT_EQ(prompter.calls.last(), u"notice|The file and/or folder names have been changed.");
    EXPECT_EQ(displayed(files.listNames(asPath(folder), false)),
              QString("seanotes.txt|seaphoto.jpg").split(u'|'));

    // Clear unchecks the rules and empties the texts; the case choice stays.
    QTest::mouseClick(names.clearButton, Qt::LeftButton);
    EXPECT_FALSE(names.replaceCheck->isChecked());
    EXPECT_TRUE(names.replace1TextField->text().isEmpty());
    EXPECT_TRUE(names.upperLower->button(1)->isChecked());
    EXPECT_FALSE(controller->nameChangeOptions.caseCheck);
}

TEST_F(ToolWindowTest, AClickTogglesTheRowAndOnlyCheckedItemsGoToTheTrash) {
    const QString app = home / "Applications/Note Pad.app";
    writeFile(app + "/Contents/Info.plist");
    writeFile(home / ".config/Note Pad/settings.ini");
    writeFile(home / ".cache/Note Pad/cache.bin");
    startWindow();  // the folders searched are resolved at start-up

    chooser.setNextAnswer(paths({app}));
    window->actions()->deleteApp->trigger();
    RemovalPanel& panel = *window->removalPanel();
    ASSERT_TRUE(panel.isVisible());
    QTableView* table = panel.delAppTableView;
    const auto checkOf = [&](int row) {
        return table->model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
    };
    ASSERT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(table->verticalHeader()->sectionSize(0), 48);
    const QString label = table->model()->index(0, 2).data().toString();
    EXPECT_TRUE(label.startsWith(u"Note Pad.app - ") && label.endsWith(u'\n' + app))
        << label.toStdString();
    EXPECT_FALSE(table->model()->index(0, 1).data(Qt::DecorationRole).isNull());
    for (int row = 0; row < 3; ++row) EXPECT_EQ(checkOf(row), Qt::Checked);

    // A click anywhere in a row switches its box; a second click switches it back.
    clickRow(table, 1, 2);
    EXPECT_EQ(checkOf(1), Qt::Unchecked);
    clickRow(table, 1, 0);
    EXPECT_EQ(checkOf(1), Qt::Checked);
    clickRow(table, 1, 1);
    const QString kept = text(controller->appDisplayArray.at(1).itemPath());

    QTest::mouseClick(panel.moveButton, Qt::LeftButton);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(prompter.calls.last(),
              u"notice|The application and its related files have been put in the Trash.");
    EXPECT_TRUE(files.exists(asPath(kept)));
    EXPECT_FALSE(files.exists(asPath(app)));
    EXPECT_TRUE(
        files.exists(asPath(home / ".local/share/Trash/files/DKT Deleted Apps/Note Pad.app")));
}

TEST_F(ToolWindowTest, EmptySomeOfTheTrashDeletesTheChosenItemsAfterAsking) {
    const QString item = writeFile(home / ".local/share/Trash/files/old.txt");
    chooser.setNextAnswer(paths({item}));
    QTest::mouseClick(window->buttonFor(QStringLiteral("emptyTrashButton")), Qt::LeftButton);
    EXPECT_EQ(chooser.lastRequest().title, u"Empty Some of the Trash");
    EXPECT_TRUE(chooser.lastRequest().confineToStartFolder);
    EXPECT_TRUE(prompter.calls.first().startsWith(u"confirm|Delete?|"));
    EXPECT_FALSE(files.exists(asPath(item)));
}
