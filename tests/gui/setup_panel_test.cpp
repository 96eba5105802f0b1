#include "app/gui/setup_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>

#include "app/gui/folders_pane.h"
#include "app/gui/general_pane.h"
#include "app/gui/list_models.h"
#include "app/gui/pack_pane.h"
#include "app/gui/schedule_pane.h"
#include "gui_fixture.h"

namespace {

// Types text into a cell through the table's editor, as a user does.
void typeIntoCell(QTableView* table, int row, int column, const QString& text) {
    const QModelIndex index = table->model()->index(row, column);
    table->setCurrentIndex(index);
    table->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(table->indexWidget(index));
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the delegate commits from the event loop
}

class SetupPanelTest : public GuiTest {
  protected:
    SetupPanel& panel() { return *window->setupPanel(); }
    FoldersPane& folders() { return *panel().foldersView; }
};

}  // namespace

TEST_F(SetupPanelTest, ChoosingACategoryRowShowsItsTypes) {
    panel().doSetupPanel(SetupPanel::Folders);
    QTableView* types = folders().fileTypeTableView;
    EXPECT_EQ(types->model()->rowCount(), controller->settings.audioTypesArray.size());

    clickRow(folders().folderTableView, 4);
    const QStringList& image = controller->settings.imageTypesArray;
    ASSERT_FALSE(image.isEmpty());
    ASSERT_EQ(types->model()->rowCount(), image.size());
    EXPECT_EQ(types->model()->index(0, 0).data().toString(), image.first());
    EXPECT_EQ(controller->form.folderTableViewSelectedRow, 4);

    clickRow(folders().folderTableView, 0);  // the archive folder has no types
    EXPECT_EQ(types->model()->rowCount(), 0);
}

TEST_F(SetupPanelTest, FolderNamesEditOnlyToPlainNamesAndOtherTablesIgnoreTyping) {
    panel().doSetupPanel(SetupPanel::Folders);
    const QString before = controller->settings.fileFoldersArray.at(4);
    for (const char* name : {"", "..", "Pics/Old"}) {
        typeIntoCell(folders().folderTableView, 4, 0, QString::fromLatin1(name));
        EXPECT_EQ(controller->settings.fileFoldersArray.at(4), before) << name;
    }
    typeIntoCell(folders().folderTableView, 4, 0, QStringLiteral("Pictures"));
    EXPECT_EQ(controller->settings.fileFoldersArray.at(4), u"Pictures");

    const QModelIndex type = folders().fileTypeTableView->model()->index(0, 0);
    EXPECT_FALSE(type.flags() & Qt::ItemIsEditable);
    const QString firstType = type.data().toString();
    EXPECT_FALSE(
        folders().fileTypeTableView->model()->setData(type, QStringLiteral("x"), Qt::EditRole));
    EXPECT_EQ(type.data().toString(), firstType);
}

TEST_F(SetupPanelTest, EditingPackRowTwoDestinationChangesOnlyThatEntry) {
    controller->settings.packFromArray = {QStringLiteral("/a"), QStringLiteral("/b"),
                                          QStringLiteral("/c")};
    controller->settings.packToArray = {QStringLiteral("/x"), QStringLiteral("/y"),
                                        QStringLiteral("/z")};
    window->refresh();
    panel().doSetupPanel(SetupPanel::Pack);
    QTableView* pack = panel().packView->packTableView;
    EXPECT_EQ(pack->model()->headerData(0, Qt::Horizontal, ColumnIdRole).toString(),
              u"packFromString");
    typeIntoCell(pack, 2, 1, QStringLiteral("/Volumes/Stick"));
    EXPECT_EQ(controller->settings.packToArray,
              (QStringList{QStringLiteral("/x"), QStringLiteral("/y"),
                           QStringLiteral("/Volumes/Stick")}));
    EXPECT_EQ(controller->settings.packFromArray,
              (QStringList{QStringLiteral("/a"), QStringLiteral("/b"), QStringLiteral("/c")}));
    typeIntoCell(pack, 0, 0, QString());  // any text, even the empty one, is taken
    EXPECT_EQ(controller->settings.packFromArray.at(0), QString());
}

