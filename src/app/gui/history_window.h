#pragma once

#include <QDialog>

class DesktidyController;
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

  Q_SIGNALS:
    void commandFinished();

  private:
    DesktidyController& controller_;
    QTableWidget* table_;
};

// Adds the Edit menu, after File: "Undo <run>" (Ctrl+Z) naming the newest run that can be
// undone, and "History..." opening the window. Emits through the history window's
// commandFinished after an undo.
HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller);
