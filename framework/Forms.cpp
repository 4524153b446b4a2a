#include "framework/Forms.h"

#include "framework/Alignment.h"
#include "framework/Fonts.h"
#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "framework/Screen.h"
#include "runtime/Exceptions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimerEvent>
#include <QWindow>

#include <algorithm>
#include <vector>

namespace quorvane {

namespace {

const QEvent::Type kEndModalEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kModalEnded = 1;

// A window manager takes a few round trips to frame a window or to bring it
// back from maximised; until then the bounds asked for are applied again.
constexpr int kFitInterval = 50;
constexpr int kFitAttempts = 40;
constexpr int kFitConfirmations = 3;
// How long a geometry must stand before it counts as the normal bounds.
constexpr int kSettleDelay = 150;
// The caption bar the reachability check expects of a window manager, and
// how much of it must lie on a screen for the user to grab it.
constexpr int kCaptionHeight = 20;
constexpr int kGripWidth = 32;
constexpr int kGripHeight = 10;

std::vector<TForm*>& Forms()
{
    static std::vector<TForm*> forms;
    return forms;
}

}  // namespace

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setFont(WindowFont());
    Forms().push_back(this);
    WatchApplicationEvents();
}

TForm::~TForm() { std::erase(Forms(), this); }

TForm* TForm::OfWindow(const QObject* window)
{
    for (TForm* form : Forms()) {
        if (form->windowHandle() == window) return form;
    }
    return nullptr;
}

std::string TForm::Caption() const { return FromQString(windowTitle()); }

void TForm::SetCaption(std::string_view caption) { setWindowTitle(ToQString(caption)); }

// Until the window manager has framed the window, the outer bounds are the
// ones asked for; reading them back must give those, or the stored bounds
// would creep by the frame at every start.
int TForm::Left() const { return RequestedOuterBounds() ? RequestedOuterBounds()->x() : OuterGeometry().x(); }

int TForm::Top() const { return RequestedOuterBounds() ? RequestedOuterBounds()->y() : OuterGeometry().y(); }

int TForm::Width() const
{
    return RequestedOuterBounds() ? RequestedOuterBounds()->width() : OuterGeometry().width();
}

int TForm::Height() const
{
    return RequestedOuterBounds() ? RequestedOuterBounds()->height() : OuterGeometry().height();
}

const std::optional<QRect>& TForm::RequestedOuterBounds() const
{
    static const std::optional<QRect> none;
    return WindowState() == wsNormal ? m_requestedOuterBounds : none;
}

void TForm::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }

void TForm::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }

void TForm::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }

void TForm::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TForm::SetBounds(int left, int top, int width, int height)
{
    const QMargins frame = FrameMargins();
    m_requestedOuterBounds.reset();
    m_fitTimer.stop();
    if (!frame.isNull()) {
        PlaceClient(QRect(left, top, width, height).marginsRemoved(frame));
    } else {
        // The window manager puts the frame's corner where the window is
        // moved to, whatever frame it adds.
        move(left, top);
        ResizeClient(width, height);
    }
    if (frame.isNull() && m_borderStyle != bsNone) {
        // The frame is not known yet: for now the client is too large by it.
        RequestOuterBounds(QRect(left, top, std::max(0, width), std::max(0, height)), false);
    }
    RememberNormalBounds();
}

// The frame as the window manager reports it now. Qt's own frame geometry
// follows a change of the frame only with the next move, and a window coming
// back from maximised changes its frame without one.
QMargins TForm::FrameMargins() const
{
    const QWindow* window = windowHandle();
    return window != nullptr ? window->frameMargins() : QMargins();
}

QRect TForm::OuterGeometry() const { return geometry().marginsAdded(FrameMargins()); }

