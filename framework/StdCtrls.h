#pragma once

#include "framework/Events.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include <string>
#include <string_view>

namespace quorvane {

// A one-line text field. The text is narrow text, as the rest of the
// program holds it.
class TEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TEdit(QWidget* parent);

    std::string Text() const;
    void SetText(std::string_view text);
};

// A check box with its caption beside it. OnClick fires whenever the state
// changes, whether the user clicked it, pressed the space bar on it or the
// program set it, so that what depends on the box always follows it.
class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TCheckBox(QWidget* parent);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool checked) { setChecked(checked); }

    TNotifyEvent OnClick;
};

// A push button with a caption. The default button of a window answers Enter
// there unless the focused control uses the key.
class TButton : public QPushButton {
    Q_OBJECT

public:
    explicit TButton(QWidget* parent);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    bool Default() const { return isDefault(); }
    void SetDefault(bool isDefault) { setDefault(isDefault); }

    // Fires OnClick as a click of the user would.
    void Click() { click(); }

    TNotifyEvent OnClick;
};

}  // namespace quorvane
