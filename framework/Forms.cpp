#include "framework/Forms.h"

#include "framework/Alignment.h"
#include "framework/Buttons.h"
#include "framework/Fonts.h"
#include "framework/Messages.h"
#include "framework/NarrowText.h"
#include "framework/Screen.h"
#include "runtime/Exceptions.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWindow>

#include <algorithm>
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

TForm* FormOfWindow(const QObject* window)
{
    for (TForm* form : Forms()) {
        if (form->windowHandle() == window) return form;
    }
    return nullptr;
}

}  // namespace

// Watches what the application delivers for the forms: keys reaching a
// form's window before they go on to its focused control, and tool tips of
// forms that show no hints. One filter on the application serves all forms,
// so a window that the window system re-creates keeps its preview.
class TFormEventFilter : public QObject {
public:
    static void Install()
    {
        static QPointer<TFormEventFilter> filter;
        if (filter == nullptr && qApp != nullptr) {
            filter = new TFormEventFilter(qApp);
            qApp->installEventFilter(filter);
        }
    }

    // A key a preview handler changed travels on as this event and must not
    // be previewed again.
    static inline const QEvent* s_passedOn = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (event != s_passedOn && watched->isWindowType()) {
                TForm* form = FormOfWindow(watched);
                if (form != nullptr && form->KeyPreview()) return form->PreviewKey(static_cast<QKeyEvent*>(event));
            }
            return false;
        case QEvent::ToolTip:
            if (watched->isWidgetType()) {
                const TForm* form = ParentForm(static_cast<QWidget*>(watched));
                if (form != nullptr && !form->ShowHint()) {
                    event->accept();
                    return true;
                }
            }
            return false;
        default: return false;
        }
    }

private:
    using QObject::QObject;
};

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setFont(WindowFont());
    Forms().push_back(this);
    TFormEventFilter::Install();
}

TForm::~TForm() { std::erase(Forms(), this); }

std::string TForm::Caption() const { return FromQString(windowTitle()); }

void TForm::SetCaption(std::string_view caption) { setWindowTitle(ToQString(caption)); }

// Until the window manager has framed the window, the outer bounds are the
// ones asked for; reading them back must give those, or the stored bounds
// would creep by the frame at every start.
int TForm::Left() const { return RequestedOuterBounds() ? RequestedOuterBounds()->x() : frameGeometry().x(); }

int TForm::Top() const { return RequestedOuterBounds() ? RequestedOuterBounds()->y() : frameGeometry().y(); }

int TForm::Width() const
{
    return RequestedOuterBounds() ? RequestedOuterBounds()->width() : frameGeometry().width();
}

int TForm::Height() const
{
    return RequestedOuterBounds() ? RequestedOuterBounds()->height() : frameGeometry().height();
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
    const QSize frame = FrameSize();
    move(left, top);
    ResizeClient(width - frame.width(), height - frame.height());
    m_requestedOuterBounds.reset();
    if (frame.isNull() && m_borderStyle != bsNone) {
        // The frame is not known yet: for now the client is too large by it.
        m_requestedOuterBounds = QRect(left, top, std::max(0, width), std::max(0, height));
        m_requestedClientSize = size();
        FitRequestedOuterBounds();
    }
}

QSize TForm::FrameSize() const { return frameGeometry().size() - size(); }

// Once the frame is known, the window takes the outer bounds asked for,
// unless someone has sized it since.
void TForm::FitRequestedOuterBounds()
{
    if (!m_requestedOuterBounds || m_fitSuspended || !isVisible() || WindowState() != wsNormal) return;
    if (size() != m_requestedClientSize) {
        m_requestedOuterBounds.reset();
        return;
    }
    const QSize frame = FrameSize();
    if (frame.isNull()) return;
    const QRect outer = *m_requestedOuterBounds;
    m_requestedOuterBounds.reset();
    move(outer.topLeft());
    ResizeClient(outer.width() - frame.width(), outer.height() - frame.height());
}

