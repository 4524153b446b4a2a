#pragma once

#include <QRect>
#include <QSize>

namespace quorvane {

// The outer bounds the main window starts with where its settings file gives
// none: at the top-left corner of the primary screen's work area, half the
// screen's size, but never smaller than the size the window was designed at
// (its buttons and grids fit only from there on) and never larger than the
// work area. Each value stands alone: a stored one replaces only its own.
// An empty work area (no screen known) limits nothing.
QRect DefaultStartBounds(const QRect& workArea, QSize screenSize, QSize designedSize);

// The work area of the primary screen: the screen less the desktop's panels;
// empty when there is no screen.
QRect PrimaryWorkArea();

}  // namespace quorvane
