#include "app/gui/run_owner.h"

namespace {
QPointer<QWidget>& current() {
    static QPointer<QWidget> window;
    return window;
}
}  // namespace

RunOwner::RunOwner(QWidget* window) : outer_(current()) { current() = window; }

RunOwner::~RunOwner() { current() = outer_; }

QWidget* RunOwner::currentOr(QWidget* fallback) {
    QWidget* window = current();
    return window ? window->window() : fallback;
}