TEST_F(SetupPanelTest, CancelDropsUnsavedEditsAndResetKeepsTheFolderList) {
    controller->settings.myFoldersArray = {QStringLiteral("/home/tester/Downloads")};
    controller->saveSetup();
    const QStringList savedNames = controller->settings.fileFoldersArray;
    window->refresh();
    panel().doSetupPanel(SetupPanel::Folders);

    typeIntoCell(folders().folderTableView, 2, 0, QStringLiteral("Zips"));
    panel().generalView->archiveYr->setCurrentText(QStringLiteral("2009"));
    EXPECT_EQ(controller->form.archiveYr, u"2009");
    QTest::mouseClick(panel().cancelButton, Qt::LeftButton);
    EXPECT_EQ(controller->settings.fileFoldersArray, savedNames);
    EXPECT_EQ(panel().generalView->archiveYr->currentText(), u"None");
    EXPECT_EQ(folders().folderTableView->model()->index(2, 0).data().toString(), savedNames.at(2));
    EXPECT_FALSE(panel().isVisible());

    panel().doSetupPanel(SetupPanel::Folders);
    typeIntoCell(folders().folderTableView, 2, 0, QStringLiteral("Zips"));
    controller->saveSetup();
    QTest::mouseClick(panel().resetButton, Qt::LeftButton);
    EXPECT_EQ(controller->settings.fileFoldersArray, savedNames);
    EXPECT_EQ(controller->settings.myFoldersArray,
              QStringList{QStringLiteral("/home/tester/Downloads")});
    EXPECT_EQ(folders().myFoldersTableView->model()->rowCount(), 1);
    EXPECT_TRUE(panel().isVisible());
    EXPECT_TRUE(prompter.calls.isEmpty());  // reset shows no notice

    QTest::mouseClick(panel().saveButton, Qt::LeftButton);
    EXPECT_EQ(prompter.calls, QStringList{QStringLiteral("notice|The Setup has been saved.")});
    EXPECT_TRUE(panel().isVisible());
}

TEST_F(SetupPanelTest, EachPaneGetsItsSizeRulesWithTheTopLeftCornerKept) {
    panel().move(100, 120);
    panel().doSetupPanel(SetupPanel::General);
    const QPoint corner = panel().pos();
    EXPECT_EQ(panel().size(), QSize(496, 310));
    EXPECT_EQ(panel().minimumSize(), QSize(496, 310));
    EXPECT_EQ(panel().maximumSize(), QSize(496, 310));
    EXPECT_FALSE(panel().isSizeGripEnabled());
    EXPECT_EQ(panel().windowTitle(), u"General");

    panel().doSetupPanel(SetupPanel::Folders);
    EXPECT_EQ(panel().size(), QSize(475, 397));
    EXPECT_EQ(panel().minimumSize(), QSize(475, 397));
    EXPECT_EQ(panel().maximumHeight(), QWIDGETSIZE_MAX);
    EXPECT_TRUE(panel().isSizeGripEnabled());

    panel().doSetupPanel(SetupPanel::Schedule);
    EXPECT_EQ(panel().size(), QSize(496, 421));
    EXPECT_EQ(panel().maximumSize(), QSize(496, 421));

    panel().doSetupPanel(SetupPanel::Pack);
    EXPECT_EQ(panel().size(), QSize(609, 580));
    EXPECT_EQ(panel().minimumSize(), QSize(609, 580));
    EXPECT_EQ(panel().maximumSize(), QSize(QWIDGETSIZE_MAX, 580));
    EXPECT_EQ(panel().windowTitle(), u"Pack Stashery");
    EXPECT_EQ(panel().pos(), corner);

    // The pack pane's maximum stays: the folders pane can no longer grow past 580.
    panel().doSetupPanel(SetupPanel::Folders);
    EXPECT_EQ(panel().maximumHeight(), 580);
    panel().resize(700, 560);
    panel().doSetupPanel(SetupPanel::General);
    panel().doSetupPanel(SetupPanel::Folders);
    EXPECT_EQ(panel().size(), QSize(700, 560));  // reopens at the size the user gave it
    EXPECT_EQ(panel().pos(), corner);
}

