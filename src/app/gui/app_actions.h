#pragma once

#include <QKeySequence>
#include <QObject>

class QAction;
class QMenu;
class QMenuBar;

// Every command of the menus, with its text and keyboard shortcut. The main window's
// buttons trigger the same actions.
class AppActions : public QObject {
    Q_OBJECT
  public:
    explicit AppActions(QObject* parent);

    // File, Tools and Help, with Open Recent as a submenu of File.
    void buildMenus(QMenuBar* bar);

    // File
    QAction* desktidy;
    QAction* undesktidy;
    QAction* fileAllStashery;
    QAction* unfileAllStashery;
    QAction* chooseFolder;
    QAction* setup;
    QAction* quit;
    QMenu* openRecent = nullptr;  // made by buildMenus
    // Tools
    QAction* packStashery;
    QAction* unpackStashery;
    QAction* changeNames;
    QAction* deleteTrashItems;
    QAction* removeApplication;
    // Help
    QAction* about;
    QAction* checkVersion;

  private:
    QAction* make(const QString& text, const QKeySequence& shortcut = {});
};
