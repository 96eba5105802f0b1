#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>

#include "app/desktidy_controller.h"
#include "app/gui/app_actions.h"
#include "app/gui/main_window.h"
#include "app/gui/name_change_window.h"
#include "app/gui/removal_panel.h"
#include "app/gui/run_owner.h"
#include "app/gui/trash_panel.h"
#include "app/gui/window_run_front_end.h"
#include "platform/recent_folders.h"
#include "trash/trash_records.h"

void MainWindow::bindControllerCommands() {
    connect(actions_->desktidy, &QAction::triggered, this, &MainWindow::desktidy);
    connect(actions_->undesktidy, &QAction::triggered, this, &MainWindow::undesktidy);
    connect(actions_->fileAllStashery, &QAction::triggered, this, &MainWindow::fileAllStashery);
    connect(actions_->unfileAllStashery, &QAction::triggered, this, &MainWindow::unfileAllStashery);
    connect(actions_->chooseFolder, &QAction::triggered, this, &MainWindow::chooseWorkingFolder);
    connect(actions_->packStashery, &QAction::triggered, this, &MainWindow::packStashery);
    connect(actions_->unpackStashery, &QAction::triggered, this, &MainWindow::unpackStashery);
    connect(actions_->deleteTrashItems, &QAction::triggered, this,
            &MainWindow::deleteChosenTrashItems);
    connect(actions_->removeApplication, &QAction::triggered, this,
            &MainWindow::listApplicationItems);
    connect(trashPanel_, &TrashPanel::itemsChosen, this, [this](const QList<Path>& paths) {
        // The Trash view closes once the deletion runs, before its closing notice; answered
        // "Cancel", or with nothing chosen, it stays with its selection.
        const QMetaObject::Connection closeOnRun =
            connect(runFrontEnd_, &WindowRunFrontEnd::ended, trashPanel_, &QWidget::hide);
        {
            const RunOwner owner(trashPanel_);
            (void)controller_.deleteTrashItems(paths);
        }
        disconnect(closeOnRun);
        refresh();
    });
    connect(trashPanel_, &TrashPanel::itemsToPutBack, this, [this](const QList<Path>& paths) {
        // Cancel keeps the list as it was, the selection too; a run shows what is left.
        RunResult result;
        {
            const RunOwner owner(trashPanel_);
            result = controller_.restoreTrashItems(paths);
        }
        if (result != RunResult::Cancelled && !paths.isEmpty()) deleteChosenTrashItems();
        refresh();
    });

    // Open Recent lists the folders filed lately, read afresh each time it opens.
    connect(actions_->openRecent, &QMenu::aboutToShow, this, [this] {
        actions_->openRecent->clear();
        // The working folder is kept as text, so only folders with a text form are offered.
        QStringList folders;
        for (const Path& folder :
             RecentFolders(RecentFolders::defaultFilePath(controller_.home())).folders())
            if (const std::optional<QString> text = folder.toText()) folders << *text;
        for (const QString& folder : folders)
            actions_->openRecent->addAction(QString(folder).replace(u'&', QStringLiteral("&&")),
                                            this, [this, folder] { showFolder(folder); });
        if (folders.isEmpty())
            actions_->openRecent->addAction(tr("No Folders Filed Yet"))->setEnabled(false);
    });

    connect(removalPanel_, &RemovalPanel::commandFinished, this, &MainWindow::refresh);
    connect(actions_->changeNames, &QAction::triggered, nameChangeWindow_,
            &NameChangeWindow::changeNames);
    connect(nameChangeWindow_, &NameChangeWindow::commandFinished, this, &MainWindow::refresh);
}

void MainWindow::desktidy() {
    (void)controller_.fileFolder(controller_.workingFolder());
    refresh();
}

void MainWindow::undesktidy() {
    (void)controller_.unfileFolder(controller_.workingFolder());
    refresh();
}

void MainWindow::fileAllStashery() {
    (void)controller_.fileListedFolders();
    refresh();
}

void MainWindow::unfileAllStashery() {
    (void)controller_.unfileListedFolders();
    refresh();
}

void MainWindow::packStashery() {
    (void)controller_.copyPackRows(PackSide::Pack);
    refresh();
}

void MainWindow::unpackStashery() {
    (void)controller_.copyPackRows(PackSide::Unpack);
    refresh();
}

void MainWindow::chooseWorkingFolder() {
    if (const std::optional<Path> chosen = askForWorkingFolder())
        if (controller_.keepWorkingFolder(*chosen) == RunResult::Done) resultLine_->clear();
    refresh();
}

void MainWindow::deleteChosenTrashItems() {
    const TrashLocation trash = controller_.trashLocation();
    FileSystem& files = controller_.services().files;
    if (const FileError error = makeTrashFolders(trash, files); !error.ok()) {
        controller_.services().prompter.criticalNotice(error.message);
        return;
    }
    // Sizing the folders reads every item in them; the cursor says so meanwhile.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<TrashEntry> entries = trashEntries(trash, files);
    QApplication::restoreOverrideCursor();
    trashPanel_->showItems(entries);
}

void MainWindow::listApplicationItems() {
    ChooserRequest request;
    request.title = QStringLiteral("Choose the Application to Remove");
    request.confirmButton = QStringLiteral("Choose");
    request.chooseFiles = true;
    request.chooseFolders = false;
    request.multiple = false;
    request.startFolder = controller_.applicationsFolder();
    request.nameFilters = {QStringLiteral("*.app"), QStringLiteral("*.AppImage")};
    const auto chosen = controller_.services().chooser.choose(request);
    if (!chosen || chosen->isEmpty()) return;  // the list shown before stays
    // The search runs on this thread; the cursor says so while it does.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    RemovalChecklist checklist = controller_.planRemoval(chosen->last());
    QApplication::restoreOverrideCursor();
    removalPanel_->showList(std::move(checklist));
}
