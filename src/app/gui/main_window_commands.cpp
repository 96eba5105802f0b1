#include <QAction>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"

// The commands of the menus and buttons, each handed to the controller.
void MainWindow::bindControllerCommands() {
    connect(actions_->changeNames, &QAction::triggered, nameChangeWindow_, &NameChangeWindow::changeNames);
    connect(nameChangeWindow_, &NameChangeWindow::commandFinished, this, &MainWindow::refresh);
}
