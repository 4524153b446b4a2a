#pragma once

#include "framework/Events.h"
#include "framework/FormTypes.h"

#include <QPushButton>
#include <QToolButton>

#include <string>
#include <string_view>

class QButtonGroup;

namespace quorvane {

// A glyph bitmap holds one picture, or several of the same size side by
// side: the normal one first, then the one for a disabled button.
QIcon GlyphIcon(const QPixmap& glyph, int numGlyphs);

// A button that takes no focus. Speed buttons of one parent that share a
// group index other than 0 act as a radio group: pressing one puts it down
// and releases the others, pressing the one already down leaves it down, so
// the group never has all buttons up once one was down.
class TSpeedButton : public QToolButton {
    Q_OBJECT

public:
    explicit TSpeedButton(QWidget* parent);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    void SetGlyph(const QPixmap& glyph, int numGlyphs = 1);
    void SetHint(std::string_view hint);

    int GroupIndex() const { return m_groupIndex; }
    void SetGroupIndex(int index);

    // Only buttons of a group stay down; putting one down releases the
    // others and fires no click.
    bool Down() const;
    void SetDown(bool down);

    // Fires OnClick as a click of the user would, without changing Down.
    void Click();

    TNotifyEvent OnClick;

private:
    void UpdateButtonStyle();

    int m_groupIndex = 0;
    QButtonGroup* m_group = nullptr;
};

// A push button with a glyph. The default button answers Enter and the cancel
// button Escape anywhere in its window (unless the focused control uses the
// key); a click sets the window's modal result to the button's, then fires
// OnClick.
class TBitBtn : public QPushButton {
    Q_OBJECT

public:
    explicit TBitBtn(QWidget* parent);

    std::string Caption() const;
    void SetCaption(std::string_view caption);
    void SetGlyph(const QPixmap& glyph, int numGlyphs = 1);
    void SetHint(std::string_view hint);

    bool Default() const { return m_default; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return m_cancel; }
    void SetCancel(bool isCancel) { m_cancel = isCancel; }
    TModalResult ModalResult() const { return m_modalResult; }
    void SetModalResult(TModalResult result) { m_modalResult = result; }

    TNotifyEvent OnClick;

private:
    bool m_default = false;
    bool m_cancel = false;
    TModalResult m_modalResult = mrNone;
};

}  // namespace quorvane
