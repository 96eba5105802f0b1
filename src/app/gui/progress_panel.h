#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <atomic>

class QLabel;
class QProgressBar;
class QPushButton;
class WindowStateStore;

// The small window a long run shows: its title, a bar (determinate, with "N of M", once
// the run counts its items), the item it is working on and Cancel. A run holds the main
// thread, so the panel paints itself as the run goes. While it is open, input meant for
// any other window is dropped, not kept for after the run (a question the run asks, such
// as "Overwrite this file?", is answered as usual); Cancel, Escape and closing any window
// set the cancel flag, which the run reads between items. A window closed meanwhile
// closes once the run has stopped.
class ProgressPanel : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressPanel(QWidget* parent = nullptr, WindowStateStore* state = nullptr);

    void open(const QString& title);
    void setItemVisible(bool visible);
    void showItem(const QString& text);
    void finish();
    void showCount(qsizetype done, qsizetype total);
    bool cancelRequested() const { return cancel_.load(std::memory_order_relaxed); }

    QString itemText() const;
    bool isItemVisible() const;

  protected:
    void reject() override;  // Escape and closing the panel cancel the run
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void paintNow();
    // Whether input for watched goes through: the panel's own, and a question's on top.
    bool takesInput(QObject* watched) const;

    QProgressBar* indicator_;
    QLabel* countField_;
    QLabel* progressTextField_;
    QPushButton* cancelButton_;
    std::atomic_bool cancel_ = false;
    QElapsedTimer sincePainted_;
    WindowStateStore* state_;
    bool placed_ = false;
    QPointer<QWidget> closeAfterRun_;
    QPointer<QWidget> activeBefore_;  // the window the keyboard was in as the run began
};
