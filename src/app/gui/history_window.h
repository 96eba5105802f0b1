#pragma once

#include <QDialog>

class DesktidyController;
class QAction;
class QMainWindow;
class QTableWidget;

// The History window: the runs kept, newest first, and an Undo button for the one
// selected.
class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    HistoryWindow(DesktidyController& controller, QWidget* parent);

    // Reads the history again.
    void reload();
    QTableWidget* table() const { return table_; }
    // Undoes the selected run (after the controller's question).
    void undoSelected();
    // Names, in the Edit menu's Undo (Ctrl+Z), the run plain undo would take now, read
    // afresh: another program may have run. Called after every run and whenever the
    // window comes to the front, so the shortcut works without opening the menu first.
    void refreshUndoAction();
    QAction* undoAction() const { return undoAction_; }

  Q_SIGNALS:
    void commandFinished();

  private:
    friend HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller);
    DesktidyController& controller_;
    QTableWidget* table_;
    QAction* undoAction_ = nullptr;
};

// Adds the Edit menu, after File: "Undo <run>" (Ctrl+Z) naming the newest run that can be
// undone, and "History..." opening the window. Emits through the history window's
// commandFinished after an undo.
HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller);
