#include "app/gui/app_actions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

AppActions::AppActions(QObject* parent) : QObject(parent) {
    // The File menu's texts, less the access keys ("&"), are the ones the confirmation
    // messages refer to.
    desktidy = make(QStringLiteral("&Desktidy..."), QKeySequence(Qt::CTRL | Qt::Key_D));
    undesktidy = make(QStringLiteral("&Undesktidy..."), QKeySequence(Qt::CTRL | Qt::Key_U));
    fileAllStashery = make(QStringLiteral("File &All Stashery..."),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    unfileAllStashery = make(QStringLiteral("U&nfile All Stashery..."),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U));
    chooseFolder = make(tr("&Choose Folder..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    setup = make(tr("&Setup..."), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    quit = make(tr("&Quit"), QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    packStashery = make(tr("&Pack Stashery..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    unpackStashery =
        make(tr("&Unpack Stashery..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    changeNames = make(tr("Change &Names..."), QKeySequence(Qt::CTRL | Qt::Key_R));
    deleteTrashItems = make(tr("&Empty Some of the Trash..."));
    removeApplication = make(tr("&Remove an Application..."));

    about = make(tr("&About Desktidy"));
    about->setMenuRole(QAction::AboutRole);
    checkVersion = make(tr("Check for &Updates..."));
}

QAction* AppActions::make(const QString& text, const QKeySequence& shortcut) {
    auto* action = new QAction(text, this);
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

void AppActions::buildMenus(QMenuBar* bar) {
    QMenu* file = bar->addMenu(tr("&File"));
    file->addAction(desktidy);
    file->addAction(undesktidy);
    file->addAction(fileAllStashery);
    file->addAction(unfileAllStashery);
    file->addSeparator();
    file->addAction(chooseFolder);
    openRecent = file->addMenu(tr("Open &Recent"));
    file->addSeparator();
    file->addAction(setup);
    file->addSeparator();
    file->addAction(quit);

    QMenu* tools = bar->addMenu(tr("&Tools"));
    tools->addAction(packStashery);
    tools->addAction(unpackStashery);
    tools->addSeparator();
    tools->addAction(changeNames);
    tools->addSeparator();
    tools->addAction(deleteTrashItems);
    tools->addAction(removeApplication);

    QMenu* help = bar->addMenu(tr("&Help"));
    help->addAction(checkVersion);
    help->addAction(about);
}
