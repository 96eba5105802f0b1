#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>

#include "platform/path.h"

class AppActions;
class DesktidyController;
class PathControl;
class QGridLayout;
class QLabel;
class QPushButton;
class HistoryWindow;
class WindowRunFrontEnd;
struct RunEnd;
class SetupPanel;
class UpdateChecker;
class WindowStateStore;
struct UpdateAnswer;

// The main window "Desktidy": the working folder in a path control, a button for each
// everyday command, and the menus. It shows the controller's state and hands every
// command to it; the panes, tables and dialogs live in classes of their own.
class NameChangeWindow;
class RemovalPanel;
class TrashPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(DesktidyController& controller, WindowStateStore& state,
               UpdateChecker* updates = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A folder from outside (a launcher's argument, a drop) becomes the working folder.
    void showFolder(const QString& folder);
    // Shows the controller's state again, in this window and the Setup panel.
    void refresh();

    // Follows every run the controller carries out: its progress panel and its end.
    WindowRunFrontEnd* runFrontEnd() const { return runFrontEnd_; }
    HistoryWindow* historyWindow() const { return history_; }

    AppActions* actions() const { return actions_; }
    PathControl* workingFolderControl() const { return workingFolderControl_; }
    SetupPanel* setupPanel() const { return setupPanel_; }
    NameChangeWindow* nameChangeWindow() const { return nameChangeWindow_; }
    RemovalPanel* removalPanel() const { return removalPanel_; }
    TrashPanel* trashPanel() const { return trashPanel_; }
    // The button that triggers an action, for tests and screenshots.
    QPushButton* buttonFor(const QString& objectName) const;

  public Q_SLOTS:
    // The commands of the menus and buttons: each runs its dialogs, then the controller's
    // operation, then shows the state again. The window has no exit status: each run has
    // told the user how it ended.
    void desktidy();
    void undesktidy();
    void fileAllStashery();
    void unfileAllStashery();
    void packStashery();
    void unpackStashery();
    // Chooses the working folder and saves it.
    void chooseWorkingFolder();
    // Shows the Trash view; the items chosen there are deleted for good, after asking.
    void deleteChosenTrashItems();
    // Chooses an application and shows it with its related items in the removal panel.
    void listApplicationItems();

  protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildButtons(QGridLayout* grid);
    void bindCommands();
    // The commands of the menus and buttons that the controller carries out.
    void bindControllerCommands();
    // The folder chooser of the working-folder control: one folder, confirmed with
    // "Choose", shown but not saved.
    void chooseShownFolder();
    // The one-folder chooser of the working folder, opened on it; nullopt when cancelled.
    std::optional<Path> askForWorkingFolder();
    void presentUpdateAnswer(const UpdateAnswer& answer);
    // The background grey, of the same shade relative to a light or a dark palette.
    void applyGrey();
    // After every run: the result line, the Undo action and the windows' state.
    void showRunEnd(const RunEnd& end);

    DesktidyController& controller_;
    WindowStateStore& state_;
    UpdateChecker* updates_;
    WindowRunFrontEnd* runFrontEnd_;
    HistoryWindow* history_ = nullptr;
    AppActions* actions_;
    PathControl* workingFolderControl_;
    SetupPanel* setupPanel_;
    NameChangeWindow* nameChangeWindow_;
    RemovalPanel* removalPanel_;
    TrashPanel* trashPanel_;
    QLabel* resultLine_ = nullptr;
};
