#include "app/gui/progress_panel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "app/gui/window_state_store.h"

namespace {
const QString autosaveName = QStringLiteral("ProgressPanel");
}

ProgressPanel::ProgressPanel(QWidget* parent, WindowStateStore* state)
    : QDialog(parent),
      indicator_(new QProgressBar(this)),
      progressTextField_(new QLabel(this)),
      state_(state) {
    setObjectName(autosaveName);
    setModal(false);
    indicator_->setRange(0, 0);  // no value: the bar only shows that work goes on
    indicator_->setTextVisible(false);
    progressTextField_->setTextFormat(Qt::PlainText);
    progressTextField_->setObjectName(QStringLiteral("progressTextField"));
    // A long name must not widen the window; it is cut in the middle instead.
    progressTextField_->setMinimumWidth(1);
    progressTextField_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(indicator_);
    layout->addWidget(progressTextField_);
    resize(380, sizeHint().height());
}

void ProgressPanel::open(const QString& title) {
    setWindowTitle(title);
    if (!placed_ && state_) state_->restoreGeometry(autosaveName, this);
    placed_ = true;
    show();
    raise();
    activateWindow();
    paintNow();
}

void ProgressPanel::setItemVisible(bool visible) { progressTextField_->setVisible(visible); }

void ProgressPanel::showItem(const QString& text) {
    const QFontMetrics metrics(progressTextField_->font());
    progressTextField_->setText(
        metrics.elidedText(text, Qt::ElideMiddle, std::max(1, progressTextField_->width())));
    progressTextField_->setToolTip(text);
    paintNow();
}

void ProgressPanel::finish() {
    if (state_) state_->saveGeometry(autosaveName, this);
    hide();
}

QString ProgressPanel::itemText() const { return progressTextField_->toolTip(); }

bool ProgressPanel::isItemVisible() const { return !progressTextField_->isHidden(); }

void ProgressPanel::paintNow() {
    repaint();
    // Lets the bar's animation and the window system catch up; input waits for the run.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
