#include <QAction>
#include <QDropEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QTest>
#include <QToolButton>

#include "app/gui/app_actions.h"
#include "app/gui/path_control.h"
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
