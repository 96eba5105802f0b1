#include "app/gui/window_run_front_end.h"

#include "app/gui/progress_panel.h"
#include "app/gui/run_owner.h"

WindowRunFrontEnd::WindowRunFrontEnd(QWidget* window, WindowStateStore* state)
    : QObject(window), window_(window), state_(state) {}

WindowRunFrontEnd::~WindowRunFrontEnd() { delete panel_.data(); }

ProgressPanel* WindowRunFrontEnd::progressPanel() {
    if (!panel_) panel_ = new ProgressPanel(window_, state_);
    return panel_;
}

void WindowRunFrontEnd::passBegins(const QString& title, qsizetype total, bool showsItems) {
    ProgressPanel* panel = progressPanel();
    showsItems_ = showsItems;
    if (!running_) {
        // The panel stays above the window that started the run.
        if (QWidget* owner = RunOwner::currentOr(window_); panel->parentWidget() != owner)
            panel->setParent(owner, panel->windowFlags());
        running_ = true;
        panel->open(title);
    } else {
        panel->setWindowTitle(title);  // a further pass of the same run
    }
    panel->setItemVisible(showsItems);
    panel->showCount(0, total);
}

void WindowRunFrontEnd::step(qsizetype done, qsizetype total, const StepItem& item) {
    if (!panel_) return;
    panel_->showCount(done, total);
    if (showsItems_) panel_->showItem(item.text());
}

bool WindowRunFrontEnd::stopRequested() const { return panel_ && panel_->cancelRequested(); }

void WindowRunFrontEnd::runEnded(const RunEnd& end) {
    if (running_ && panel_) panel_->finish();
    running_ = false;
    Q_EMIT ended(end);
}
