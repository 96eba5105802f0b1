#include "app/gui/removal_panel.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/gui/app_actions.h"
#include "app/gui/list_models.h"
#include "gui_fixture.h"

namespace {

Qt::CheckState checkOf(QTableView* table, int row) {
    return table->model()->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>();
}

}  // namespace

using RemovalPanelTest = GuiTest;

TEST_F(RemovalPanelTest, AClickTogglesTheRowAndOnlyCheckedItemsGoToTheTrash) {
    const QString app = home / "Applications/Note Pad.app";
    writeFile(app + "/Contents/Info.plist");
    writeFile(home / ".config/Note Pad/settings.ini");
    writeFile(home / ".cache/Note Pad/cache.bin");
    startWindow();  // the folders searched are resolved at start-up

    chooser.setNextAnswer(QStringList{app});
    window->actions()->deleteApp->trigger();
    RemovalPanel& panel = *window->removalPanel();
    ASSERT_TRUE(panel.isVisible());
    QTableView* table = panel.delAppTableView;
    ASSERT_EQ(table->model()->rowCount(), 3);
    EXPECT_EQ(table->verticalHeader()->sectionSize(0), 48);
    EXPECT_EQ(table->model()->headerData(0, Qt::Horizontal, ColumnIdRole).toString(),
              u"delAppCheck");
    EXPECT_EQ(table->model()->headerData(2, Qt::Horizontal, ColumnIdRole).toString(),
              u"delAppPath");
    EXPECT_TRUE(table->model()->index(0, 2).data().toString().startsWith(u"Note Pad.app - "));
    EXPECT_TRUE(table->model()->index(0, 2).data().toString().endsWith(QStringLiteral("\n") + app));
    EXPECT_FALSE(table->model()->index(0, 1).data(Qt::DecorationRole).isNull());
    for (int row = 0; row < 3; ++row) EXPECT_EQ(checkOf(table, row), Qt::Checked);

    // A click anywhere in a row switches its box; a second click switches it back.
    clickRow(table, 1, 2);
    EXPECT_EQ(checkOf(table, 1), Qt::Unchecked);
    clickRow(table, 1, 0);
    EXPECT_EQ(checkOf(table, 1), Qt::Checked);
    clickRow(table, 1, 1);
    const QString kept = controller->appDisplayArray.at(1).itemPath();

    QTest::mouseClick(panel.moveButton, Qt::LeftButton);
    EXPECT_FALSE(panel.isVisible());
    EXPECT_EQ(prompter.calls.last(),
              u"notice|The application and its related files have been put in the Trash.");
    EXPECT_TRUE(files.exists(kept));
    EXPECT_FALSE(files.exists(app));
    EXPECT_TRUE(files.exists(home / ".local/share/Trash/files/DKT Deleted Apps/Note Pad.app"));
}

TEST_F(RemovalPanelTest, EmptySomeOfTheTrashDeletesTheChosenItemsAfterAsking) {
    const QString item = writeFile(home / ".local/share/Trash/files/old.txt");
    chooser.setNextAnswer(QStringList{item});
    QTest::mouseClick(window->buttonFor(QStringLiteral("emptyTrashButton")), Qt::LeftButton);
    EXPECT_EQ(chooser.lastRequest().title, u"Empty Some of the Trash");
    EXPECT_TRUE(chooser.lastRequest().confineToStartFolder);
    EXPECT_TRUE(prompter.calls.first().startsWith(u"confirm|Delete?|"));
    EXPECT_FALSE(files.exists(item));
}
