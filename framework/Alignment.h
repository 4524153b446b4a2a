#pragma once

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

}  // namespace quorvane
