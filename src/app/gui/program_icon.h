#pragma once

#include <QIcon>

// The program's icon: the desktop's icon theme's "org.desktidy.Desktidy" when the theme
// can draw it, else the PNG renderings built into the program. A theme that has only the
// SVG draws nothing without Qt's SVG plugin, and a program run from outside /usr finds no
// theme icon at all; the window has an icon either way.
QIcon programIcon();
