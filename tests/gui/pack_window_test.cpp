#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "app/gui/pack_pane.h"
#include "app/gui/setup_panel.h"
#include "gui_fixture.h"

using PackWindowTest = GuiTest;

TEST_F(PackWindowTest, ThePackPaneButtonsEditTheListsAndPackCopiesThem) {
    SetupPanel& panel = *window->setupPanel();
    PackPane& pack = *panel.packView;
    panel.doSetupPanel(SetupPanel::Pack);
    const QString source = writeFile(home / "Documents/Taxes/2024.txt", "numbers");
    makeFolder(home / "Stick");

    chooser.setNextAnswer(QStringList{home / "Documents/Taxes"});
    chooser.appendAnswer(QStringList{home / "Stick"});
    QTest::mouseClick(pack.addPackButton, Qt::LeftButton);
    EXPECT_EQ(chooser.lastRequest().title, u"Choose Destination");
    ASSERT_EQ(pack.packTableView->model()->rowCount(), 1);
    EXPECT_EQ(pack.packTableView->model()->index(0, 1).data().toString(), home / "Stick");

    QTest::mouseClick(pack.reverseButton, Qt::LeftButton);
    ASSERT_EQ(pack.unpackTableView->model()->rowCount(), 1);
    EXPECT_EQ(pack.unpackTableView->model()->index(0, 0).data().toString(), home / "Stick/Taxes");

    QTest::mouseClick(window->buttonFor(QStringLiteral("packButton")), Qt::LeftButton);
    EXPECT_TRUE(prompter.calls.first().startsWith(u"confirm|Pack these files?|"));
    EXPECT_TRUE(prompter.calls.contains(QStringLiteral("progress|Copying...")));
    EXPECT_EQ(prompter.calls.last(), u"notice|All done packing your files for the road.");
    EXPECT_EQ(readFile(home / "Stick/Taxes/2024.txt"), "numbers");
    EXPECT_EQ(notifier.posted.size(), 1);

    clickRow(pack.unpackTableView, 0);
    QTest::mouseClick(pack.delUnpackButton, Qt::LeftButton);
    EXPECT_EQ(pack.unpackTableView->model()->rowCount(), 0);
    QTest::mouseClick(pack.clearButton, Qt::LeftButton);
    EXPECT_EQ(pack.packTableView->model()->rowCount(), 0);
    EXPECT_TRUE(controller->settings.packToArray.isEmpty());
}
