#pragma once

#include <QPoint>

class QWidget;

namespace quorvane {

// How a control fills its parent: the top, bottom, left or right strip of
// what is left of the parent's client area, or all of the rest.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Gives `control` an alignment in its parent and lays the parent out at once.
// Aligned controls of one parent are placed in the order they were first
// given an alignment: all top strips first, then bottom, left, right, and
// the client area last; a hidden control takes no space. Any widget can be
// a parent; it is laid out again whenever it or an aligned child changes size
// or an aligned child is shown or hidden.
void SetAlign(QWidget* control, TAlign align);
TAlign Align(const QWidget* control);

// Lays out the aligned children of `parent` in its contents rectangle, and
// their aligned children in turn, now, even while the windows are hidden.
void AlignControls(QWidget* parent);

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
