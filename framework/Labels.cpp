#include "framework/Labels.h"

#include "framework/NarrowText.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPalette>

namespace quorvane {

TLabel::TLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

std::string TLabel::Caption() const { return FromQString(text()); }

void TLabel::SetCaption(std::string_view caption)
{
    setText(ToQString(caption));
    AdjustBounds();
}

void TLabel::SetAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment alignment)
{
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (alignment == taRightJustify) horizontal = Qt::AlignRight;
    if (alignment == taCenter) horizontal = Qt::AlignHCenter;
    setAlignment(horizontal | Qt::AlignTop);
}

void TLabel::SetWordWrap(bool wrap)
{
    setWordWrap(wrap);
    AdjustBounds();
}

void TLabel::SetTransparent(bool transparent) { setAutoFillBackground(!transparent); }

void TLabel::SetColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, color);
    setPalette(colours);
    SetTransparent(false);
}

void TLabel::SetFontColor(const QColor& color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, color);
    setPalette(colours);
}

void TLabel::SetHint(std::string_view hint) { setToolTip(ToQString(hint)); }

// The label grows and shrinks to the right and downwards; a wrapping label
// keeps its width and takes the height its lines need.
void TLabel::AdjustBounds()
{
    if (!m_autoSize) return;
    if (wordWrap()) {
        resize(width(), heightForWidth(width()));
    } else {
        resize(sizeHint());
    }
}

void TLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) AdjustBounds();
}

void TLabel::mousePressEvent(QMouseEvent* event)
{
    QLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
    }
}

void TLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    if (rect().contains(event->position().toPoint())) OnClick(this);
}

}  // namespace quorvane
