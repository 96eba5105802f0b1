#pragma once

#include <QRect>

class QWidget;

// What a window frame adds around its contents, where the window system does not say.
inline constexpr QSize frameAllowance(16, 48);

// Makes window fit area (a screen's available geometry): its size, and its minimum and
// maximum sizes where they are larger, shrink to what the area holds with a frame around
// it, and the window moves inside the area. Content that needs more room scrolls.
void fitToArea(QWidget* window, const QRect& area);
// fitToArea with the available geometry of the window's screen.
void fitToScreen(QWidget* window);
