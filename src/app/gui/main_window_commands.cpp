#include <QAction>
#include <QApplication>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"

// The commands of the menus and buttons, each handed to the controller.
void MainWindow::bindControllerCommands() {
    auto bind = [this](QAction* action, std::function<void()> command) {
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    DesktidyController& c = controller_;
    bind(actions_->emptyTrash, [&c] { c.emptyTrash(); });

    connect(actions_->deleteApp, &QAction::triggered, this, [this] {
        // The search runs on this thread; the cursor says so while it does.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const bool chosen = controller_.deleteApp();
        QApplication::restoreOverrideCursor();
        if (chosen) removalPanel_->showList();
    });
    connect(removalPanel_, &RemovalPanel::commandFinished, this, &MainWindow::refresh);
    connect(actions_->changeNames, &QAction::triggered, nameChangeWindow_, &NameChangeWindow::changeNames);
    connect(nameChangeWindow_, &NameChangeWindow::commandFinished, this, &MainWindow::refresh);
}
