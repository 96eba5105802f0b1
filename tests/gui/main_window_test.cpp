#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include "app/gui/app_actions.h"
#include "app/gui/path_control.h"
#include "app/gui/qt_prompter.h"
#include "app/gui/update_checker.h"
#include "gui_fixture.h"

namespace {

QStringList menuTexts(QMenuBar* bar, const QString& title) {
    for (QAction* menu : bar->actions())
        if (menu->text() == title) {
            QStringList texts;
            for (QAction* a : menu->menu()->actions())
                if (!a->isSeparator()) texts << a->text();
            return texts;
        }
    return {};
}

}  // namespace

using MainWindowTest = GuiTest;

TEST_F(MainWindowTest, MenusCarryTheCommandsUnderTheirExactNames) {
    EXPECT_EQ(window->windowTitle(), u"Desktidy");
    const QStringList file = menuTexts(window->menuBar(), QStringLiteral("&File"));
    for (const char* text : {"Desktidy...", "Undesktidy...", "File All Stashery...",
                             "Unfile All Stashery...", "Open Recent", "Choose Folder...", "Quit"})
        EXPECT_TRUE(file.contains(QString::fromUtf8(text))) << text;
    const QStringList help = menuTexts(window->menuBar(), QStringLiteral("&Help"));
    EXPECT_TRUE(help.contains(QStringLiteral("Check for Updates...")));
    EXPECT_TRUE(help.contains(QStringLiteral("About Desktidy")));
    EXPECT_EQ(window->actions()->desktidy->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
}

TEST_F(MainWindowTest, AnOpenedOrDroppedFolderBecomesTheWorkingFolderUntilTheNextSave) {
    const QString stored = controller->settings.pathString;
    EXPECT_EQ(window->pathControl()->path(), home.desktop());
    EXPECT_TRUE(window->openFile(home / "Projects"));
    EXPECT_EQ(window->pathControl()->path(), home / "Projects");
    EXPECT_EQ(controller->settings.pathString, stored);

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(home / "Downloads")});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    // Straight to the window: outside a real drag Qt's dispatcher drops the event.
    static_cast<QObject*>(window.get())->event(&drop);
    EXPECT_EQ(controller->form.myPathControl, home / "Downloads");
    EXPECT_EQ(window->pathControl()->path(), home / "Downloads");
    controller->saveSetup();
    EXPECT_EQ(controller->settings.pathString, home / "Downloads");
}

TEST_F(MainWindowTest, ThePathControlChoosesOneFolderWithChoose) {
    chooser.setNextAnswer(QStringList{home / "Music"});
    QTest::mouseClick(window->pathControl()->chooseButton, Qt::LeftButton);
    EXPECT_EQ(chooser.lastRequest().confirmButton, u"Choose");
    EXPECT_TRUE(chooser.lastRequest().chooseFolders);
    EXPECT_FALSE(chooser.lastRequest().chooseFiles);
    EXPECT_FALSE(chooser.lastRequest().multiple);
    EXPECT_EQ(window->pathControl()->path(), home / "Music");

    QTest::mouseClick(window->pathControl()->chooseButton, Qt::LeftButton);  // cancelled
    EXPECT_EQ(window->pathControl()->path(), home / "Music");
    EXPECT_EQ(PathControl::breadcrumb(QStringLiteral("/home/ann/Desktop")),
              QStringLiteral("/ \u203a home \u203a ann \u203a Desktop"));
}

TEST_F(MainWindowTest, WindowFrameIsKeptBetweenRuns) {
    window->show();
    window->setGeometry(120, 140, 640, 330);
    const QRect frame = window->geometry();
    window->close();
    startWindow();
    EXPECT_EQ(window->geometry(), frame);
}

namespace {

QStringList shownBoxTexts() {
    QStringList texts;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible())
            texts << box->text();
    return texts;
}

}  // namespace

TEST_F(MainWindowTest, CheckForUpdatesAnswersWithoutBlockingAndWaitsForARunToEnd) {
    UpdateChecker updates(QUrl(), QStringLiteral("0.1.0"));
    QtPrompter busy;
    MainWindow shown(*controller, *state, &updates);
    shown.setPrompter(&busy);

    busy.openProgress(QStringLiteral("Filing..."));
    shown.actions()->checkVersion->trigger();
    QTest::qWait(50);
    EXPECT_FALSE(shownBoxTexts().contains(QStringLiteral("No update feed is configured.")));
    busy.closeProgress();
    EXPECT_TRUE(QTest::qWaitFor(
        [] { return shownBoxTexts().contains(QStringLiteral("No update feed is configured.")); },
        3000));

    shown.actions()->about->trigger();
    EXPECT_TRUE(shownBoxTexts().contains(QStringLiteral("Desktidy")));
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(w)) w->close();
}
