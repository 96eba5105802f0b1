#include "app/gui/progress_panel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <climits>

#include "app/gui/window_state_store.h"

namespace {
const QString autosaveName = QStringLiteral("ProgressPanel");
}

ProgressPanel::ProgressPanel(QWidget* parent, WindowStateStore* state)
    : QDialog(parent),
      indicator_(new QProgressBar(this)),
      countField_(new QLabel(this)),
      progressTextField_(new QLabel(this)),
      cancelButton_(new QPushButton(tr("Cancel"), this)),
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

    countField_->setObjectName(QStringLiteral("progressCount"));
    cancelButton_->setAutoDefault(false);
    connect(cancelButton_, &QPushButton::clicked, this, &ProgressPanel::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(indicator_);
    layout->addWidget(countField_);
    layout->addWidget(progressTextField_);
    layout->addWidget(cancelButton_, 0, Qt::AlignRight);
    resize(380, sizeHint().height());
}

void ProgressPanel::open(const QString& title) {
    setWindowTitle(title);
    cancel_ = false;
    cancelButton_->setEnabled(true);
    indicator_->setRange(0, 0);
    countField_->clear();
    QCoreApplication::instance()->installEventFilter(this);
    activeBefore_ = QApplication::activeWindow();
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
    QCoreApplication::instance()->removeEventFilter(this);
    if (state_) state_->saveGeometry(autosaveName, this);
    hide();
    cancel_ = false;  // the run it stopped is over
    // The keyboard goes back where it was, so Ctrl+Z undoes the run just ended.
    if (QWidget* before = activeBefore_.data(); before && before != this && before->isVisible())
        before->activateWindow();
    // The window the user closed during the run closes now, with the run ended.
    if (QWidget* window = closeAfterRun_.data()) {
        closeAfterRun_.clear();
        QTimer::singleShot(0, window, &QWidget::close);
    }
}

void ProgressPanel::showCount(qsizetype done, qsizetype total) {
    indicator_->setRange(0, int(std::min<qsizetype>(total, INT_MAX)));
    indicator_->setValue(int(std::min(done, total)));
    // With the digits grouped as the desktop's language does: "5,259 of 30,000".
    const QLocale locale;
    countField_->setText(tr("%1 of %2").arg(locale.toString(done), locale.toString(total)));
    // Runs that show no items still let the panel move, a few times a second.
    if (!sincePainted_.isValid() || sincePainted_.elapsed() > 50) paintNow();
}

void ProgressPanel::reject() {
    cancel_ = true;
    cancelButton_->setEnabled(false);  // the run stops after the item in hand
}

bool ProgressPanel::takesInput(QObject* watched) const {
    // Events reach a window first (the platform's QWindow), then its widgets.
    const QWidget* widget = qobject_cast<const QWidget*>(watched);
    if (!widget) {
        const auto* window = qobject_cast<const QWindow*>(watched);
        if (!window) return true;  // neither a window nor a widget: nothing the user did
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->windowHandle() == window) widget = top;
        if (!widget) return false;
    }
    const QWidget* top = widget->window();
    if (top == this) return true;
    // A question the run asks on its way is modal, and answered as usual.
    const QWidget* modal = QApplication::activeModalWidget();
    return modal && modal != this && top == modal->window();
}

bool ProgressPanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::Close:
            if (takesInput(watched)) return false;
            // Closing another window stops the run, and the window closes once it has.
            if (auto* widget = qobject_cast<QWidget*>(watched); widget && widget->isWindow()) {
                closeAfterRun_ = widget;
                reject();
            } else if (auto* window = qobject_cast<QWindow*>(watched)) {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (top->windowHandle() == window) closeAfterRun_ = top;
                reject();
            }
            event->ignore();
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Drop:
            // Input for this panel goes through; for any other window it is dropped.
            return !takesInput(watched);
        default:
            return false;
    }
}

QString ProgressPanel::itemText() const { return progressTextField_->toolTip(); }

bool ProgressPanel::isItemVisible() const { return !progressTextField_->isHidden(); }

void ProgressPanel::paintNow() {
    sincePainted_.start();
    repaint();
    // Lets the bar, the window system and Cancel work; other input is dropped (eventFilter).
    QCoreApplication::processEvents();
}
