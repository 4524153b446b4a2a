#pragma once

#include "framework/Events.h"

#include <QColor>
#include <QLabel>

#include <string>
#include <string_view>

namespace quorvane {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// A text on the window: shown exactly as given ("&" stays an ampersand, no
// markup), transparent by default, sized to its text while AutoSize is on
// (the left and top edges stay), and reporting a click of the left mouse
// button that is pressed and released over it.
class TLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLabel(QWidget* parent);

    std::string Caption() const;
    void SetCaption(std::string_view caption);

    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool autoSize);
    void SetAlignment(TAlignment alignment);
    void SetWordWrap(bool wrap);

    // Not transparent, the label fills its area with its colour first.
    bool Transparent() const { return !autoFillBackground(); }
    void SetTransparent(bool transparent);
    void SetColor(const QColor& color);
    void SetFontColor(const QColor& color);

    void SetHint(std::string_view hint);

    TNotifyEvent OnClick;

protected:
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AdjustBounds();

    bool m_autoSize = true;
    bool m_pressed = false;
};

}  // namespace quorvane