// Puts the client area exactly there: the window manager keeps it in place
// and builds its frame around it.
void TForm::PlaceClient(const QRect& client)
{
    const QSize size(std::max(0, client.width()), std::max(0, client.height()));
    if (m_borderStyle == bsSingle) setFixedSize(size);
    setGeometry(QRect(client.topLeft(), size));
    AlignControls(this);
}

void TForm::RequestOuterBounds(const QRect& outer, bool overWindowManager)
{
    m_requestedOuterBounds = outer;
    m_requestedClientSize = size();
    m_requestOverridesSizing = overWindowManager;
    m_fitAttempts = 0;
    m_fitConfirmations = 0;
    FitRequestedOuterBounds(false);
}

// Once the frame is known, the window takes the outer bounds asked for. The
// window manager may answer with other bounds first (those it remembers
// from before a maximise), and reports a changed frame some time after the
// change of state, so the bounds are checked again on its next reports and
// on a few timer ticks, and applied again until they stand.
void TForm::FitRequestedOuterBounds(bool tick)
{
    if (!m_requestedOuterBounds || m_fitSuspended || !isVisible() || WindowState() != wsNormal) return;
    const QRect outer = *m_requestedOuterBounds;
    // Bounds asked for before the frame was known give way to any sizing
    // since; those of a return to normal state override the window
    // manager's own.
    const bool sizedSince = size() != m_requestedClientSize;
    const QMargins frame = FrameMargins();
    const bool standing = OuterGeometry() == outer && !frame.isNull();
    if (standing && tick) ++m_fitConfirmations;
    if ((standing && m_fitConfirmations >= kFitConfirmations) || (sizedSince && !m_requestOverridesSizing) ||
        m_fitAttempts >= kFitAttempts) {
        // Either the bounds stand, or the user or the window manager will
        // have others: what the window has now stands.
        m_requestedOuterBounds.reset();
        m_fitTimer.stop();
        return;
    }
    if (!m_fitTimer.isActive()) m_fitTimer.start(kFitInterval, this);
    if (tick) ++m_fitAttempts;
    if (standing || frame.isNull()) return;
    m_fitConfirmations = 0;
    PlaceClient(outer.marginsRemoved(frame));
    m_requestedClientSize = size();
}

void TForm::SetClientWidth(int width)
{
    m_requestedOuterBounds.reset();
    ResizeClient(width, height());
    RememberNormalBounds();
}

void TForm::SetClientHeight(int height)
{
    m_requestedOuterBounds.reset();
    ResizeClient(width(), height);
    RememberNormalBounds();
}

void TForm::ResizeClient(int width, int height)
{
    const QSize size(std::max(0, width), std::max(0, height));
    if (m_borderStyle == bsSingle) {
        setFixedSize(size);
    } else {
        resize(size);
    }
    // A hidden window gets its resize event only when shown; its controls
    // must stand right now.
    AlignControls(this);
}

void TForm::RememberNormalBounds()
{
    if (WindowState() != wsNormal) return;
    m_normalBounds = QRect(Left(), Top(), Width(), Height());
}

// The window manager moved or sized the window, or changed its state. A
// geometry in normal state becomes the normal bounds once it has stood for
// a moment, so that the size of a maximise reported just before its state
// is never taken for them.
void TForm::NoteGeometryChange()
{
    if (isVisible() && WindowState() == wsNormal && !m_requestedOuterBounds) m_settleTimer.start(kSettleDelay, this);
}

void TForm::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_fitTimer.timerId()) {
        if (!m_requestedOuterBounds) m_fitTimer.stop();
        FitRequestedOuterBounds(true);
        return;
    }
    if (event->timerId() == m_settleTimer.timerId()) {
        m_settleTimer.stop();
        if (isVisible() && !m_requestedOuterBounds && !m_fitSuspended && !FrameMargins().isNull()) {
            RememberNormalBounds();
        }
        return;
    }
    QWidget::timerEvent(event);
}

TWindowState TForm::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) return wsMinimized;
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) return wsMaximized;
    return wsNormal;
}