TEST_F(SetupPanelTest, EveryPaneFitsItsSizeAndTheScreen) {
    for (auto pane :
         {SetupPanel::General, SetupPanel::Folders, SetupPanel::Schedule, SetupPanel::Pack}) {
        panel().doSetupPanel(pane);
        const QSize needed = panel().layout()->totalMinimumSize();
        const QSize rules = SetupPanel::rulesFor(pane).size;
        EXPECT_LE(needed.width(), rules.width()) << pane;
        EXPECT_LE(needed.height(), rules.height()) << pane;
    }
    const QSize main = window->minimumSizeHint().expandedTo(window->size());
    EXPECT_LE(main.width(), 1280);
    EXPECT_LE(main.height(), 720);
}

TEST_F(SetupPanelTest, ScheduleAndGeneralControlsWriteTheFormAndShowItAgain) {
    SchedulePane& schedule = *panel().scheduleView;
    schedule.byMonth->setChecked(true);
    EXPECT_EQ(controller->form.byDayMonth, 1);
    EXPECT_FALSE(schedule.weekdays[0]->isEnabled());
    EXPECT_TRUE(schedule.schedMonthButton->isEnabled());
    schedule.schedMdayButton->setCurrentIndex(15);
    schedule.schedTime->setTime(QTime(14, 30));
    schedule.hoursStepper->setValue(3);
    schedule.weekdays[1]->setChecked(true);
    EXPECT_TRUE(controller->form.schedMon);
    panel().generalView->updatesCheck->setChecked(false);
    controller->saveSetup();
    EXPECT_EQ(controller->settings.schedMday, 15);
    EXPECT_EQ(controller->settings.setByDay, 0);
    EXPECT_EQ(controller->settings.hoursStep, 3);
    EXPECT_EQ(controller->settings.updatesState, 0);

    // Cancel after changing the time: the stored time shows again.
    schedule.schedTime->setTime(QTime(6, 5));
    QTest::mouseClick(panel().cancelButton, Qt::LeftButton);
    EXPECT_EQ(schedule.schedTime->time(), QTime(14, 30));
    EXPECT_EQ(schedule.schedMdayButton->currentIndex(), 15);
    EXPECT_TRUE(schedule.byMonth->isChecked());
    EXPECT_FALSE(panel().generalView->updatesCheck->isChecked());

    // A stored title the pop-up does not list is added and shown.
    controller->form.archiveYr = QStringLiteral("1975");
    panel().generalView->refresh();
    EXPECT_EQ(panel().generalView->archiveYr->currentText(), u"1975");
}

TEST_F(SetupPanelTest, DayBoxesFollowEachOtherAndTheScheduleButtonsWriteTheCrontab) {
    SchedulePane& schedule = *panel().scheduleView;
    schedule.byDay->setChecked(true);
    schedule.schedAll->setChecked(false);
    for (QCheckBox* day : schedule.weekdays) EXPECT_FALSE(day->isChecked());
    schedule.schedAll->setChecked(true);
    for (QCheckBox* day : schedule.weekdays) EXPECT_TRUE(day->isChecked());
    schedule.weekdays[3]->setChecked(false);
    EXPECT_FALSE(schedule.schedAll->isChecked());
    EXPECT_FALSE(controller->form.schedAll);
    EXPECT_TRUE(schedule.weekdays[0]->isChecked());

    tools.results.push_back(FakeToolRunner::finished(1, {}, "no crontab for tester\n"));
    QTest::mouseClick(schedule.scheduleButton, Qt::LeftButton);
    ASSERT_EQ(tools.requests.size(), 2);
    EXPECT_EQ(tools.requests.at(1).arguments, QStringList{QStringLiteral("-")});
    EXPECT_EQ(prompter.calls.last(), u"notice|Desktidy has been scheduled.");

    tools.results.push_back(
        FakeToolRunner::finished(0, tools.requests.at(1).input.value_or(QByteArray())));
    QTest::mouseClick(schedule.removeScheduleButton, Qt::LeftButton);
    EXPECT_EQ(prompter.calls.last(), u"notice|The Desktidy schedule has been removed.");
    EXPECT_TRUE(tools.requests.last().input.value_or("x").isEmpty());
}
