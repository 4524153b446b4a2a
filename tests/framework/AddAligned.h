#pragma once

#include "framework/Alignment.h"

#include <QWidget>

namespace quorvane::testing {

// A plain control of the given size, aligned in `parent` as the tests of the
// layout need it.
inline QWidget* AddAligned(QWidget* parent, TAlign align, int width, int height)
{
    auto* control = new QWidget(parent);
    control->resize(width, height);
    SetAlign(control, align);
    return control;
}

}  // namespace quorvane::testing
