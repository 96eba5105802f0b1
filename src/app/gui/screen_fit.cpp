#include "app/gui/screen_fit.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

void fitToArea(QWidget* window, const QRect& area) {
    const QSize room = (area.size() - frameAllowance).expandedTo(QSize(1, 1));
    window->setMinimumSize(window->minimumSize().boundedTo(room));
    window->setMaximumSize(window->maximumSize().boundedTo(room).expandedTo(window->minimumSize()));
    window->resize(window->size().boundedTo(room).expandedTo(window->minimumSize()));
    // Only a window placed off the area moves, and only as far as it must.
    const QRect frame(window->pos(), window->size() + frameAllowance);
    const int x =
        std::clamp(frame.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width()));
    const int y =
        std::clamp(frame.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height()));
    if (QPoint(x, y) != window->pos()) window->move(x, y);
}

void fitToScreen(QWidget* window) {
    if (const QScreen* screen = window->screen()) fitToArea(window, screen->availableGeometry());
}
