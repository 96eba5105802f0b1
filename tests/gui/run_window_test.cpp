#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTimer>
#include <functional>

#include "app/gui/app_actions.h"
#include "app/gui/folders_pane.h"
#include "app/gui/name_change_window.h"
#include "app/gui/progress_panel.h"
#include "app/gui/setup_panel.h"
#include "app/gui/window_run_front_end.h"
#include "gui_fixture.h"
#include "runs/run_history.h"
#include "support/qstring_printer.h"

namespace {

using RunWindowTest = GuiTest;

QString resultLineOf(const MainWindow& window) {
    return window.findChild<QLabel*>("resultLine")->text();
}

// The count the panel shows ("120 of 2000"), 0 before it shows one.
int shownCount(ProgressPanel* panel) {
    return panel->findChild<QLabel*>("progressCount")->text().section(' ', 0, 0).toInt();
}

// The panel's own Cancel, Escape in it, and the main window's close button stop a long
// filing after the item in hand, as the user makes them: through the windows, while the
// run holds the main thread. What moved stays filed, the record ends as stopped.
TEST_F(RunWindowTest, CancelEscapeAndClosingStopALongFilingAfterTheItemInHand) {
    const auto restoreLocale = qScopeGuard([before = QLocale()] { QLocale::setDefault(before); });
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ProgressPanel* panel = window->runFrontEnd()->progressPanel();
    const std::pair<const char*, std::function<void()>> stops[] = {
        {"Cancel",
         [&] {
             auto* cancel = panel->findChild<QPushButton*>();
             QTest::mouseClick(panel->windowHandle(), Qt::LeftButton, {},
                               cancel->mapTo(panel, cancel->rect().center()));
         }},
        {"Escape", [&] { QTest::keyClick(panel->windowHandle(), Qt::Key_Escape); }},
        {"close", [&] { window->close(); }},  // last: the window closes once the run ends
    };
    constexpr int count = 2000;
    int run = 0;
    for (const auto& [name, stop] : stops) {
        SCOPED_TRACE(name);
        const QString folder = home / QString("Desk %1").arg(name);
        for (int i = 0; i < count; ++i) writeFile(folder + QString("/%1.jpg").arg(i));
        window->showFolder(folder);
        // Once the run has filed a few items, the user stops it.
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&, stop = stop] {
            if (!panel->isVisible() || shownCount(panel) < 20) return;
            user.stop();
            stop();
        });
        user.start(0);
        QTest::mouseClick(window->buttonFor(QStringLiteral("fileButton")), Qt::LeftButton);
        ++run;

        const int filed = int(QDir(folder + "/Images").entryList(QDir::Files).size());
        EXPECT_GE(filed, 20);
        EXPECT_LT(filed, count);
        // Its counts are grouped as the desktop's language groups them.
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        EXPECT_EQ(resultLineOf(*window),
                  QString("Filed %1 items into 1 folder. Cancelled after %1 of 2,000.")
                      .arg(english.toString(filed)));
        const std::optional<RunRecord> record = controller->runHistory().read(run);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->end, "stopped");
        EXPECT_EQ(record->itemCount(files), filed);
        EXPECT_FALSE(panel->isVisible());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 3000));
}

// Filing from the window shows its result; Ctrl+Z works from the first run on, without the
// Edit menu opened first, in the main window and in Change Names; the result line tells the
// undo, and goes when another folder is shown; an open Change Names window plans again
// after each run, as the names under it changed.
TEST_F(RunWindowTest, FilingAndCtrlZFromTheWindowAndTheWindowFollows) {
    for (const char* name : {"notes.txt", "photo.jpg", "song.mp3"})
        writeFile(home.desktop() + u'/' + QString::fromLatin1(name));
    window->setGeometry(200, 150, 400, 300);  // on the 800x600 screen of the tests
    window->show();
    NameChangeWindow* names = window->nameChangeWindow();
    names->setOptions({.prefixStringCheck = true, .prefixTextField = "x-"});
    window->actions()->changeNames->trigger();
    EXPECT_EQ(names->preview->rowCount(), 3);
    // The first time it opens over the main window, not in a corner of the screen (as
    // tall as the screen, it is centred across only).
    const QPoint middle = window->geometry().center();
    EXPECT_LE(std::abs(names->geometry().center().x() - middle.x()), 2);
    EXPECT_TRUE(names->geometry().contains(middle));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    QTest::mouseClick(window->buttonFor(QStringLiteral("fileButton")), Qt::LeftButton);
    EXPECT_EQ(resultLineOf(*window), "Filed 3 items into 3 folders.");
    EXPECT_EQ(names->preview->rowCount(), 0);  // only folders are left at the top
    // The category table shows the last category the run went through; Open Recent lists
    // the folder.
    EXPECT_EQ(FoldersPane::selectedRows(window->setupPanel()->foldersView->folderTableView),
              QList<int>{8});
    window->actions()->openRecent->aboutToShow();
    ASSERT_FALSE(window->actions()->openRecent->actions().isEmpty());
    EXPECT_EQ(window->actions()->openRecent->actions().first()->text(), home.desktop());

    // The user comes back to the window (with no window manager, the test must say so).
    ASSERT_TRUE(QTest::qWaitFor([&] {
        window->activateWindow();
        return window->isActiveWindow();
    }));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(displayed(files.listNames(asPath(home.desktop()), true)),
              (QStringList{"notes.txt", "photo.jpg", "song.mp3"}));
    EXPECT_EQ(resultLineOf(*window), "Undid run 1 (Desktidy): 3 items moved back.");
    EXPECT_EQ(names->preview->rowCount(), 3);

    // In the Change Names window Ctrl+Z undoes its run as well.
    names->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(names));
    QTest::mouseClick(names->runButton, Qt::LeftButton);
    EXPECT_EQ(displayed(files.listNames(asPath(home.desktop()), true)),
              (QStringList{"x-notes.txt", "x-photo.jpg", "x-song.mp3"}));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        names->activateWindow();
        return names->isActiveWindow();
    }));
    QTest::keyClick(names->runButton, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(displayed(files.listNames(asPath(home.desktop()), true)),
              (QStringList{"notes.txt", "photo.jpg", "song.mp3"}));

    // Undesktidy... puts back what is filed.
    QTest::mouseClick(window->buttonFor(QStringLiteral("fileButton")), Qt::LeftButton);
    window->actions()->undesktidy->trigger();
    EXPECT_EQ(displayed(files.listNames(asPath(home.desktop()), true)),
              (QStringList{"notes.txt", "photo.jpg", "song.mp3"}));

    window->showFolder(home / "Elsewhere");
    EXPECT_EQ(resultLineOf(*window), "");
}

}  // namespace
