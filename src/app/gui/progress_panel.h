#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class WindowStateStore;

// The small window a long run shows: its title, an indeterminate bar and the item it is
// working on. A run holds the main thread, so showItem paints the window itself and lets
// the bar move, without handling the user's input meanwhile.
class ProgressPanel : public QDialog {
    Q_OBJECT
  public:
    explicit ProgressPanel(QWidget* parent = nullptr, WindowStateStore* state = nullptr);

    void open(const QString& title);
    void setItemVisible(bool visible);
    void showItem(const QString& text);
    void finish();

    QString itemText() const;
    bool isItemVisible() const;

  private:
    void paintNow();

    QProgressBar* indicator_;
    QLabel* progressTextField_;
    WindowStateStore* state_;
    bool placed_ = false;
};
