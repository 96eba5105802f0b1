#include <QAction>
#include <QApplication>
#include <QMenu>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "app/gui/trash_panel.h"
#include "platform/recent_folders.h"
#include "trash/trash_records.h"

// The commands of the menus and buttons, each handed to the controller.
void MainWindow::bindControllerCommands() {
    auto bind = [this](QAction* action, std::function<void()> command) {
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    };
    DesktidyController& c = controller_;
    // The window has no exit status: each run has told the user how it ended.
    bind(actions_->desktidy, [&c] { (void)c.desktidy(); });
    bind(actions_->undesktidy, [&c] { (void)c.undesktidy(); });
    bind(actions_->fileAllStashery, [&c] { (void)c.fileAllStashery(); });
    bind(actions_->unfileAllStashery, [&c] { (void)c.unfileAllStashery(); });
    bind(actions_->chooseFile, [&c] { (void)c.chooseFile(); });
    bind(actions_->packStashery, [&c] { (void)c.packStashery(); });
    bind(actions_->unpackStashery, [&c] { (void)c.unpackStashery(); });
    connect(actions_->emptyTrash, &QAction::triggered, this, &MainWindow::showTrash);
    connect(trashPanel_, &TrashPanel::itemsChosen, this, [this, &c](const QList<Path>& paths) {
        runCommand([&c, paths] {
            c.trashArray = paths;
            (void)c.deleteTrash();
        });
    });

    // Open Recent lists the folders filed lately, read afresh each time it opens.
    connect(actions_->openRecent, &QMenu::aboutToShow, this, [this] {
        actions_->openRecent->clear();
        // The working folder is kept as text, so only folders with a text form are offered.
        QStringList folders;
        for (const Path& folder :
             RecentFolders(RecentFolders::defaultFilePath(controller_.osHome)).folders())
            if (const std::optional<QString> text = folder.toText()) folders << *text;
        for (const QString& folder : folders)
            actions_->openRecent->addAction(QString(folder).replace(u'&', QStringLiteral("&&")),
                                            this, [this, folder] { openFile(folder); });
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

void MainWindow::showTrash() {
    const TrashLocation trash = controller_.trashLocation();
    FileSystem& files = controller_.services.files;
    if (const FileError error = makeTrashFolders(trash, files); !error.ok()) {
        controller_.services.prompter.criticalNotice(error.message);
        return;
    }
    // Sizing the folders reads every item in them; the cursor says so meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<TrashEntry> entries = trashEntries(trash, files);
    QApplication::restoreOverrideCursor();
    trashPanel_->showItems(entries);
}
