#pragma once

#include <QDialog>

class DesktidyController;
class QAction;
class QMainWindow;
class QPushButton;
class QTableWidget;
class RunHistory;
struct RunRecord;

// The History window: the runs kept, newest first, and an Undo button for the run whose
// row has the focus. A run that cannot be undone (undone already, still going, a copy or
// a deletion) cannot be chosen: the button is disabled for it and says why.
class HistoryWindow : public QDialog {
    Q_OBJECT
  public:
    HistoryWindow(DesktidyController& controller, QWidget* parent);

    // Reads the history again, keeping the focus on the run it was on.
    void reload();
    QTableWidget* table() const { return table_; }
    QPushButton* undoButton() const { return undoButton_; }
    // Undoes the run of the focused row (after the controller's question); its questions
    // and notices belong to this window, which has the keyboard again afterwards.
    void undoFocused();
    // Names, in the Edit menu's Undo (Ctrl+Z), the run plain undo would take now, read
    // afresh: another program may have run. Called after every run and whenever the
    // window comes to the front, so the shortcut works without opening the menu first.
    void refreshUndoAction();
    QAction* undoAction() const { return undoAction_; }

  Q_SIGNALS:
    void commandFinished();

  private:
    friend HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller);
    // The run number of the focused row; 0 for none.
    int focusedRun() const;
    // Enables Undo for the focused run when it can be undone, else says why not.
    void showWhetherUndoable();

    DesktidyController& controller_;
    QTableWidget* table_;
    QPushButton* undoButton_;
    QAction* undoAction_ = nullptr;
};

// What a run was, in plain words: "Filing", "Name change", "Undo of run 3 (Filing)".
QString runInWords(const RunRecord& record, const RunHistory& history);

// Adds the Edit menu, after File: "Undo <run>" (Ctrl+Z) naming the newest run that can be
// undone, and "History..." opening the window. Emits through the history window's
// commandFinished after an undo. A run's questions and notices belong to the window the
// keyboard was in.
HistoryWindow* addEditMenu(QMainWindow* window, DesktidyController& controller);