void TForm::SetClientWidth(int width)
{
    m_requestedOuterBounds.reset();
    ResizeClient(width, height());
}

void TForm::SetClientHeight(int height)
{
    m_requestedOuterBounds.reset();
    ResizeClient(width(), height);
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
    const QRect normal = normalGeometry();
    {
        // The window passes through sizes of nobody's choosing meanwhile.
        m_fitSuspended = true;
        struct TSuspendFit {
            bool& suspended;
            ~TSuspendFit() { suspended = false; }
        } suspend{m_fitSuspended};
        setWindowState(wanted);
        // The window manager restores the bounds when it gets round to it;
        // the program reads them right away.
        if (state == wsNormal && (old & (Qt::WindowMaximized | Qt::WindowFullScreen)) && normal.isValid()) {
            setGeometry(normal);
        }
    }
    AlignControls(this);
    FitRequestedOuterBounds();
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
    FitRequestedOuterBounds();
}

bool TForm::event(QEvent* event)
{
    if (event->type() == kEndModalEvent) {
        EndModalOnRequest();
        return true;
    }
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    // The window manager reports the frame some time after the window is
    // shown, with one of these.
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
    case QEvent::WindowStateChange: FitRequestedOuterBounds(); break;
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

bool TForm::FireKeyEvent(QKeyEvent* event, int& key)
{
    const int original = key;
    if (event->type() == QEvent::KeyPress) {
        OnKeyDown(this, key, event->modifiers());
    } else {
        OnKeyUp(this, key, event->modifiers());
    }
    return key != original;
}

bool TForm::PreviewKey(QKeyEvent* event)
{
    int key = event->key();
    if (!FireKeyEvent(event, key)) return false;
    if (key != 0) {
        QKeyEvent changed(event->type(), key, event->modifiers(), QString(), event->isAutoRepeat(), event->count());
        const QEvent* previous = TFormEventFilter::s_passedOn;
        TFormEventFilter::s_passedOn = &changed;
        struct TRestore {
            const QEvent* previous;
            ~TRestore() { TFormEventFilter::s_passedOn = previous; }
        } restore{previous};
        QCoreApplication::sendEvent(windowHandle(), &changed);
    }
    event->accept();
    return true;
}

// Enter clicks the focused button, else the default button; Escape clicks
// the cancel button. Controls that use these keys themselves accept them and
// they never get here.
bool TForm::HandleDialogKey(int key)
{
    QPushButton* target = nullptr;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        target = qobject_cast<QPushButton*>(focusWidget());
        if (target == nullptr) {
            const QList<TBitBtn*> buttons = findChildren<TBitBtn*>();
            auto it = std::find_if(buttons.begin(), buttons.end(),
                                   [](const TBitBtn* button) { return button->Default() && CanFocus(button); });
            if (it != buttons.end()) target = *it;
        }
    } else if (key == Qt::Key_Escape) {
        const QList<TBitBtn*> buttons = findChildren<TBitBtn*>();
        auto it = std::find_if(buttons.begin(), buttons.end(),
                               [](const TBitBtn* button) { return button->Cancel() && CanFocus(button); });
        if (it != buttons.end()) target = *it;
    }
    if (target == nullptr || !target->isEnabled()) return false;
    target->click();
    return true;
}

void TForm::keyPressEvent(QKeyEvent* event)
{
    int key = event->key();
    // Without the preview the window hears only the keys meant for itself.
    if (!m_keyPreview && (focusWidget() == nullptr || focusWidget() == this)) FireKeyEvent(event, key);
    if (key == 0 || HandleDialogKey(key)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm::keyReleaseEvent(QKeyEvent* event)
{
    int key = event->key();
    if (!m_keyPreview && (focusWidget() == nullptr || focusWidget() == this)) FireKeyEvent(event, key);
    if (key == 0) {
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

TForm* ParentForm(const QWidget* control)
{
    return control != nullptr ? qobject_cast<TForm*>(control->window()) : nullptr;
}

}  // namespace quorvane