void TForm::SetWindowState(TWindowState state)
{
    const Qt::WindowStates old = windowState();
    Qt::WindowStates wanted = old & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    if (state == wsMinimized) wanted |= Qt::WindowMinimized;
    if (state == wsMaximized) wanted |= Qt::WindowMaximized;
    if (wanted == old) return;
    const TWindowState oldState = WindowState();
    // Leaving normal state, the bounds of this moment are the normal ones,
    // unless the window is still on its way to bounds asked for.
    if (oldState == wsNormal) {
        if (m_requestedOuterBounds) {
            m_normalBounds = *m_requestedOuterBounds;
        } else if (!isVisible() || !FrameMargins().isNull()) {
            RememberNormalBounds();
        }
        m_settleTimer.stop();
    }
    {
        // The window passes through sizes of nobody's choosing meanwhile.
        m_fitSuspended = true;
        struct TSuspendFit {
            bool& suspended;
            ~TSuspendFit() { suspended = false; }
        } suspend{m_fitSuspended};
        setWindowState(wanted);
    }
    // The window manager restores bounds of its own when it gets round to
    // it; the program reads the normal bounds right away, and the window
    // takes them as soon as it can.
    if (state == wsNormal && m_normalBounds.isValid()) {
        if (FrameMargins().isNull() || !isVisible()) {
            move(m_normalBounds.topLeft());
            ResizeClient(m_normalBounds.width(), m_normalBounds.height());
        }
        RequestOuterBounds(m_normalBounds, true);
    }
    AlignControls(this);
}

// Bounds read from a hand-edited or damaged settings file may give a window
// of no size, or one whose caption bar lies where no screen is: the user
// could neither see nor grab it, and closing it would store that again.
void TForm::EnsureReachable()
{
    QRect outer(Left(), Top(), Width(), Height());
    QRect wanted = outer;
    if (m_borderStyle != bsNone) {
        wanted.setWidth(std::max(outer.width(), kMinimumOuterWidth));
        wanted.setHeight(std::max(outer.height(), kMinimumOuterHeight));
    } else {
        wanted.setWidth(std::max(outer.width(), 1));
        wanted.setHeight(std::max(outer.height(), 1));
    }
    const QRect caption(wanted.left(), wanted.top(), wanted.width(), std::min(kCaptionHeight, wanted.height()));
    const QList<QScreen*> screens = QGuiApplication::screens();
    const bool onAScreen = std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen* screen) {
        const QRect grip = caption.intersected(screen->geometry());
        return grip.width() >= std::min(kGripWidth, caption.width()) &&
               grip.height() >= std::min(kGripHeight, caption.height());
    });
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!onAScreen && primary != nullptr) {
        const QRect area = primary->availableGeometry();
        wanted.moveLeft(std::max(area.left(), std::min(wanted.left(), area.right() + 1 - wanted.width())));
        wanted.moveTop(std::max(area.top(), std::min(wanted.top(), area.bottom() + 1 - wanted.height())));
    }
    if (wanted != outer) SetBounds(wanted.x(), wanted.y(), wanted.width(), wanted.height());
}

void TForm::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style;
    UpdateWindowFlags();
}

void TForm::SetFormStyle(TFormStyle style)
{
    m_formStyle = style;
    UpdateWindowFlags();
}

