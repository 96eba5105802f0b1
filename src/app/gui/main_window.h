#pragma once

#include <QMainWindow>
#include <functional>

class AppActions;
class DesktidyController;
class PathControl;
class QGridLayout;
class QPushButton;
class QtPrompter;
class SetupPanel;
class UpdateChecker;
class WindowStateStore;
struct UpdateAnswer;

// The main window "Desktidy": the working folder in a path control, a button for each
// everyday command, and the menus. It shows the controller's state and hands every
// command to it; the panes, tables and dialogs live in classes of their own.
class NameChangeWindow;
class RemovalPanel;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(DesktidyController& controller, WindowStateStore& state,
               UpdateChecker* updates = nullptr, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A folder from outside (a launcher's argument, a drop) becomes the working folder.
    bool openFile(const QString& path);
    // Shows the controller's state again, in this window and the Setup panel.
    void refresh();
    // Runs a command of the controller, then shows the state again.
    void runCommand(const std::function<void()>& command);

    // The prompter whose progress panel holds back update answers while a run goes on.
    // Its progress panel also counts the controller's runs and cancels them.
    void setPrompter(QtPrompter* prompter);

    AppActions* actions() const { return actions_; }
    PathControl* pathControl() const { return pathControl_; }
    SetupPanel* setupPanel() const { return setupPanel_; }
    NameChangeWindow* nameChangeWindow() const { return nameChangeWindow_; }
    RemovalPanel* removalPanel() const { return removalPanel_; }
    // The button that triggers an action, for tests and screenshots.
    QPushButton* buttonFor(const QString& objectName) const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildButtons(QGridLayout* grid);
    void bindCommands();
    // The commands of the menus and buttons that the controller carries out.
    void bindControllerCommands();
    // The folder chooser of the path control: one folder, confirmed with "Choose".
    void choosePathControlFolder();
    void presentUpdateAnswer(const UpdateAnswer& answer);

    DesktidyController& controller_;
    WindowStateStore& state_;
    UpdateChecker* updates_;
    QtPrompter* prompter_ = nullptr;
    AppActions* actions_;
    PathControl* pathControl_;
    SetupPanel* setupPanel_;
    NameChangeWindow* nameChangeWindow_;
    RemovalPanel* removalPanel_;
};
