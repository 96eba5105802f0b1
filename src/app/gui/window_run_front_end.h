#pragma once

#include <QObject>
#include <QPointer>

#include "runs/run_pipeline.h"

class ProgressPanel;
class WindowStateStore;
class QWidget;

// How a run looks in the window: the progress panel opens at its first pass and shows its
// count and items; the panel's Cancel, Escape and closing any window stop it after the item
// in hand. When the run has ended (its record ended, its folders free) the panel closes and
// ended() tells the window, which shows the result line and what can be undone now.
class WindowRunFrontEnd : public QObject, public RunFrontEnd {
    Q_OBJECT
  public:
    WindowRunFrontEnd(QWidget* window, WindowStateStore* state);
    ~WindowRunFrontEnd() override;

    void passBegins(const QString& title, qsizetype total, bool showsItems) override;
    void step(qsizetype done, qsizetype total, const StepItem& item) override;
    bool stopRequested() const override;
    void runEnded(const RunEnd& end) override;

    // True while a run shows its progress: other windows' answers wait until it ends.
    bool isRunning() const { return running_; }
    ProgressPanel* progressPanel();

  Q_SIGNALS:
    void ended(const RunEnd& end);

  private:
    QPointer<QWidget> window_;
    WindowStateStore* state_;
    QPointer<ProgressPanel> panel_;
    bool running_ = false;
    bool showsItems_ = true;
};
