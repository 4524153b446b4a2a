#include "widgets/FileCtrlAccessible.h"

#include "framework/Accessibility.h"
#include "widgets/FileCtrl.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace quorvane {

namespace {

// The drive list: its name is what it is for, its value the chosen drive,
// its one child the list of drives that drops down, and its action opens
// that list.
class TDriveComboBoxAccessible final : public QAccessibleWidget {
public:
    explicit TDriveComboBoxAccessible(TDriveComboBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value) return List()->currentText();
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) return List()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = List()->view()->isVisible();
        state.collapsed = !state.expanded;
        return state;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(List()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == List()->view() ? 0 : -1;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override
    {
        if (!List()->isEnabled()) return;
        if (name == showMenuAction() || name == pressAction()) {
            if (List()->view()->isVisible()) {
                List()->hidePopup();
            } else {
                List()->showPopup();
            }
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TDriveComboBox* List() const { return static_cast<TDriveComboBox*>(widget()); }
};

QAccessibleInterface* DriveListInterface(const QString& key, QObject* object)
{
    if (key != QLatin1String("quorvane::TDriveComboBox")) return nullptr;
    auto* list = qobject_cast<TDriveComboBox*>(object);
    return list != nullptr ? new TDriveComboBoxAccessible(list) : nullptr;
}

}  // namespace

namespace filectrlaccess {

void Publish(TDriveComboBox& list)
{
    static const bool installed = [] {
        QAccessible::installFactory(&DriveListInterface);
        return true;
    }();
    (void)installed;
    RebuildAccessibleInterface(list);
}

}  // namespace filectrlaccess

}  // namespace quorvane
