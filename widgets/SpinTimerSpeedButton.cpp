#include "widgets/Spin.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QTimerEvent>
#include <qdrawutil.h>

namespace quorvane {

// The repeat timer calls the button from its own timer event rather than
// through a signal, so that an error raised by a repeated click travels only
// through event handling on its way to the application's error display.
class TTimerSpeedButton::TRepeatTimer final : public QTimer {
public:
    explicit TRepeatTimer(TTimerSpeedButton* button) : QTimer(button), m_button(button) {}

protected:
    void timerEvent(QTimerEvent* event) override
    {
        if (event->timerId() != timerId()) {
            QTimer::timerEvent(event);
            return;
        }
        if (isSingleShot()) stop();
        m_button->RepeatTick();
    }

private:
    TTimerSpeedButton* m_button;
};

TTimerSpeedButton::TTimerSpeedButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TTimerSpeedButton::~TTimerSpeedButton() = default;

void TTimerSpeedButton::SetAllowTimer(bool allow)
{
    m_allowTimer = allow;
    if (!allow && m_repeatTimer != nullptr) m_repeatTimer->stop();
}

void TTimerSpeedButton::SetGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    update();
}

void TTimerSpeedButton::SetShowsFocus(bool shows)
{
    if (m_showsFocus == shows) return;
    m_showsFocus = shows;
    update();
}

QTimer* TTimerSpeedButton::RepeatTimer() const { return m_repeatTimer; }

void TTimerSpeedButton::Click()
{
    if (m_onClick) m_onClick();
}

void TTimerSpeedButton::SetShownPressed(bool pressed)
{
    if (m_shownPressed == pressed) return;
    m_shownPressed = pressed;
    update();
}

void TTimerSpeedButton::CancelMode()
{
    m_tracking = false;
    if (m_repeatTimer != nullptr) m_repeatTimer->stop();
    ReleaseMouseCapture(this);
    SetShownPressed(false);
}

void TTimerSpeedButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (m_onPress) m_onPress();
    m_tracking = true;
    SetShownPressed(true);
    SetMouseCapture(this);
    if (m_allowTimer) {
        if (m_repeatTimer == nullptr) m_repeatTimer = new TRepeatTimer(this);
        m_repeatTimer->start(kRepeatDelay);
    }
}

void TTimerSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_tracking) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    SetShownPressed(rect().contains(event->position().toPoint()));
}

void TTimerSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_tracking) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool overButton = rect().contains(event->position().toPoint());
    CancelMode();
    if (overButton) Click();
}

// A button that disappears or is disabled while held gets no release any
// more, so its repeat ends here.
void TTimerSpeedButton::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (m_tracking) CancelMode();
}

void TTimerSpeedButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_tracking) CancelMode();
}

void TTimerSpeedButton::RepeatTick()
{
    m_repeatTimer->setInterval(kRepeatInterval);
    if (!m_shownPressed || MouseCapture() != this) return;
    try {
        Click();
    } catch (...) {
        // The box that shows the error must not be followed by more steps.
        m_repeatTimer->stop();
        throw;
    }
}

void TTimerSpeedButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    qDrawWinButton(&painter, rect(), colours, m_shownPressed, &colours.brush(QPalette::Button));

    const int shift = m_shownPressed ? 1 : 0;
    if (!m_glyph.isNull()) {
        const QSize glyphSize = m_glyph.deviceIndependentSize().toSize();
        const QPoint origin((width() - glyphSize.width()) / 2 + shift, (height() - glyphSize.height()) / 2 + shift);
        if (!isEnabled()) painter.setOpacity(0.4);
        painter.drawPixmap(origin, m_glyph);
        painter.setOpacity(1.0);
    }
    if (m_showsFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3).translated(shift, shift);
        focus.backgroundColor = colours.color(QPalette::Button);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace quorvane
