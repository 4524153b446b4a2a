#include "framework/StdCtrls.h"

#include "framework/NarrowText.h"

namespace quorvane {

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::Text() const { return FromQString(text()); }

void TEdit::SetText(std::string_view text) { setText(ToQString(text)); }

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent)
{
    connect(this, &QAbstractButton::toggled, this, [this] { OnClick(this); });
}

std::string TCheckBox::Caption() const { return FromQString(text()); }

void TCheckBox::SetCaption(std::string_view caption) { setText(ToQString(caption)); }

TButton::TButton(QWidget* parent) : QPushButton(parent)
{
    // Only the button marked as default answers Enter; Qt would otherwise
    // make every focused push button answer it.
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClick(this); });
}

std::string TButton::Caption() const { return FromQString(text()); }

void TButton::SetCaption(std::string_view caption) { setText(ToQString(caption)); }

}  // namespace quorvane
