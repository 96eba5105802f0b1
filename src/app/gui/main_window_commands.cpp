#include <QAction>
#include <QApplication>
#include <QMenu>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "platform/recent_folders.h"

// The commands of the menus and buttons, each handed to the controller.
void MainWindow::bindControllerCommands() {
    auto bind = [this](QAction* action, std::function<void()> command) {
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    DesktidyController& c = controller_;
    bind(actions_->desktidy, [&c] { c.desktidy(); });
    bind(actions_->undesktidy, [&c] { c.undesktidy(); });
    bind(actions_->fileAllStashery, [&c] { c.fileAllStashery(); });
    bind(actions_->unfileAllStashery, [&c] { c.unfileAllStashery(); });
    bind(actions_->chooseFile, [&c] { c.chooseFile(); });
    bind(actions_->packStashery, [&c] { c.packStashery(); });
    bind(actions_->unpackStashery, [&c] { c.unpackStashery(); });
    bind(actions_->emptyTrash, [&c] { c.emptyTrash(); });

    // Open Recent lists the folders filed lately, read afresh each time it opens.
    connect(actions_->openRecent, &QMenu::aboutToShow, this, [this] {
        actions_->openRecent->clear();
        const QStringList folders =
            RecentFolders(RecentFolders::defaultFilePath(controller_.osHome)).folders();
        for (const QString& folder : folders)
            actions_->openRecent->addAction(folder, this, [this, folder] { openFile(folder); });
        if (folders.isEmpty())
            actions_->openRecent->addAction(tr("No Folders Filed Yet"))->setEnabled(false);
    });

    connect(actions_->deleteApp, &QAction::triggered, this, [this] {
        // The search runs on this thread; the cursor says so while it does.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool chosen = controller_.deleteApp();
        QApplication::restoreOverrideCursor();
        if (chosen) removalPanel_->showList();
    });
    connect(removalPanel_, &RemovalPanel::commandFinished, this, &MainWindow::refresh);
    connect(actions_->changeNames, &QAction::triggered, nameChangeWindow_,
            &NameChangeWindow::changeNames);
    connect(nameChangeWindow_, &NameChangeWindow::commandFinished, this, &MainWindow::refresh);
}
