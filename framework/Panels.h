#pragma once

#include "framework/FormTypes.h"

#include <QColor>
#include <QWidget>

namespace quorvane {

// The edge of a panel or bevel: flat, pressed into the surface or standing out.
enum TPanelBevel { bvNone, bvLowered, bvRaised };

// A container drawn as a surface with an outer and an inner bevel and,
// optionally, a sunken border around its client area. Aligned children fill
// the area inside border and bevels.
class TPanel : public QWidget {
    Q_OBJECT

public:
    explicit TPanel(QWidget* parent);

    TPanelBevel BevelOuter() const { return m_bevelOuter; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return m_bevelInner; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return m_bevelWidth; }
    void SetBevelWidth(int width);
    // The gap between the outer and the inner bevel, in the panel's colour.
    int BorderWidth() const { return m_borderWidth; }
    void SetBorderWidth(int width);
    // bsSingle puts a sunken two-pixel border around the client area;
    // children's coordinates then start inside it (see ClientOrigin).
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);

    void SetColor(const QColor& color);

    // A disabled panel's content takes no clicks, yet is drawn as it is
    // (QWidget::setEnabled would grey all of it); CanFocus counts it as
    // disabled.
    bool Enabled() const { return m_enabled; }
    void SetEnabled(bool enabled);

    // The top-left corner of the client area in the panel's own coordinates.
    QPoint ClientOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateClientArea();

    TPanelBevel m_bevelOuter = bvRaised;
    TPanelBevel m_bevelInner = bvNone;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    TBorderStyle m_borderStyle = bsNone;
    bool m_enabled = true;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine };
enum TBevelStyle { bsLowered, bsRaised };

// A purely decorative edge; a lowered box two pixels high reads as a rule
// across the window. It takes no mouse input.
class TBevel : public QWidget {
    Q_OBJECT

public:
    explicit TBevel(QWidget* parent);

    TBevelShape Shape() const { return m_shape; }
    void SetShape(TBevelShape shape);
    TBevelStyle Style() const { return m_style; }
    void SetStyle(TBevelStyle style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TBevelShape m_shape = bsBox;
    TBevelStyle m_style = bsLowered;
};

}  // namespace quorvane
