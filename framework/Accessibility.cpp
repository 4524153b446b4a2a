#include "framework/Accessibility.h"

#include "framework/Buttons.h"
#include "framework/Forms.h"
#include "framework/Labels.h"
#include "framework/NarrowText.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMessageBox>
#include <QVariant>

#include <algorithm>
#include <utility>

namespace quorvane {

namespace {

// The marks the framework leaves on its widgets for the interfaces below;
// the widgets themselves need not know about screen readers.
constexpr const char* kWindowRoleProperty = "quorvaneWindowRole";
constexpr const char* kLinkProperty = "quorvaneLink";

// A window is published with its caption as its name, which the widget's
// own interface already does; only the role says what kind of window it is.
class TFormAccessible final : public QAccessibleWidget {
public:
    explicit TFormAccessible(TForm* form) : QAccessibleWidget(form, QAccessible::Window) {}

    QAccessible::Role role() const override
    {
        return AccessibleWindowRole(*static_cast<const TForm*>(widget())) == TWindowRole::Dialog ? QAccessible::Dialog
                                                                                                : QAccessible::Window;
    }
};

// A message box is an alert: a screen reader speaks it as soon as it opens,
// with its caption as the name and its message as the description.
class TMessageBoxAccessible final : public QAccessibleWidget {
public:
    explicit TMessageBoxAccessible(QMessageBox* box) : QAccessibleWidget(box, QAccessible::AlertMessage) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Description && widget()->accessibleDescription().isEmpty()) {
            return static_cast<const QMessageBox*>(widget())->text();
        }
        return QAccessibleWidget::text(kind);
    }
};

// A label published as a link: its caption (the address) is the name, its
// hint the description, and its one action is the click.
class TLinkAccessible final : public QAccessibleWidget {
public:
    explicit TLinkAccessible(TLabel* label) : QAccessibleWidget(label, QAccessible::Link)
    {
        addControllingSignal(QStringLiteral("linkActivated(QString)"));
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) return Label()->text();
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.linked = true;
        return state;
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& name) override
    {
        if (name == pressAction() && Label()->isEnabled()) Label()->OnClick(Label());
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TLabel* Label() const { return static_cast<TLabel*>(widget()); }
};

// A speed button says what it does by its caption, or by its hint where it
// shows only a picture or a sign. Buttons of a group are toggles that stay
// down; a speed button without any click handler is only a picture.
class TSpeedButtonAccessible final : public QAccessibleWidget {
public:
    explicit TSpeedButtonAccessible(TSpeedButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    // Asked each time: the handler is attached after the button is built.
    QAccessible::Role role() const override { return Button()->OnClick ? QAccessible::Button : QAccessible::Graphic; }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            const QString caption = Button()->text();
            const bool spoken = std::any_of(caption.begin(), caption.end(), [](QChar c) { return c.isLetterOrNumber(); });
            return spoken ? caption : Button()->toolTip();
        }
        if (kind == QAccessible::Description && widget()->accessibleDescription().isEmpty()) return {};
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (role() == QAccessible::Button && Button()->GroupIndex() != 0) {
            state.checkable = true;
            state.checked = Button()->Down();
            state.pressed = Button()->Down();
        }
        return state;
    }

    QStringList actionNames() const override
    {
        if (role() != QAccessible::Button) return {};
        return {Button()->GroupIndex() != 0 ? toggleAction() : pressAction()};
    }

    void doAction(const QString& name) override
    {
        if ((name == pressAction() || name == toggleAction()) && Button()->isEnabled()) Button()->click();
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    TSpeedButton* Button() const { return static_cast<TSpeedButton*>(widget()); }
};

QAccessibleInterface* FrameworkInterface(const QString& key, QObject* object)
{
    if (key == QLatin1String("quorvane::TForm")) {
        if (auto* form = qobject_cast<TForm*>(object)) return new TFormAccessible(form);
    } else if (key == QLatin1String("quorvane::TLabel")) {
        auto* label = qobject_cast<TLabel*>(object);
        if (label != nullptr && IsPublishedAsLink(*label)) return new TLinkAccessible(label);
    } else if (key == QLatin1String("quorvane::TSpeedButton")) {
        if (auto* button = qobject_cast<TSpeedButton*>(object)) return new TSpeedButtonAccessible(button);
    } else if (key == QLatin1String("QMessageBox")) {
        if (auto* box = qobject_cast<QMessageBox*>(object)) return new TMessageBoxAccessible(box);
    }
    return nullptr;
}

TAccessibleEventListener& Listener()
{
    static TAccessibleEventListener listener;
    return listener;
}

}  // namespace

bool AccessibleEventsWanted() { return QAccessible::isActive() || Listener() != nullptr; }

void SendAccessibleEvent(QAccessibleEvent& event)
{
    if (Listener()) Listener()(event);
    QAccessible::updateAccessibility(&event);
}

void SetAccessibleEventListener(TAccessibleEventListener listener) { Listener() = std::move(listener); }

void InstallFrameworkAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(&FrameworkInterface);
        return true;
    }();
    (void)installed;
}

void RebuildAccessibleInterface(QObject& object)
{
    if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&object)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
    }
}

void SetAccessibleWindowRole(TForm& form, TWindowRole role)
{
    InstallFrameworkAccessibility();
    form.setProperty(kWindowRoleProperty, static_cast<int>(role));
}

TWindowRole AccessibleWindowRole(const TForm& form)
{
    return form.property(kWindowRoleProperty).toInt() == static_cast<int>(TWindowRole::Dialog) ? TWindowRole::Dialog
                                                                                             : TWindowRole::Frame;
}

void PublishAsLink(TLabel& label)
{
    InstallFrameworkAccessibility();
    label.setProperty(kLinkProperty, true);
    RebuildAccessibleInterface(label);
}

bool IsPublishedAsLink(const TLabel& label) { return label.property(kLinkProperty).toBool(); }

void NameAfterLabel(QWidget& control, const TLabel& label) { control.setAccessibleName(label.text()); }

void SetSpokenText(TLabel& label, std::string_view words) { label.setAccessibleName(ToQString(words)); }

}  // namespace quorvane