void TForm::UpdateWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    if (m_borderStyle == bsNone) flags |= Qt::FramelessWindowHint;
    if (m_borderStyle == bsSingle) flags |= Qt::MSWindowsFixedSizeDialogHint;
    if (m_formStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    if (m_borderStyle == bsSingle) {
        setFixedSize(size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    // New flags hide a visible window; it must stay as the user saw it.
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (wasVisible) show();
}

void TForm::SetModalResult(TModalResult result)
{
    m_modalResult = result;
    if (m_modalLoop != nullptr && result != mrNone && !m_modalEndPosted) {
        m_modalEndPosted = true;
        QCoreApplication::postEvent(this, new QEvent(kEndModalEvent));
    }
}

void TForm::Show()
{
    show();
    raise();
}

void TForm::Hide() { hide(); }

void TForm::Close() { close(); }

TModalResult TForm::ShowModal()
{
    if (isVisible()) throw EInvalidOperation(messages::kCannotShowVisibleModal);
    QEventLoop loop;
    // Whatever ends the modal state, an error included, leaves the window
    // hidden and modeless again.
    struct TModalScope {
        TForm& form;
        ~TModalScope()
        {
            form.m_modalLoop = nullptr;
            QCoreApplication::removePostedEvents(&form, kEndModalEvent);
            form.m_modalEndPosted = false;
            form.hide();
            form.setWindowModality(Qt::NonModal);
        }
    } scope{*this};
    m_modalResult = mrNone;
    setWindowModality(Qt::ApplicationModal);
    m_modalLoop = &loop;
    Show();
    activateWindow();
    if (loop.exec(QEventLoop::DialogExec) != kModalEnded && m_modalResult == mrNone) {
        // The application is ending under the modal window.
        m_modalResult = mrCancel;
    }
    return m_modalResult;
}

void TForm::DoCreate() { OnCreate(this); }

// A modal window closes as any other: its close handler may keep it open.
void TForm::EndModalOnRequest()
{
    m_modalEndPosted = false;
    if (m_modalLoop == nullptr || m_modalResult == mrNone) return;
    TCloseAction action = caHide;
    try {
        OnClose(this, action);
    } catch (...) {
        m_modalResult = mrNone;
        throw;
    }
    if (action == caNone) {
        m_modalResult = mrNone;
        return;
    }
    m_modalLoop->exit(kModalEnded);
}

void TForm::setVisible(bool visible)
{
    if (visible && !isVisible() && m_position == poScreenCenter) {
        move(ScreenCentredPosition(QSize(Width(), Height()), this));
    }
    QWidget::setVisible(visible);
    FitRequestedOuterBounds(false);
}

bool TForm::event(QEvent* event)
{
    if (event->type() == kEndModalEvent) {
        EndModalOnRequest();
        return true;
    }
    const bool handled = QWidget::event(event);
    // The user brought the window back from maximised or minimised through
    // the window manager, which restores bounds of its own making (from a
    // time it did not know the frame, for one): the window takes its
    // normal bounds.
    if (event->type() == QEvent::WindowStateChange && !m_fitSuspended && WindowState() == wsNormal &&
        (static_cast<QWindowStateChangeEvent*>(event)->oldState() &
         (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) &&
        m_normalBounds.isValid()) {
        RequestOuterBounds(m_normalBounds, true);
    }
    switch (event->type()) {
    // The window manager reports the frame some time after the window is
    // shown, with one of these.
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        FitRequestedOuterBounds(false);
        NoteGeometryChange();
        break;
    default: break;
    }
    return handled;
}

void TForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Spontaneous show events come from the window system, for example when
    // a minimised window is restored; the window was shown long before.
    if (!event->spontaneous()) OnShow(this);
}

void TForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    OnResize(this);
}

void TForm::closeEvent(QCloseEvent* event)
{
    // Ignored until the handler has agreed, so that an error in it leaves the
    // window open.
    event->ignore();
    if (m_modalLoop != nullptr) {
        if (m_modalResult == mrNone) SetModalResult(mrCancel);
        return;
    }
    TCloseAction action = caHide;
    OnClose(this, action);
    if (action == caNone) return;
    if (action == caMinimize) {
        SetWindowState(wsMinimized);
        return;
    }
    event->accept();
    hide();
    emit Closed();
}

TForm* ParentForm(const QWidget* control)
{
    return control != nullptr ? qobject_cast<TForm*>(control->window()) : nullptr;
}

}  // namespace quorvane
