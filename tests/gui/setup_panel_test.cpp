#include "app/gui/setup_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <QToolBar>

#include "app/gui/add_type_panel.h"
#include "app/gui/app_actions.h"
#include "app/gui/folders_pane.h"
#include "app/gui/general_pane.h"
#include "app/gui/history_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/pack_pane.h"
#include "app/gui/removal_panel.h"
#include "app/gui/run_owner.h"
#include "app/gui/schedule_pane.h"
#include "app/gui/screen_fit.h"
#include "app/gui/trash_panel.h"
#include "gui_fixture.h"
#include "schedule/scheduler.h"
#include "support/qstring_printer.h"

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

}  // namespace

class SetupPanelTest : public GuiTest {
  protected:
    SetupPanel& panel() { return *window->setupPanel(); }
    FoldersPane& folders() { return *panel().foldersView; }
};

TEST_F(SetupPanelTest, FoldersPaneShowsEachCategorysTypesAndEditsNamesTypesAndFolders) {
    panel().doSetupPanel(SetupPanel::Folders);
    QTableView* types = folders().fileTypeTableView;
    const QStringList& image = controller->draft().types(Category::Image);
    clickRow(folders().folderTableView, 4);
    ASSERT_EQ(types->model()->rowCount(), image.size());

    // Only a plain, non-empty folder name replaces the old one.
    const QString before = controller->draft().folderNames.at(4);
    for (const char* name : {"", "..", "Pics/Old"}) {
        typeIntoCell(folders().folderTableView, 4, 0, QString::fromLatin1(name));
        EXPECT_EQ(controller->draft().folderNames.at(4), before) << name;
    }
    typeIntoCell(folders().folderTableView, 4, 0, QStringLiteral("Pictures"));
    EXPECT_EQ(controller->draft().folderNames.at(4), u"Pictures");

    // The add-type panel adds to the selected category; the archive row takes none. In a
    // list Insert does what its "+" button does and Delete what its "−" does.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Insert);
    AddTypePanel& add = *panel().addTypePanel();
    ASSERT_TRUE(add.isVisible());
    QTest::keyClicks(add.addTypeTextField, QStringLiteral("heic"));
    QTest::keyClicks(add.typeDescTextField, QStringLiteral("HEIF image"));
    QTest::mouseClick(add.addButton, Qt::LeftButton);
    EXPECT_FALSE(add.isVisible());
    EXPECT_TRUE(image.contains(QStringLiteral("heic - HEIF image")));
    EXPECT_EQ(types->model()->rowCount(), image.size());
    clickRow(folders().folderTableView, 0);
    EXPECT_EQ(types->model()->rowCount(), 0);
    QTest::mouseClick(folders().addTypeButton, Qt::LeftButton);
    QTest::mouseClick(add.addButton, Qt::LeftButton);
    EXPECT_TRUE(add.isVisible());
    add.hide();

    chooser.setNextAnswer(paths({home / "A", home / "B"}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    folders().myFoldersTableView->setFocus();
    QTest::keyClick(folders().myFoldersTableView, Qt::Key_Insert);
    ASSERT_EQ(folders().myFoldersTableView->model()->rowCount(), 2);
    clickRow(folders().myFoldersTableView, 0);
    QTest::keyClick(folders().myFoldersTableView, Qt::Key_Delete);
    EXPECT_EQ(controller->draft().listedFolders, QStringList{home / "B"});
    EXPECT_EQ(folders().myFoldersTableView->model()->rowCount(), 1);
}

TEST_F(SetupPanelTest, PackPaneEditsOneEntryAndItsButtonsEditTheListsAndPack) {
    controller->draft().packRows = {{"/a", "/x"}, {"/b", "/y"}, {"/c", "/z"}};
    window->refresh();
    panel().doSetupPanel(SetupPanel::Pack);
    PackPane& pack = *panel().packView;
    typeIntoCell(pack.packTableView, 2, 1, QStringLiteral("/Volumes/Stick"));
    EXPECT_EQ(controller->draft().packRows,
              QList<PackRow>({{"/a", "/x"}, {"/b", "/y"}, {"/c", "/Volumes/Stick"}}));
    QTest::mouseClick(pack.clearButton, Qt::LeftButton);
    EXPECT_EQ(pack.packTableView->model()->rowCount(), 0);

    writeFile(home / "Documents/Taxes/2024.txt", "numbers");
    makeFolder(home / "Stick");
    chooser.setNextAnswer(paths({home / "Documents/Taxes"}));
    chooser.appendAnswer(paths({home / "Stick"}));
    QTest::mouseClick(pack.addPackButton, Qt::LeftButton);
    ASSERT_EQ(pack.packTableView->model()->rowCount(), 1);
    EXPECT_EQ(pack.packTableView->model()->index(0, 1).data().toString(), home / "Stick");
    QTest::mouseClick(pack.reverseButton, Qt::LeftButton);
    ASSERT_EQ(pack.unpackTableView->model()->rowCount(), 1);
    EXPECT_EQ(pack.unpackTableView->model()->index(0, 0).data().toString(), home / "Stick/Taxes");

    QTest::mouseClick(window->buttonFor(QStringLiteral("packButton")), Qt::LeftButton);
    EXPECT_EQ(readFile(home / "Stick/Taxes/2024.txt"), "numbers");
}

TEST_F(SetupPanelTest, PaneKeysSwitchPanesAndEscapeDropsUnsavedEdits) {
    const QStringList savedNames = controller->draft().folderNames;
    panel().doSetupPanel(SetupPanel::General);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
    QTest::keyClick(&panel(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(panel().currentPane(), SetupPanel::Pack);
    QTest::keyClick(&panel(), Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(panel().currentPane(), SetupPanel::General);
    QTest::keyClick(&panel(), Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(panel().currentPane(), SetupPanel::Folders);

    typeIntoCell(folders().folderTableView, 2, 0, QStringLiteral("Zips"));
    panel().generalView->archiveYr->setCurrentText(QStringLiteral("2009"));
    // The views show the saved values again; what the draft holds is the core's.
    QTest::keyClick(&panel(), Qt::Key_Escape);
    EXPECT_EQ(panel().generalView->archiveYr->currentText(), u"None");
    EXPECT_EQ(folders().folderTableView->model()->index(2, 0).data().toString(), savedNames.at(2));
    EXPECT_FALSE(panel().isVisible());
}

// Tab runs through the pane bar, then the shown pane's controls as they read (a table is
// one stop, not a walk through its rows), then the buttons.
TEST_F(SetupPanelTest, TabRunsThroughThePaneBarThePaneAndThenTheButtons) {
    QList<QWidget*> bar;
    for (QAction* action : panel().setupToolbar->actions())
        if (QWidget* button = panel().setupToolbar->widgetForAction(action)) bar << button;
    ASSERT_EQ(bar.size(), 4);
    const QList<QWidget*> buttons = {panel().resetButton, panel().cancelButton, panel().saveButton};
    for (int pane = 0; pane < 4; ++pane) {
        SCOPED_TRACE(pane);
        panel().doSetupPanel(SetupPanel::Pane(pane));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel()));
        bar.first()->setFocus();
        QList<QWidget*> tabbed;
        do {
            tabbed << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget() != bar.first() && tabbed.size() < 60);
        ASSERT_GT(tabbed.size(), 7);
        EXPECT_EQ(tabbed.mid(0, 4), bar);
        EXPECT_EQ(tabbed.mid(tabbed.size() - 3), buttons);
        const QList<QWidget*> inPane = tabbed.mid(4, tabbed.size() - 7);
        QWidget* shown = QList<QWidget*>{panel().generalView, panel().foldersView,
                                         panel().scheduleView, panel().packView}
                             .at(pane);
        for (QWidget* w : inPane) {
            EXPECT_TRUE(shown->isAncestorOf(w)) << w->metaObject()->className();
            if (qobject_cast<QAbstractItemView*>(w)) {
                EXPECT_EQ(inPane.count(w), 1);
            }
        }
        if (pane == SetupPanel::Folders) {
            EXPECT_EQ(inPane,
                      (QList<QWidget*>{folders().folderTableView, folders().fileTypeTableView,
                                       folders().addTypeButton, folders().delTypeButton,
                                       folders().myFoldersTableView, folders().addFolderButton,
                                       folders().delFolderButton}));
        }
    }
}

// Laid out at its size, the window shows all of its content (scrolling where needed) and
// every button of it lies inside it.
void expectFits(QWidget* w, const QRect& area) {
    fitToArea(w, area);
    w->layout()->activate();
    const QString name = w->objectName();
    EXPECT_LE(w->width() + frameAllowance.width(), area.width()) << name.toStdString();
    EXPECT_LE(w->height() + frameAllowance.height(), area.height()) << name.toStdString();
    EXPECT_LE(w->layout()->totalMinimumSize().height(), w->height()) << name.toStdString();
    EXPECT_LE(w->layout()->totalMinimumSize().width(), w->width()) << name.toStdString();
    for (QPushButton* button : w->findChildren<QPushButton*>()) {
        if (button->window() != w || !button->isVisibleTo(w)) continue;
        bool scrolled = false;  // a button inside a scrolling pane may scroll out of view
        for (QWidget* p = button; p && p != w; p = p->parentWidget())
            scrolled = scrolled || qobject_cast<QScrollArea*>(p);
        if (scrolled) continue;
        const QRect rect(button->mapTo(w, QPoint(0, 0)), button->size());
        EXPECT_TRUE(w->rect().contains(rect)) << (name + ' ' + button->text()).toStdString();
    }
}

TEST_F(SetupPanelTest, EveryWindowFitsSmallScreensAndPaneSizesAndTheFrameAreKept) {
    // 1366x768 at scale 1, 1920x1080 at scale 2 and 1366x768 at scale 2, less a 32-pixel
    // panel, in the pixels the windows are laid out in.
    for (const QRect area :
         {QRect(0, 0, 1366, 736), QRect(0, 0, 960, 524), QRect(0, 0, 683, 368)}) {
        for (int pane = 0; pane < 4; ++pane) {
            panel().doSetupPanel(SetupPanel::Pane(pane));
            expectFits(&panel(), area);
            // Where there is room a pane shows whole, without scrolling.
            for (QScrollArea* scroller : panel().findChildren<QScrollArea*>()) {
                const int needed = scroller->widget()->minimumSizeHint().height();
                EXPECT_FALSE(area.height() > 700 && scroller->isVisible() &&
                             scroller->viewport()->height() < needed)
                    << pane;
            }
        }
        window->show();
        expectFits(window.get(), area);
        window->nameChangeWindow()->changeNames();
        expectFits(window->nameChangeWindow(), area);
        window->actions()->deleteTrashItems->trigger();
        expectFits(window->trashPanel(), area);
        window->removalPanel()->showList(RemovalChecklist{});
        expectFits(window->removalPanel(), area);
        window->findChild<QAction*>("historyAction")->trigger();
        expectFits(window->historyWindow(), area);
    }

    // A resizable pane reopens at the size the user gave it, in this run and the next,
    // with its top-left corner where it was; the main window keeps its frame too.
    panel().doSetupPanel(SetupPanel::Folders);
    panel().move(100, 120);
    const QPoint corner = panel().pos();
    panel().resize(520, 410);
    panel().doSetupPanel(SetupPanel::General);
    panel().doSetupPanel(SetupPanel::Folders);
    EXPECT_EQ(panel().size(), QSize(520, 410));
    EXPECT_EQ(panel().pos(), corner);
    panel().hide();
    window->setGeometry(120, 140, 640, 330);
    const QRect frame = window->geometry();
    window->close();
    startWindow();
    EXPECT_EQ(window->geometry(), frame);
    panel().doSetupPanel(SetupPanel::Folders);
    EXPECT_EQ(panel().size(), QSize(520, 410));
}

TEST_F(SetupPanelTest, ScheduleAndGeneralControlsWriteTheDraftAndTheButtonsTheCrontab) {
    SchedulePane& schedule = *panel().scheduleView;
    // The day boxes follow each other through the controller, both ways.
    schedule.byDay->setChecked(true);
    schedule.schedAll->setChecked(false);
    for (QCheckBox* day : schedule.weekdays) EXPECT_FALSE(day->isChecked());
    schedule.schedAll->setChecked(true);
    for (QCheckBox* day : schedule.weekdays) EXPECT_TRUE(day->isChecked());
    schedule.weekdays[3]->setChecked(false);
    EXPECT_FALSE(schedule.schedAll->isChecked());
    EXPECT_FALSE(controller->draft().schedule.days.everyDay);

    // A crontab that keeps what is written; the pane shows what it holds on opening and
    // after each change, and a missing tool in words.
    QByteArray crontab = "MAILTO=x\n";
    QWidget* owner = nullptr;
    tools.handler = [&](const ToolRequest& r) {
        owner = RunOwner::currentOr(nullptr);
        if (r.arguments == QStringList{"-"}) crontab = r.input.value_or(QByteArray());
        return FakeToolRunner::finished(0, crontab);
    };
    panel().doSetupPanel(SetupPanel::Schedule);
    EXPECT_EQ(schedule.currentEntry->text(), u"Desktidy is not scheduled now.");
    QTest::mouseClick(schedule.scheduleButton, Qt::LeftButton);
    EXPECT_EQ(owner, &panel());  // its alerts and progress stay above the Setup panel
    // The entry in words, its line below.
    EXPECT_EQ(schedule.currentEntry->text(),
              "Files your listed folders on Sundays, Mondays, Tuesdays, Thursdays, Fridays and "
              "Saturdays at 09:00.\n" +
                  QString(crontab).section(u'\n', 1, 1));
    QTest::mouseClick(schedule.removeScheduleButton, Qt::LeftButton);
    EXPECT_EQ(crontab, "MAILTO=x\n");
    tools.handler = [](const ToolRequest&) { return ToolResult{}; };  // not started
    panel().doSetupPanel(SetupPanel::Schedule);
    EXPECT_EQ(schedule.currentEntry->text(), Scheduler::missingToolMessage);
    tools.handler = nullptr;

    // A time of day or a step in hours, whichever applies; month and day need a year.
    schedule.everyHourCheck->setChecked(true);
    EXPECT_FALSE(schedule.schedTime->isEnabled());
    schedule.everyHourCheck->setChecked(false);
    GeneralPane& general = *panel().generalView;
    EXPECT_FALSE(general.archiveMo->isEnabled());
    general.archiveYr->setCurrentText(QStringLiteral("2011"));
    general.archiveMo->setCurrentIndex(3);
    EXPECT_EQ(controller->draft().archiveDate.month, u"03");

    schedule.byMonth->setChecked(true);
    EXPECT_FALSE(schedule.weekdays[0]->isEnabled());
    schedule.schedMonthButton->setCurrentIndex(0);
    schedule.schedMdayButton->setCurrentIndex(15);
    schedule.schedTime->setTime(QTime(14, 30));
    panel().generalView->updatesCheck->setChecked(false);
    controller->saveSetup();

    // Cancel after changing the time: the stored values show again.
    schedule.schedTime->setTime(QTime(6, 5));
    QTest::mouseClick(panel().cancelButton, Qt::LeftButton);
    EXPECT_EQ(schedule.schedTime->time(), QTime(14, 30));
    EXPECT_EQ(schedule.schedMdayButton->currentIndex(), 15);
    EXPECT_TRUE(schedule.byMonth->isChecked());
    EXPECT_FALSE(panel().generalView->updatesCheck->isChecked());

    // A stored title the pop-up does not list is added and shown.
    controller->draft().archiveDate.year = QStringLiteral("1975");
    panel().generalView->refresh();
    EXPECT_EQ(panel().generalView->archiveYr->currentText(), u"1975");
}

// The watch box hands the watch to the user's service manager, with the settle time saved
// first, and the pane shows whether the watch runs.
TEST_F(SetupPanelTest, TheWatchBoxStartsAndStopsTheWatchServiceAndShowsWhetherItRuns) {
    bool running = false;
    tools.handler = [&](const ToolRequest& r) {
        const QList<QByteArray>& words = r.arguments.bytes();
        if (words.contains("enable")) running = true;
        if (words.contains("disable")) running = false;
        if (words.contains("is-active"))
            return running ? FakeToolRunner::finished(0, "active\n")
                           : FakeToolRunner::finished(3, "inactive\n");
        return FakeToolRunner::finished(0);
    };
    SchedulePane& schedule = *panel().scheduleView;
    panel().doSetupPanel(SetupPanel::Schedule);
    EXPECT_EQ(schedule.watchState->text(), u"The watch is not running.");
    schedule.watchSettleBox->setValue(2.5);
    schedule.watchCheck->click();
    EXPECT_TRUE(running);
    EXPECT_EQ(controller->saved().watchSettle, 2.5);
    EXPECT_TRUE(schedule.watchCheck->isChecked());
    EXPECT_EQ(schedule.watchState->text(), u"The watch is running.");
    schedule.watchCheck->click();
    EXPECT_FALSE(running);
    EXPECT_FALSE(schedule.watchCheck->isChecked());

    tools.handler = [](const ToolRequest&) { return FakeToolRunner::finished(1); };
    schedule.watchCheck->click();
    EXPECT_FALSE(schedule.watchCheck->isChecked());
    EXPECT_TRUE(schedule.watchState->text().startsWith("No user service manager is running"));
}
