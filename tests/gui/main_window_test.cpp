#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/gui/app_actions.h"
#include "app/gui/path_control.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/update_checker.h"
#include "app/gui/window_run_front_end.h"
#include "gui_fixture.h"
#include "support/qstring_printer.h"

namespace {

QStringList shownBoxTexts() {
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            texts << box->text();
    return texts;
}

}  // namespace

using MainWindowTest = GuiTest;

TEST_F(MainWindowTest, TheWorkingFolderFromAnOpenADropOrThePathControlAndTheGreyOfAPalette) {
    // An opened or dropped folder is worked on but stored only by the next save.
    const QString stored = controller->saved().workingFolder;
    EXPECT_EQ(window->workingFolderControl()->path(), home.desktop());
    window->showFolder(home / "Projects");
    EXPECT_EQ(window->workingFolderControl()->path(), home / "Projects");
    EXPECT_EQ(controller->saved().workingFolder, stored);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(home / "Downloads")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: outside a real drag Qt's dispatcher drops the event.
    static_cast<QObject*>(window.get())->event(&drop);
    EXPECT_EQ(window->workingFolderControl()->path(), home / "Downloads");
    controller->saveSetup();
    EXPECT_EQ(controller->saved().workingFolder, home / "Downloads");

    // The path control chooses one folder; a cancelled chooser keeps the path.
    chooser.setNextAnswer(paths({home / "Music"}));
    QTest::mouseClick(window->workingFolderControl()->chooseButton, Qt::LeftButton);
    EXPECT_EQ(window->workingFolderControl()->path(), home / "Music");
    QTest::mouseClick(window->workingFolderControl()->chooseButton, Qt::LeftButton);
    EXPECT_EQ(window->workingFolderControl()->path(), home / "Music");

    // The grey follows a palette changed while the window is open.
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    QApplication::setPalette(dark);
    QCoreApplication::processEvents();
    const QPalette shown = window->centralWidget()->palette();
    EXPECT_LT(shown.color(QPalette::Window).lightnessF(), 0.5);
    EXPECT_GT(shown.color(QPalette::WindowText).lightnessF(), 0.5);
    QApplication::setPalette(light);
}

// The letter after "&" in a text; 0 where there is none.
QChar accessKey(const QString& text) {
    const qsizetype at = text.indexOf(u'&');
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

TEST_F(MainWindowTest, EveryCommandHasAnAccessKeyAndTabFollowsTheReadingOrder) {
    // Each menu's items, and the menu titles with the window's buttons, have keys of
    // their own.
    QStringList inWindow;
    for (QAction* menu : window->menuBar()->actions()) {
        inWindow << accessKey(menu->text());
        QStringList inMenu;
        for (QAction* item : menu->menu()->actions())
            if (!item->isSeparator()) inMenu << accessKey(item->text());
        EXPECT_FALSE(inMenu.contains(QChar())) << menu->text().toStdString();
        EXPECT_EQ(inMenu.removeDuplicates(), 0) << menu->text().toStdString();
    }
    QStringList order = {window->workingFolderControl()->chooseButton->text()};
    for (const char* name : {"file", "unfile", "fileAll", "unfileAll", "pack", "unpack",
                             "changeNames", "emptyTrash", "deleteApp", "setup"})
        order << window->buttonFor(QString::fromLatin1(name) + "Button")->text();
    for (const QString& text : order) inWindow << accessKey(text);
    EXPECT_FALSE(inWindow.contains(QChar()));
    EXPECT_EQ(inWindow.removeDuplicates(), 0) << inWindow.join(u' ').toStdString();

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->workingFolderControl()->chooseButton->setFocus();
    QStringList tabbed;
    for (int i = 0; i < order.size(); ++i) {
        auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
        tabbed << (focused ? focused->text() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(tabbed, order);
    EXPECT_EQ(QApplication::focusWidget(),
              window->workingFolderControl()->chooseButton);  // round again
}

TEST_F(MainWindowTest, CheckForUpdatesAnswersWithoutBlockingAndWaitsForARunToEnd) {
    UpdateChecker updates(QUrl(), QStringLiteral("0.1.0"));
    MainWindow shown(*controller, *state, &updates);
    const QString noFeed = QStringLiteral("No update feed is configured.");

    shown.runFrontEnd()->passBegins(QStringLiteral("Filing..."), 1, true);
    shown.actions()->checkVersion->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(shownBoxTexts().contains(noFeed));
    shown.runFrontEnd()->runEnded({});
    EXPECT_TRUE(QTest::qWaitFor([&] { return shownBoxTexts().contains(noFeed); }, 3000));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w)) w->close();
}
