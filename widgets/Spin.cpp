#include "widgets/Spin.h"

#include "framework/Beep.h"
#include "framework/NarrowText.h"
#include "runtime/Conversions.h"
#include "runtime/ScopedValue.h"
#include "widgets/SpinAccessible.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>
#include <limits>

namespace quorvane {

namespace {

// A three-dimensional border takes two pixels on every side; the field's
// client area, where the arrows sit, lies inside it.
constexpr int kBorder3D = 2;
// The height of a thin system border line.
constexpr int kSystemBorderHeight = 1;

constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
constexpr char16_t kDelete = 127;

// A step past the end of the number range stays at the end instead of
// wrapping round to the other sign.
std::int32_t SaturatedSum(std::int32_t value, std::int32_t step)
{
    const std::int64_t sum = std::int64_t{value} + step;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t SaturatedDifference(std::int32_t value, std::int32_t step)
{
    const std::int64_t difference = std::int64_t{value} - step;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        difference, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The characters a key press types. The Delete key and the cursor keys type
// nothing; with Ctrl held a letter types its control character, whatever
// text the platform reports for it.
QString TypedText(const QKeyEvent& event)
{
    QString text = event.text();
    if (text.size() == 1 && text.at(0).unicode() == kDelete) return {};
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier)) {
        for (QChar& character : text) {
            const char16_t code = character.unicode();
            if ((code >= u'a' && code <= u'z') || (code >= u'@' && code <= u'_')) {
                character = QChar(static_cast<char16_t>(code & 0x1F));
            }
        }
    }
    return text;
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* parent) : TSpinEdit(parent, TSpinEditDescription{}) {}

TSpinEdit::TSpinEdit(QWidget* parent, TSpinEditDescription stored)
    : QLineEdit(QStringLiteral("0"), parent), m_button(new TSpinButton(this))
{
    spinaccess::Install();
    m_button->setObjectName(QStringLiteral("SpinButton"));
    m_button->SetFocusControl(this);
    m_button->SetOnUpClick([this] { StepUp(); });
    m_button->SetOnDownClick([this] { StepDown(); });
    connect(this, &QLineEdit::textChanged, this, [this] { TextChanged(); });

    m_onChange = std::move(stored.onChange);
    SetLimit(stored.limit);
    SetMaxValue(stored.maxValue);
    SetMinValue(stored.minValue);
    SetValue(stored.value);
    m_increment = stored.increment;
    m_editorEnabled = stored.editorEnabled;
    m_readOnly = stored.readOnly;
    m_autoSelect = stored.autoSelect;
    UpdateEditable();
    UpdateLayout();
    m_creating = false;
}

std::int32_t TSpinEdit::Value() const
{
    std::int32_t value = 0;
    if (!TryStrToInt(FromQString(text()), value)) return m_minValue;
    return value;
}

void TSpinEdit::SetValue(std::int32_t value)
{
    const QString newText = ToQString(IntToStr(ClampValue(value)));
    if (newText == text()) return;
    {
        // Text changes that happen while the field handles an event or a
        // write are reported once that work is done, so an OnChange handler
        // (and any error it raises) runs from the field's own code, never
        // from inside the edit control's bookkeeping.
        TScopedValue hold(m_holdDepth, m_holdDepth + 1);
        setText(newText);
    }
    FireChangeIfPending();
}

std::int32_t TSpinEdit::ClampValue(std::int32_t value) const
{
    switch (m_limit) {
    case slNone:
        return value;
    case slMin:
        return value < m_minValue ? m_minValue : value;
    case slMax:
        return value > m_maxValue ? m_maxValue : value;
    case slBoth:
        if (value < m_minValue) return m_minValue;
        if (value > m_maxValue) return m_maxValue;
        return value;
    }
    return value;
}

void TSpinEdit::SetMaxValue(std::int32_t value)
{
    // With both bounds enforced the range must never become empty.
    if (m_limit != slBoth || value > m_minValue) m_maxValue = value;
    SetValue(Value());
}

void TSpinEdit::SetMinValue(std::int32_t value)
{
    if (m_limit != slBoth || value < m_maxValue) m_minValue = value;
    SetValue(Value());
}

void TSpinEdit::SetLimit(TSpinLimit limit)
{
    m_limit = limit;
    if (m_limit == slBoth && m_maxValue < m_minValue) m_maxValue = m_minValue;
    SetValue(Value());
}

void TSpinEdit::SetEditorEnabled(bool enabled)
{
    m_editorEnabled = enabled;
    UpdateEditable();
}

void TSpinEdit::SetReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    UpdateEditable();
}

// Without its editor the field takes no paste, cut or drop from any source
// (keys, context menu, middle button), exactly as when it is read-only;
// only the arrows then change the number.
void TSpinEdit::UpdateEditable() { setReadOnly(m_readOnly || !m_editorEnabled); }

void TSpinEdit::StepUp()
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    SetValue(SaturatedSum(Value(), m_increment));
}

