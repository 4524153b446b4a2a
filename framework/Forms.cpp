#include "framework/Forms.h"

#include "framework/Accessibility.h"
#include "framework/Alignment.h"
#include "framework/Fonts.h"
#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "framework/Screen.h"
#include "framework/WindowBounds.h"
#include "runtime/Exceptions.h"
#include "runtime/ScopedValue.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimerEvent>
#include <QWindow>

#include <algorithm>
#include <optional>
#include <vector>

namespace quorvane {

namespace {

const QEvent::Type kEndModalEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kModalEnded = 1;

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
    InstallFrameworkAccessibility();
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

int TForm::Left() const { return m_bounds.Outer(Report()).x(); }

int TForm::Top() const { return m_bounds.Outer(Report()).y(); }

int TForm::Width() const { return m_bounds.Outer(Report()).width(); }

int TForm::Height() const { return m_bounds.Outer(Report()).height(); }

TWindowReport TForm::Report() const { return {isVisible(), WindowState() == wsNormal, geometry(), FrameMargins()}; }

void TForm::SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }

void TForm::SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }

void TForm::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }

void TForm::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TForm::SetBounds(int left, int top, int width, int height)
{
    const QMargins frame = FrameMargins();
    m_bounds.Drop();
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
        RequestOuterBounds(QRect(left, top, std::max(0, width), std::max(0, height)), rpYieldToSizing);
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

// Puts the client area exactly there: the window manager keeps it in place
// and builds its frame around it.
void TForm::PlaceClient(const QRect& client)
{
    const QSize size(std::max(0, client.width()), std::max(0, client.height()));
    if (m_borderStyle == bsSingle) setFixedSize(size);
    setGeometry(QRect(client.topLeft(), size));
    AlignControls(this);
}

void TForm::RequestOuterBounds(const QRect& outer, TRequestPriority priority)
{
    m_bounds.Request(outer, size(), priority);
    FitRequestedOuterBounds(foReport);
}

void TForm::FitRequestedOuterBounds(TFitOccasion occasion)
{
    const TFitStep step = m_bounds.Fit(Report(), occasion);
    switch (step.Action) {
    case TFitStep::faIdle: return;
    case TFitStep::faSettled: m_fitTimer.stop(); return;
    case TFitStep::faWait:
    case TFitStep::faPlace:
        if (!m_fitTimer.isActive()) m_fitTimer.start(TWindowBounds::kFitInterval, this);
        break;
    }
    if (step.Action != TFitStep::faPlace) return;
    PlaceClient(step.Client);
    m_bounds.Placed(size());
}

void TForm::SetClientWidth(int width)
{
    m_bounds.Drop();
    ResizeClient(width, height());
    RememberNormalBounds();
}

void TForm::SetClientHeight(int height)
{
    m_bounds.Drop();
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

void TForm::RememberNormalBounds() { m_bounds.RememberNormal(Report()); }

// The window manager moved or sized the window, or changed its state.
void TForm::NoteGeometryChange()
{
    if (m_bounds.AwaitsSettling(Report())) m_settleTimer.start(TWindowBounds::kSettleDelay, this);
}

void TForm::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_fitTimer.timerId()) {
        if (!m_bounds.Pending()) m_fitTimer.stop();
        FitRequestedOuterBounds(foTick);
        return;
    }
    if (event->timerId() == m_settleTimer.timerId()) {
        m_settleTimer.stop();
        m_bounds.Settle(Report());
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
    if (oldState == wsNormal) {
        m_bounds.LeaveNormal(Report());
        m_settleTimer.stop();
    }
    {
        // The window passes through sizes of nobody's choosing meanwhile.
        TScopedValue suspend(m_bounds.Suspended, true);
        setWindowState(wanted);
    }
    // The window manager restores bounds of its own when it gets round to
    // it; the program reads the normal bounds right away, and the window
    // takes them as soon as it can.
    const QRect normal = m_bounds.NormalBounds();
    if (state == wsNormal && normal.isValid()) {
        if (FrameMargins().isNull() || !isVisible()) {
            move(normal.topLeft());
            ResizeClient(normal.width(), normal.height());
        }
        RequestOuterBounds(normal, rpOverrideSizing);
    }
    AlignControls(this);
}

void TForm::EnsureReachable()
{
    const QRect outer(Left(), Top(), Width(), Height());
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->geometry());
    std::optional<QRect> primaryArea;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) primaryArea = primary->availableGeometry();
    const QRect wanted = ReachableBounds(outer, m_borderStyle != bsNone, screens, primaryArea);
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
    FitRequestedOuterBounds(foReport);
}

bool TForm::event(QEvent* event)
{
    if (event->type() == kEndModalEvent) {
        EndModalOnRequest();
        return true;
    }
    const bool handled = QWidget::event(event);
    // The user brought the window back from maximised or minimised through
    // the window manager: the window takes its normal bounds.
    if (event->type() == QEvent::WindowStateChange &&
        m_bounds.RestoresNormal(Report(), (static_cast<QWindowStateChangeEvent*>(event)->oldState() &
                                           (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) != 0)) {
        RequestOuterBounds(m_bounds.NormalBounds(), rpOverrideSizing);
    }
    switch (event->type()) {
    // The window manager reports the frame some time after the window is
    // shown, with one of these.
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange:
        FitRequestedOuterBounds(foReport);
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
