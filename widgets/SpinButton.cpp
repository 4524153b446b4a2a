#include "widgets/Spin.h"

#include "framework/Bitmaps.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace quorvane {

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent),
      m_upButton(new TTimerSpeedButton(this)),
      m_downButton(new TTimerSpeedButton(this)),
      m_focusedButton(m_upButton)
{
    m_upButton->setObjectName(QStringLiteral("UpButton"));
    m_downButton->setObjectName(QStringLiteral("DownButton"));
    m_upButton->SetGlyph(LoadBitmap("SPINUP"));
    m_downButton->SetGlyph(LoadBitmap("SPINDOWN"));
    m_upButton->SetOnPress([this] { ButtonPressed(m_upButton); });
    m_downButton->SetOnPress([this] { ButtonPressed(m_downButton); });

    // Inside a text field the arrows must not show the field's text cursor.
    setCursor(Qt::ArrowCursor);
    setFocusPolicy(Qt::NoFocus);
    setMinimumWidth(kMinimumWidth);
    resize(kMinimumWidth, 25);
    LayoutButtons();
}

const QPixmap& TSpinButton::UpGlyph() const { return m_upButton->Glyph(); }

void TSpinButton::SetUpGlyph(const QPixmap& glyph) { m_upButton->SetGlyph(glyph); }

const QPixmap& TSpinButton::DownGlyph() const { return m_downButton->Glyph(); }

void TSpinButton::SetDownGlyph(const QPixmap& glyph) { m_downButton->SetGlyph(glyph); }

void TSpinButton::SetOnUpClick(std::function<void()> handler) { m_upButton->SetOnClick(std::move(handler)); }

void TSpinButton::SetOnDownClick(std::function<void()> handler) { m_downButton->SetOnClick(std::move(handler)); }

bool TSpinButton::TabStop() const { return focusPolicy() != Qt::NoFocus; }

void TSpinButton::SetTabStop(bool tabStop) { setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::NoFocus); }

void TSpinButton::ButtonPressed(TTimerSpeedButton* button)
{
    // The arrows step the value of the field, so the field should be where
    // the user's typing goes next; only a pair that is a tab stop of its own
    // keeps the focus for itself.
    QWidget* target = m_focusControl.data();
    if (target != nullptr) {
        const bool canFocus = target->isVisible() && target->isEnabled() && target->focusPolicy() != Qt::NoFocus;
        if (canFocus && !target->hasFocus()) target->setFocus(Qt::MouseFocusReason);
    } else if (TabStop() && isVisible() && isEnabled() && !hasFocus()) {
        setFocus(Qt::MouseFocusReason);
    }
    FocusButton(button);
}

void TSpinButton::FocusButton(TTimerSpeedButton* button)
{
    m_focusedButton = button;
    m_upButton->SetShowsFocus(hasFocus() && button == m_upButton);
    m_downButton->SetShowsFocus(hasFocus() && button == m_downButton);
}

void TSpinButton::LayoutButtons()
{
    // The two arrows share one pixel row, so their borders meet in a single line.
    const int upperHeight = height() / 2;
    m_upButton->setGeometry(0, 0, width(), upperHeight);
    m_downButton->setGeometry(0, upperHeight - 1, width(), height() - upperHeight + 1);
}

void TSpinButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutButtons();
}

void TSpinButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        FocusButton(m_upButton);
        m_upButton->Click();
        break;
    case Qt::Key_Down:
        FocusButton(m_downButton);
        m_downButton->Click();
        break;
    case Qt::Key_Space:
        m_focusedButton->Click();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TSpinButton::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    FocusButton(m_focusedButton);
}

void TSpinButton::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    FocusButton(m_focusedButton);
}

}  // namespace quorvane
