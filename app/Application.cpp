#include "app/Application.h"

#include "app/Messages.h"
#include "framework/Dialogs.h"
#include "framework/Messages.h"
#include "framework/MouseCapture.h"
#include "framework/NarrowText.h"

#include <QWidget>

#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace quorvane {

namespace {

TApplication* g_application = nullptr;
QtMessageHandler g_handlerBeforeStart = nullptr;

// Qt ends a program whose window system it cannot reach (no display, a
// display that refuses the connection) with a fatal message and an abort,
// which leaves a core file and tells a German user nothing. While the
// application object connects, such an end says what happened and leaves
// with an ordinary failure code instead.
void ReportFailedStart(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (g_handlerBeforeStart != nullptr) {
        g_handlerBeforeStart(type == QtFatalMsg ? QtCriticalMsg : type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
    if (type != QtFatalMsg) return;
    std::fprintf(stderr, "%s\n", messages::kNoDisplay);
    std::fflush(stderr);
    std::_Exit(TApplication::kNoDisplayExitCode);
}

int& WatchTheStart(int& argc)
{
    g_handlerBeforeStart = qInstallMessageHandler(ReportFailedStart);
    return argc;
}

}  // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(WatchTheStart(argc), argv)
{
    qInstallMessageHandler(g_handlerBeforeStart);
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

// The title is not made Qt's application display name: on X11 that name
// is appended to every window title ("Warnung — Quorvane V1.24"), and the
// program's windows must be titled exactly as their captions say.
void TApplication::SetTitle(std::string_view title) { m_title = title; }

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
    ShowMessageBox({m_title, std::string(error.what()) + ".", mtError, {messages::kOkButton}});
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