void TSpinEdit::StepDown()
{
    if (ReadOnly()) {
        Beep();
        return;
    }
    SetValue(SaturatedDifference(Value(), m_increment));
}

void TSpinEdit::TextChanged()
{
    if (m_creating) return;
    spinaccess::ValueChanged(*this);
    m_changePending = true;
    // A change made from outside, by a direct write of the edit's text, is
    // reported at once; there is no later point at which to report it.
    if (m_holdDepth == 0) FireChangeIfPending();
}

void TSpinEdit::FireChangeIfPending()
{
    if (!m_changePending) return;
    m_changePending = false;
    if (m_onChange) m_onChange();
}

bool TSpinEdit::event(QEvent* event)
{
    bool handled = false;
    {
        TScopedValue hold(m_holdDepth, m_holdDepth + 1);
        handled = QLineEdit::event(event);
    }
    if (m_holdDepth == 0) FireChangeIfPending();
    return handled;
}

bool TSpinEdit::IsAcceptedCharacter(char16_t character) const
{
    if (!m_editorEnabled && (character >= 32 || character == kBackspace)) return false;
    if (character >= u'0' && character <= u'9') return true;
    if (character == u'+' || character == u'-') return true;
    const QString separator = QLocale().decimalPoint();
    if (separator.size() == 1 && separator.at(0).unicode() == character) return true;
    return character < 32 && character != kEnter;
}

void TSpinEdit::keyPressEvent(QKeyEvent* event)
{
    const bool stepKey = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (event->key() == Qt::Key_Up) StepUp();
    if (event->key() == Qt::Key_Down) StepDown();

    const QString typed = TypedText(*event);
    const bool refused = std::any_of(typed.cbegin(), typed.cend(),
                                     [this](QChar character) { return !IsAcceptedCharacter(character.unicode()); });
    if (refused) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
    // The arrow keys have stepped the value; they should not also reach the parent.
    if (stepKey) event->accept();
}

void TSpinEdit::inputMethodEvent(QInputMethodEvent* event)
{
    const QString committed = event->commitString();
    const bool refused = std::any_of(committed.cbegin(), committed.cend(),
                                     [this](QChar character) { return !IsAcceptedCharacter(character.unicode()); });
    if (refused) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TSpinEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    // Closing the field's own context menu gives the focus back; the user's
    // selection must survive that.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason) return;
    // A click into the field places the cursor where the user clicked; any
    // other way in selects the number, ready to be typed over.
    if (m_autoSelect) {
        if (!(QApplication::mouseButtons() & Qt::LeftButton)) selectAll();
    } else if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason) {
        // The edit control selects its text on these ways in by itself.
        deselect();
    }
}

void TSpinEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu of the field does not end the user's typing, and
    // neither does another window coming to the front (an error box about
    // the number just typed, the about box, another program): the field
    // keeps the focus within its window and the number stays as typed
    // until the user moves on to another control.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) return;
    const std::int32_t value = Value();
    if (ClampValue(value) != value) SetValue(value);
}

void TSpinEdit::SetFrame(bool threeDimensional)
{
    setFrame(threeDimensional);
    UpdateLayout();
}

QRect TSpinEdit::ClientRect() const
{
    if (!hasFrame()) return rect();
    return rect().adjusted(kBorder3D, kBorder3D, -kBorder3D, -kBorder3D);
}

QRect TSpinEdit::EditRect() const
{
    const QRect client = ClientRect();
    return QRect(client.left(), client.top(), client.width() - m_button->width() - 2, client.height() + 1);
}

int TSpinEdit::MinimumFieldHeight() const
{
    const int fieldHeight = QFontMetrics(font()).height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return fieldHeight + std::min(systemHeight, fieldHeight) / 4 + 4 * kSystemBorderHeight;
}

void TSpinEdit::UpdateLayout()
{
    setMinimumHeight(MinimumFieldHeight());
    if (hasFrame()) {
        const QRect client = ClientRect();
        m_button->setGeometry(client.left() + client.width() - kButtonWidth, client.top(), kButtonWidth,
                              client.height());
    } else {
        m_button->setGeometry(width() - kButtonWidth, 1, kButtonWidth, height() - 1);
    }

    // Qt places the text inside its own frame; the right margin keeps it
    // within the edit rectangle, clear of the arrows.
    setTextMargins(0, 0, 0, 0);
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    setTextMargins(0, 0, std::max(0, contents.right() - EditRect().right()), 0);
}

void TSpinEdit::resizeEvent(QResizeEvent* event)
{
    QLineEdit::resizeEvent(event);
    UpdateLayout();
}

void TSpinEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) UpdateLayout();
}

}  // namespace quorvane
