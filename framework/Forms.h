#pragma once

#include "framework/Events.h"
#include "framework/FormTypes.h"
#include "framework/WindowBounds.h"

#include <QBasicTimer>
#include <QWidget>

#include <string>
#include <string_view>

class QEventLoop;

namespace quorvane {

// A top-level window of the program. A window is a class derived from TForm
// whose constructor builds its controls (members named as the controls, with
// the same object names) and attaches its handlers to the events:
//     OnCreate = {this, &TFormMain::FormCreate};
// The application runs OnCreate once the controls exist (TApplication::CreateForm).
// Its children take the window's font, Arial with a character height of 13 pixels.
class TForm : public QWidget {
    Q_OBJECT

public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    std::string Caption() const;
    void SetCaption(std::string_view caption);

    // Outer bounds in screen pixels, the window manager's frame included once
    // the window has one. Every setter takes effect at once, and the aligned
    // controls follow at once, also while the window is hidden.
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int left);
    void SetTop(int top);
    void SetWidth(int width);
    void SetHeight(int height);
    void SetBounds(int left, int top, int width, int height);

    // The area inside the frame, where the controls are.
    int ClientWidth() const { return width(); }
    int ClientHeight() const { return height(); }
    void SetClientWidth(int width);
    void SetClientHeight(int height);

    // Going back to wsNormal restores the normal bounds at once, so that they
    // can be read right afterwards. The normal bounds are the outer bounds
    // the window last had in normal state, whatever the window manager made
    // of them while the window was maximised or minimised.
    TWindowState WindowState() const;
    void SetWindowState(TWindowState state);
    QRect NormalBounds() const { return m_bounds.NormalBounds(); }

    // A window the user could not see or grab (no height or width, its
    // caption bar off every screen) is made reachable: at least the size of
    // its caption bar and system buttons, and moved wholly onto the primary
    // screen, as far as it fits, when its caption bar lies on no screen.
    // Bounds that already give a reachable window stay exactly as they are.
    // ReachableBounds (WindowBounds.h) holds the rule.
    void EnsureReachable();

    // With key preview on, every key pressed or released anywhere in the
    // window reaches OnKeyDown and OnKeyUp before the focused control. The
    // preview watches the keys the window system delivers to the window.
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool preview) { m_keyPreview = preview; }

    // poScreenCenter puts the window in the middle of the screen each time it
    // is shown.
    TPosition Position() const { return m_position; }
    void SetPosition(TPosition position) { m_position = position; }

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TFormStyle FormStyle() const { return m_formStyle; }
    void SetFormStyle(TFormStyle style);

    // The controls' hints (their tool tips) are shown only while this is on.
    bool ShowHint() const { return m_showHint; }
    void SetShowHint(bool show) { m_showHint = show; }

    // Setting a result other than mrNone while the window is shown modally
    // ends the modal state once the current event has been handled.
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult result);
    bool Modal() const { return m_modalLoop != nullptr; }

    // Makes the window visible and brings it to the front, without blocking.
    void Show();
    void Hide();

    // Asks the window to close: OnClose decides. The window is hidden, not
    // destroyed; a modal window ends its modal state with mrCancel unless it
    // already has a result.
    void Close();

    // Shows the window and handles events until its modal result is set or it
    // is closed; meanwhile the other windows take no input. Raises
    // EInvalidOperation when the window is already visible.
    TModalResult ShowModal();

    // Runs OnCreate; called once by whoever created the window.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    // Fires on every change of size, the first sizing when first shown included,
    // after the aligned controls have followed.
    TNotifyEvent OnResize;
    // An error raised here abandons the close: the window stays open.
    TCloseEvent OnClose;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

signals:
    // A close went through (the window is hidden now); the application ends
    // when this comes from its main window.
    void Closed();

protected:
    void setVisible(bool visible) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    friend class TFormEventFilter;

    // The form of a window of the window system, or nullptr.
    static TForm* OfWindow(const QObject* window);

    // Key routing (FormKeys.cpp): the preview, the keys of the window itself,
    // and the default and cancel buttons.
    static void WatchApplicationEvents();
    bool PreviewKey(QKeyEvent* event);
    bool FireKeyEvent(QKeyEvent* event, int& key);
    bool HandleDialogKey(int key);

    void EndModalOnRequest();
    void UpdateWindowFlags();
    void ResizeClient(int width, int height);
    QMargins FrameMargins() const;
    TWindowReport Report() const;
    void PlaceClient(const QRect& client);
    void RequestOuterBounds(const QRect& outer, TRequestPriority priority);
    void FitRequestedOuterBounds(TFitOccasion occasion);
    void RememberNormalBounds();
    void NoteGeometryChange();

    bool m_keyPreview = false;
    bool m_showHint = false;
    TPosition m_position = poDesigned;
    TBorderStyle m_borderStyle = bsSizeable;
    TFormStyle m_formStyle = fsNormal;
    TModalResult m_modalResult = mrNone;
    QEventLoop* m_modalLoop = nullptr;
    bool m_modalEndPosted = false;
    // The bounds and state as negotiated with the window manager; the
    // window runs the timers its answers ask for: retries of bounds on
    // their way, and the moment a geometry must stand to count as normal.
    TWindowBounds m_bounds;
    QBasicTimer m_fitTimer;
    QBasicTimer m_settleTimer;
};

// The window a control sits in, or nullptr when that is no TForm.
TForm* ParentForm(const QWidget* control);

// A control of a window's description: made with its parent and named as
// the design names it, so that tests and the settings find it by that name.
//     Panel1 = CreateControl<TPanel>(this, "Panel1");
template <class Control, class Parent>
Control* CreateControl(Parent* parent, const char* name)
{
    auto* control = new Control(parent);
    control->setObjectName(QString::fromUtf8(name));
    return control;
}

}  // namespace quorvane
