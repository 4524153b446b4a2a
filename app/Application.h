#pragma once

#include "framework/Forms.h"

#include <QApplication>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The program's one application object. It owns the windows from their
// creation to its own end, runs the event loop until the main window closes,
// and shows every error that escapes an event handler in the error box, after
// which the program goes on with the next event.
class TApplication : public QApplication {
    Q_OBJECT

public:
    // Connects to the window system; where that fails, the program says so
    // on its error output and ends with kNoDisplayExitCode.
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    // The caption of the main window and of every error box.
    const std::string& Title() const { return m_title; }
    void SetTitle(std::string_view title);

    // Builds a window of class `Form` (its constructor creates the controls),
    // stores it in `reference`, then runs its OnCreate under the error guard:
    // an error there is shown and the window is still complete. The first
    // window created becomes the main window.
    template <class Form>
    Form& CreateForm(Form*& reference)
    {
        auto form = std::make_unique<Form>();
        reference = form.get();
        AdoptForm(std::move(form));
        return *reference;
    }

    TForm* MainForm() const { return m_mainForm; }

    // Shows the main window and handles events until the application is
    // terminated; returns the exit code.
    int Run();

    // Ends the event loop (and any modal loop inside it); closing the main
    // window calls this.
    void Terminate();
    bool Terminated() const { return m_terminated; }

    // The error display: cancels any mouse capture (a grid's drag, a held spin
    // arrow), then shows the message with a period appended in a stop-icon box
    // with one OK button, captioned with the title, while the other windows
    // take no input; afterwards the window that was active is active again.
    void HandleException(const std::exception& error);

    // A request for help on a help context (F1 in a window that offers
    // help). The program ships no help file, so a request does nothing
    // unless a handler takes it; true when one did.
    bool HelpContext(int context);
    std::function<bool(int context)> OnHelp;

    // Releases every window and forgets the main window, as at the end of the
    // program; the application can then create windows afresh.
    void ReleaseForms();

    // Every event is handled under the error guard.
    bool notify(QObject* receiver, QEvent* event) override;

    static constexpr int kNoDisplayExitCode = 1;

private:
    void AdoptForm(std::unique_ptr<TForm> form);

    std::string m_title;
    std::vector<std::unique_ptr<TForm>> m_forms;
    TForm* m_mainForm = nullptr;
    bool m_terminated = false;
};

// The application object; it must exist.
TApplication& Application();

}  // namespace quorvane
