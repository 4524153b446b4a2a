#include "framework/Controls.h"

#include "framework/Alignment.h"
#include "framework/Forms.h"
#include "framework/Panels.h"

#include <QWidget>

#include <algorithm>

namespace quorvane {

QPoint ClientOrigin(const QWidget* parent)
{
    if (const auto* panel = qobject_cast<const TPanel*>(parent)) return panel->ClientOrigin();
    return {0, 0};
}

void SetControlBounds(QWidget* control, int left, int top, int width, int height)
{
    if (auto* form = qobject_cast<TForm*>(control)) {
        form->SetBounds(left, top, width, height);
        return;
    }
    const QPoint origin = ClientOrigin(control->parentWidget());
    control->setGeometry(left + origin.x(), top + origin.y(), std::max(0, width), std::max(0, height));
    if (Align(control) != alNone) AlignControls(control->parentWidget());
    AlignControls(control);
}

bool CanFocus(const QWidget* control)
{
    for (const QWidget* widget = control; widget != nullptr; widget = widget->parentWidget()) {
        if (widget->isHidden() || !widget->isEnabled()) return false;
        if (const auto* panel = qobject_cast<const TPanel*>(widget); panel != nullptr && !panel->Enabled()) {
            return false;
        }
        if (widget->isWindow()) break;
    }
    return true;
}

}  // namespace quorvane
