#include "framework/Panels.h"

#include "framework/Alignment.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>

namespace quorvane {

namespace {

constexpr int kSingleBorderWidth = 2;

// Draws `width` rings of one-pixel lines inside `rect`, top and left in one
// colour, bottom and right in the other, and leaves `rect` inside them.
void Frame3D(QPainter& painter, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
        painter.fillRect(QRect(rect.left() + 1, rect.bottom(), rect.width() - 1, 1), bottomRight);
        painter.fillRect(QRect(rect.right(), rect.top() + 1, 1, rect.height() - 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
}

void BevelFrame(QPainter& painter, QRect& rect, const QPalette& palette, TPanelBevel bevel, int width)
{
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    if (bevel == bvRaised) Frame3D(painter, rect, light, dark, width);
    if (bevel == bvLowered) Frame3D(painter, rect, dark, light, width);
}

}  // namespace

TPanel::TPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    UpdateClientArea();
}

void TPanel::SetBevelOuter(TPanelBevel bevel)
{
    m_bevelOuter = bevel;
    UpdateClientArea();
}

void TPanel::SetBevelInner(TPanelBevel bevel)
{
    m_bevelInner = bevel;
    UpdateClientArea();
}

void TPanel::SetBevelWidth(int width)
{
    m_bevelWidth = std::max(1, width);
    UpdateClientArea();
}

void TPanel::SetBorderWidth(int width)
{
    m_borderWidth = std::max(0, width);
    UpdateClientArea();
}

void TPanel::SetBorderStyle(TBorderStyle style)
{
    m_borderStyle = style == bsNone ? bsNone : bsSingle;
    UpdateClientArea();
}

void TPanel::SetColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
}

void TPanel::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

QPoint TPanel::ClientOrigin() const
{
    const int border = m_borderStyle == bsSingle ? kSingleBorderWidth : 0;
    return {border, border};
}

// Aligned children fill what border, bevels and the gap between them leave.
void TPanel::UpdateClientArea()
{
    int inset = ClientOrigin().x() + m_borderWidth;
    if (m_bevelOuter != bvNone) inset += m_bevelWidth;
    if (m_bevelInner != bvNone) inset += m_bevelWidth;
    setContentsMargins(inset, inset, inset, inset);
    AlignControls(this);
    update();
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QRect rect = this->rect();
    if (m_borderStyle == bsSingle) {
        Frame3D(painter, rect, palette().color(QPalette::Dark), palette().color(QPalette::Light), 1);
        Frame3D(painter, rect, palette().color(QPalette::Shadow), palette().color(QPalette::Midlight), 1);
    }
    BevelFrame(painter, rect, palette(), m_bevelOuter, m_bevelWidth);
    rect.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    BevelFrame(painter, rect, palette(), m_bevelInner, m_bevelWidth);
}

TBevel::TBevel(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

void TBevel::SetShape(TBevelShape shape)
{
    m_shape = shape;
    update();
}

void TBevel::SetStyle(TBevelStyle style)
{
    m_style = style;
    update();
}

void TBevel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor& first = m_style == bsLowered ? dark : light;
    const QColor& second = m_style == bsLowered ? light : dark;
    QRect rect = this->rect();
    switch (m_shape) {
    case bsBox: Frame3D(painter, rect, first, second, 1); break;
    case bsFrame: {
        // An etched line: the two colours one pixel apart.
        QRect inner = rect.adjusted(1, 1, 0, 0);
        QRect outer = rect.adjusted(0, 0, -1, -1);
        Frame3D(painter, inner, second, second, 1);
        Frame3D(painter, outer, first, first, 1);
        break;
    }
    case bsTopLine:
        painter.fillRect(QRect(0, 0, width(), 1), first);
        painter.fillRect(QRect(0, 1, width(), 1), second);
        break;
    case bsBottomLine:
        painter.fillRect(QRect(0, height() - 2, width(), 1), first);
        painter.fillRect(QRect(0, height() - 1, width(), 1), second);
        break;
    }
}

}  // namespace quorvane
