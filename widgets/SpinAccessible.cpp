#include "widgets/SpinAccessible.h"

#include "framework/Accessibility.h"
#include "widgets/Spin.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace quorvane {

namespace {

// The field is a line edit with arrows beside it; to a screen reader it is
// one spin button whose value is the number typed, whose bounds are those
// the spin box enforces, and whose actions are the arrows.
class TSpinEditAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TSpinEditAccessible(TSpinEdit* spin) : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return Spin()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Spin()->ReadOnly() && Spin()->EditorEnabled();
        state.readOnly = Spin()->ReadOnly();
        return state;
    }

    // The child widgets (the arrows) are one control with the field.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QVariant currentValue() const override { return Spin()->Value(); }
    void setCurrentValue(const QVariant& value) override
    {
        if (!Spin()->ReadOnly()) Spin()->SetValue(value.toInt());
    }
    QVariant maximumValue() const override { return Spin()->MaxValue(); }
    QVariant minimumValue() const override { return Spin()->MinValue(); }
    QVariant minimumStepSize() const override { return Spin()->Increment(); }

    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << increaseAction() << decreaseAction();
    }

    void doAction(const QString& name) override
    {
        if (!Spin()->isEnabled()) return;
        if (name == increaseAction()) {
            Spin()->StepUp();
        } else if (name == decreaseAction()) {
            Spin()->StepDown();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == increaseAction()) return {QStringLiteral("Up")};
        if (name == decreaseAction()) return {QStringLiteral("Down")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

private:
    TSpinEdit* Spin() const { return static_cast<TSpinEdit*>(widget()); }
};

QAccessibleInterface* SpinInterface(const QString& key, QObject* object)
{
    if (key != QLatin1String("quorvane::TSpinEdit")) return nullptr;
    auto* spin = qobject_cast<TSpinEdit*>(object);
    return spin != nullptr ? new TSpinEditAccessible(spin) : nullptr;
}

}  // namespace

namespace spinaccess {

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&SpinInterface);
        return true;
    }();
    (void)installed;
}

void ValueChanged(TSpinEdit& spin)
{
    if (!AccessibleEventsWanted()) return;
    QAccessibleValueChangeEvent event(&spin, spin.Value());
    SendAccessibleEvent(event);
}

}  // namespace spinaccess

}  // namespace quorvane
