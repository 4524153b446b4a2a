#pragma once

#include <QPoint>
#include <QSize>

class QWidget;

namespace quorvane {

// The size of the primary screen in pixels, as the windows' default bounds use it.
int ScreenWidth();
int ScreenHeight();

// Where a window of the given outer size must go to stand in the middle of
// the screen that shows `window` (the primary screen when it shows none).
QPoint ScreenCentredPosition(QSize outerSize, const QWidget* window);

}  // namespace quorvane
