#pragma once

#include <QDialog>
#include <QSize>
#include <functional>

#include "app/desktidy_controller.h"

class AddTypePanel;
class DesktidyController;
class FoldersPane;
class GeneralPane;
class PackPane;
class QActionGroup;
class QPushButton;
class QScrollArea;
class QToolBar;
class QVBoxLayout;
class SchedulePane;
class WindowStateStore;

// The Setup panel: a toolbar of four panes (General, Folders, Schedule, Pack Stashery)
// and the Save, Cancel and Reset buttons. Showing a pane sizes the panel around it and
// sets that pane's resize rules; the top-left corner stays where it is. The panel never
// grows past the screen: the pane scrolls instead. The sizes the user gives the resizable
// panes are kept between runs.
class SetupPanel : public QDialog {
    Q_OBJECT
  public:
    enum Pane { General = 0, Folders = 1, Schedule = 2, Pack = 3 };

    // How the panel may be resized while a pane shows.
    struct SizeRules {
        QSize size;         // the size the pane opens at the first time, where it fits
        bool resizable;     // resize grip and free resizing, else a fixed size
        int maximumHeight;  // 0: no maximum of the pane's own
    };
    static SizeRules rulesFor(Pane pane);

    SetupPanel(DesktidyController& controller, WindowStateStore& state, QWidget* parent = nullptr);

    // Shows a pane and brings the panel to the front (the toolbar's action).
    void doSetupPanel(Pane pane);
    // Shows the pane chosen last (General the first time).
    void showLastPane();
    void bringToFront();
    Pane currentPane() const { return current_; }
    // Shows the controller's state in every pane.
    void refresh();

    // Runs a command of the controller, then tells the window that state changed.
    void runCommand(const std::function<void()>& command);

    GeneralPane* generalView;
    FoldersPane* foldersView;
    SchedulePane* scheduleView;
    PackPane* packView;
    QToolBar* setupToolbar;
    QPushButton* saveButton;
    QPushButton* cancelButton;
    QPushButton* resetButton;
    AddTypePanel* addTypePanel() const { return addTypePanel_; }

  Q_SIGNALS:
    // A command of the panel ran; the window shows the state again.
    void commandFinished();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    // The panes' buttons: each runs its dialogs, then its operation of the controller.
    void bindPaneCommands();
    // Stores the draft and says so.
    void saveSetup();
    // Chooses folders and adds them to the folder list.
    void addFolders();
    // Chooses a source and a destination folder and adds them as a row of the list.
    void addPackRow(PackSide side);
    // The Schedule pane shows what the crontab holds now.
    void showCrontab();

    DesktidyController& controller_;
    WindowStateStore& state_;
    AddTypePanel* addTypePanel_;
    QVBoxLayout* paneArea_;
    QScrollArea* scrollers_[4];
    QActionGroup* paneActions_;
    Pane current_ = General;
    bool paneShown_ = false;
    QSize paneSizes_[4];
    int maximumHeight_ = QWIDGETSIZE_MAX;  // once the pack pane sets it, it stays
};
