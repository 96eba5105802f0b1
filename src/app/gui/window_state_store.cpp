#include "app/gui/window_state_store.h"

#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QWidget>

#include "app/gui/screen_fit.h"

WindowStateStore::WindowStateStore(const QString& filePath)
    : file_(filePath, QSettings::IniFormat) {}

QString WindowStateStore::besideSettings(const QString& settingsFile) {
    return QFileInfo(settingsFile).absolutePath() + QStringLiteral("/windows.conf");
}

void WindowStateStore::saveGeometry(const QString& name, const QWidget* window) {
    file_.setValue(QStringLiteral("frames/") + name, window->saveGeometry());
    file_.sync();
}

bool WindowStateStore::restoreGeometry(const QString& name, QWidget* window) const {
    const QByteArray saved = file_.value(QStringLiteral("frames/") + name).toByteArray();
    return !saved.isEmpty() && window->restoreGeometry(saved);
}

namespace {

class FrameKeeper : public QObject {
  public:
    FrameKeeper(WindowStateStore& state, const QString& name, QWidget* window)
        : QObject(window), state_(state), name_(name) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && !placed_) {
            placed_ = true;
            // A frame kept from a larger screen is brought back onto this one.
            if (state_.restoreGeometry(name_, window)) fitToScreen(window);
        } else if (event->type() == QEvent::Hide) {
            state_.saveGeometry(name_, window);
        }
        return false;
    }

  private:
    WindowStateStore& state_;
    QString name_;
    bool placed_ = false;
};

}  // namespace

void WindowStateStore::keepFrame(const QString& name, QWidget* window) {
    window->installEventFilter(new FrameKeeper(*this, name, window));
}

void WindowStateStore::saveSize(const QString& name, const QSize& size) {
    file_.setValue(QStringLiteral("sizes/") + name, size);
    file_.sync();
}

QSize WindowStateStore::size(const QString& name, const QSize& fallback) const {
    const QSize saved = file_.value(QStringLiteral("sizes/") + name).toSize();
    return saved.isValid() && !saved.isEmpty() ? saved : fallback;
}

void WindowStateStore::saveColumns(const QString& name, const QHeaderView* header) {
    file_.setValue(QStringLiteral("columns/") + name, header->saveState());
    file_.sync();
}

bool WindowStateStore::restoreColumns(const QString& name, QHeaderView* header) const {
    const QByteArray saved = file_.value(QStringLiteral("columns/") + name).toByteArray();
    return !saved.isEmpty() && header->restoreState(saved);
}
