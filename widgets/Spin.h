#pragma once

#include "framework/MouseCapture.h"

#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <utility>

class QTimer;

namespace quorvane {

// An arrow button that repeats its click while it is held down: once after
// 400 ms, then every 100 ms, and once more when the button is released over it.
class TTimerSpeedButton : public QWidget, public TMouseCaptureHolder {
    Q_OBJECT

public:
    explicit TTimerSpeedButton(QWidget* parent = nullptr);
    ~TTimerSpeedButton() override;

    bool AllowTimer() const { return m_allowTimer; }
    void SetAllowTimer(bool allow);

    const QPixmap& Glyph() const { return m_glyph; }
    void SetGlyph(const QPixmap& glyph);

    void SetOnClick(std::function<void()> handler) { m_onClick = std::move(handler); }

    // Runs before a press of the left button takes effect; the arrow pair
    // moves the focus here. An error raised by it cancels the press.
    void SetOnPress(std::function<void()> handler) { m_onPress = std::move(handler); }

    // Fires the click as a release over the button would.
    void Click();

    // Whether the button is drawn pressed: while the held mouse is over it.
    bool IsShownPressed() const { return m_shownPressed; }

    // The focus rectangle is drawn for the arrow that has the focus within its pair.
    bool ShowsFocus() const { return m_showsFocus; }
    void SetShowsFocus(bool shows);

    // The repeat timer, created at the first press and kept as long as the
    // button lives; nullptr before that.
    QTimer* RepeatTimer() const;

    // Stops the repeat and shows the button raised, as if the mouse had been
    // released away from it; the error display calls it before its box.
    void CancelMode() override;

    static constexpr int kRepeatDelay = 400;
    static constexpr int kRepeatInterval = 100;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class TRepeatTimer;

    void RepeatTick();
    void SetShownPressed(bool pressed);

    bool m_allowTimer = true;
    bool m_tracking = false;
    bool m_shownPressed = false;
    bool m_showsFocus = false;
    QPixmap m_glyph;
    TRepeatTimer* m_repeatTimer = nullptr;
    std::function<void()> m_onClick;
    std::function<void()> m_onPress;
};

// The pair of arrows at the right edge of a spin box: the upper one steps
// up, the lower one down.
class TSpinButton : public QWidget {
    Q_OBJECT

public:
    explicit TSpinButton(QWidget* parent = nullptr);

    const QPixmap& UpGlyph() const;
    void SetUpGlyph(const QPixmap& glyph);
    const QPixmap& DownGlyph() const;
    void SetDownGlyph(const QPixmap& glyph);

    // The control that takes the focus when an arrow is pressed.
    QWidget* FocusControl() const { return m_focusControl; }
    void SetFocusControl(QWidget* control) { m_focusControl = control; }

    void SetOnUpClick(std::function<void()> handler);
    void SetOnDownClick(std::function<void()> handler);

    // The pair takes the focus itself only as a tab stop; the spin box never makes it one.
    bool TabStop() const;
    void SetTabStop(bool tabStop);

    TTimerSpeedButton* UpButton() const { return m_upButton; }
    TTimerSpeedButton* DownButton() const { return m_downButton; }
    TTimerSpeedButton* FocusedButton() const { return m_focusedButton; }

    static constexpr int kMinimumWidth = 15;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void ButtonPressed(TTimerSpeedButton* button);
    void FocusButton(TTimerSpeedButton* button);
    void LayoutButtons();

    TTimerSpeedButton* m_upButton;
    TTimerSpeedButton* m_downButton;
    TTimerSpeedButton* m_focusedButton;
    QPointer<QWidget> m_focusControl;
};

// Which bounds a spin box enforces when its value is written.
enum TSpinLimit : int { slNone, slMin, slMax, slBoth };

// The properties a window description stores for a spin box. The spin box
// applies Limit, MaxValue, MinValue and Value in this order, because each
// bound is checked against the ones already set.
struct TSpinEditDescription {
    TSpinLimit limit = slNone;
    std::int32_t maxValue = 0;
    std::int32_t minValue = 0;
    std::int32_t value = 0;
    std::int32_t increment = 1;
    bool editorEnabled = true;
    bool readOnly = false;
    bool autoSelect = true;
    std::function<void()> onChange;
};

// A one-line number field with up and down arrows. Its text is the truth:
// Value is read from the text every time and the bounds are applied only
// when a value is written, so while the user types the field may hold a
// number outside the bounds until the focus leaves it.
class TSpinEdit : public QLineEdit {
    Q_OBJECT

public:
    // A spin box with the defaults: text "0", bounds 0 and 0, no limit.
    explicit TSpinEdit(QWidget* parent = nullptr);

    // A spin box built from a window description; OnChange does not fire
    // while the stored properties are applied.
    TSpinEdit(QWidget* parent, TSpinEditDescription stored);

    // The text as a number, or MinValue when it is none; never clamped.
    std::int32_t Value() const;
    void SetValue(std::int32_t value);

    std::int32_t MinValue() const { return m_minValue; }
    void SetMinValue(std::int32_t value);
    std::int32_t MaxValue() const { return m_maxValue; }
    void SetMaxValue(std::int32_t value);
    TSpinLimit Limit() const { return m_limit; }
    void SetLimit(TSpinLimit limit);

    std::int32_t Increment() const { return m_increment; }
    void SetIncrement(std::int32_t increment) { m_increment = increment; }

    bool EditorEnabled() const { return m_editorEnabled; }
    void SetEditorEnabled(bool enabled);
    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly);
    bool AutoSelect() const { return m_autoSelect; }
    void SetAutoSelect(bool autoSelect) { m_autoSelect = autoSelect; }

    // Fired after every change of the text, whoever made it.
    void SetOnChange(std::function<void()> handler) { m_onChange = std::move(handler); }

    // The number as the bounds of Limit allow it.
    std::int32_t ClampValue(std::int32_t value) const;

    // Beep when read-only; otherwise write Value plus or minus Increment.
    void StepUp();
    void StepDown();

    // Shows the field with or without its three-dimensional border and
    // moves the arrows accordingly.
    void SetFrame(bool threeDimensional);

    TSpinButton* SpinButton() const { return m_button; }

    // The lowest height the field takes for its font; smaller heights are raised to it.
    int MinimumFieldHeight() const;

    // Where the text may be drawn, in the field's coordinates: left of the
    // arrows with a gap of two pixels.
    QRect EditRect() const;

    static constexpr int kButtonWidth = 15;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void TextChanged();
    void FireChangeIfPending();
    bool IsAcceptedCharacter(char16_t character) const;
    void UpdateEditable();
    void UpdateLayout();
    QRect ClientRect() const;

    std::int32_t m_minValue = 0;
    std::int32_t m_maxValue = 0;
    TSpinLimit m_limit = slNone;
    std::int32_t m_increment = 1;
    bool m_editorEnabled = true;
    bool m_readOnly = false;
    bool m_autoSelect = true;
    bool m_creating = true;
    bool m_changePending = false;
    int m_holdDepth = 0;
    std::function<void()> m_onChange;
    TSpinButton* m_button;
};

}  // namespace quorvane
