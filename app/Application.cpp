#include "app/Application.h"

#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/MouseCapture.h"
#include "framework/NarrowText.h"

#include <QPointer>
#include <QWidget>

#include <cassert>

namespace quorvane {

namespace {
TApplication* g_application = nullptr;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    g_application = this;
    // The program ends when its main window closes, not when the last
    // visible window does (the splash may still be up, or nothing at all).
    setQuitOnLastWindowClosed(false);
    m_title = FromQString(applicationName());
}

TApplication::~TApplication()
{
    ReleaseForms();
    g_application = nullptr;
}

void TApplication::SetTitle(std::string_view title)
{
    m_title = title;
    setApplicationDisplayName(ToQString(title));
}

void TApplication::AdoptForm(std::unique_ptr<TForm> form)
{
    TForm& created = *form;
    m_forms.push_back(std::move(form));
    try {
        created.DoCreate();
    } catch (const std::exception& error) {
        HandleException(error);
    }
    if (m_mainForm == nullptr) {
        m_mainForm = &created;
        connect(&created, &TForm::Closed, this, &TApplication::Terminate);
    }
}

int TApplication::Run()
{
    if (m_mainForm == nullptr || m_terminated) return 0;
    m_mainForm->Show();
    if (m_terminated) return 0;
    return exec();
}

void TApplication::Terminate()
{
    m_terminated = true;
    quit();
}

void TApplication::HandleException(const std::exception& error)
{
    CancelMouseCapture();
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    const QPointer<QWidget> previous = activeWindow();
    ShowMessageBox({m_title, std::string(error.what()) + ".", mtError, {messages::kOkButton}});
    if (previous != nullptr && previous->isVisible()) previous->activateWindow();
}

bool TApplication::HelpContext(int context) { return OnHelp ? OnHelp(context) : false; }

void TApplication::ReleaseForms()
{
    m_mainForm = nullptr;
    // The windows go in the reverse order of their creation, so a later
    // window never outlives one it may refer to.
    while (!m_forms.empty()) m_forms.pop_back();
    m_terminated = false;
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        // The rest of the event's handling is abandoned; the error display
        // has dealt with it.
        HandleException(error);
        return true;
    }
}

TApplication& Application()
{
    assert(g_application != nullptr);
    return *g_application;
}

}  // namespace quorvane
