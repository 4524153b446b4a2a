#pragma once

#include <functional>
#include <string_view>

class QAccessibleEvent;
class QObject;
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

// Whether anybody listens for what changes: a screen reader through the
// platform's bridge, or an in-process listener. Controls ask before they
// build an event, so that the program's work costs nothing more without one.
bool AccessibleEventsWanted();
// Hands the event to the in-process listener, if any, and to the platform.
void SendAccessibleEvent(QAccessibleEvent& event);
// An in-process listener hears every event the program's own controls send,
// also where the platform has no bridge to switch on (an offscreen test).
using TAccessibleEventListener = std::function<void(QAccessibleEvent& event)>;
void SetAccessibleEventListener(TAccessibleEventListener listener);

// Qt builds a control's interface the first time it hears of the control,
// which may be while the control is still being built and is not yet what
// it will be; a control that is published differently once built has its
// interface built anew.
void RebuildAccessibleInterface(QObject& object);

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
