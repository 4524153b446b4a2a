#pragma once

#include <string_view>

class QWidget;

namespace quorvane {

class TForm;
class TLabel;

// How a screen reader presents a window: the main window of the program as
// an application window, a box that answers one request as a dialog.
enum class TWindowRole { Frame, Dialog };

// The framework's windows and controls tell screen readers what they are
// through Qt's accessibility interfaces; the texts that name them are heard,
// never shown. Installing is done once, before the first interface is asked
// for; the framework calls it when a window is created, and again costs
// nothing.
void InstallFrameworkAccessibility();

void SetAccessibleWindowRole(TForm& form, TWindowRole role);
TWindowRole AccessibleWindowRole(const TForm& form);

// A label that starts something when clicked is published as a link, whose
// action does what the click does.
void PublishAsLink(TLabel& label);
bool IsPublishedAsLink(const TLabel& label);

// An input field is named by the label that stands before it on the screen.
void NameAfterLabel(QWidget& control, const TLabel& label);

// A text drawn spaced out for its look ("W i e d e r") is read as the words
// it spells; the screen keeps the spaced text.
void SetSpokenText(TLabel& label, std::string_view words);

}  // namespace quorvane
