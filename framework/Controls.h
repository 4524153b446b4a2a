#pragma once

#include <QPoint>

class QWidget;

namespace quorvane {

// The placing rules that depend on what a control is: a window takes outer
// bounds, a panel with a border moves its children's origin inwards, a panel
// that takes no clicks keeps the focus off its content. They sit above the
// windows and panels, so that the alignment below them knows no control.

// Where a child's coordinates start inside `parent`: the top-left corner of
// its client area, inside any border the parent draws around it.
QPoint ClientOrigin(const QWidget* parent);

// Places `control` in its parent's client area (outer bounds for windows) and
// lays out whatever depends on it at once.
void SetControlBounds(QWidget* control, int left, int top, int width, int height);

// A control can take the focus when it and every parent up to its window are
// visible and enabled (panels count as disabled when their content takes no
// clicks).
bool CanFocus(const QWidget* control);

}  // namespace quorvane
