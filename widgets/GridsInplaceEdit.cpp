#include "widgets/Grids.h"

#include "framework/Beep.h"
#include "framework/NarrowText.h"

#include <QKeyEvent>

namespace quorvane {

TInplaceEdit::TInplaceEdit(TCustomGrid& grid, QWidget* parent) : QLineEdit(parent), m_grid(grid)
{
    setFrame(false);
    // The text stands where the grid paints it: 2 pixels in from the
    // cell's corner.
    setTextMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hide();
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_loading) m_grid.EditorTextChanged(text);
    });
}

void TInplaceEdit::LoadText(const std::string& text)
{
    m_loading = true;
    setText(ToQString(text));
    m_loading = false;
}

bool TInplaceEdit::CaretAtStart() const { return !hasSelectedText() && cursorPosition() == 0; }

bool TInplaceEdit::CaretAtEnd() const { return !hasSelectedText() && cursorPosition() == text().size(); }

bool TInplaceEdit::event(QEvent* event)
{
    // Tab leaves the grid, not just the editor: the editor is no stop of
    // its own in the window's keyboard order.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !key->modifiers().testFlag(Qt::ControlModifier)) {
            m_grid.EditorTab(key->key() == Qt::Key_Backtab || key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
    }
    return QLineEdit::event(event);
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    bool toGrid = false;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        toGrid = true;
        break;
    case Qt::Key_Left:
    case Qt::Key_Home:
        toGrid = CaretAtStart();
        break;
    case Qt::Key_Right:
    case Qt::Key_End:
        toGrid = CaretAtEnd();
        break;
    default:
        break;
    }
    if (toGrid) {
        // Escape means nothing to the grid; it is still kept from the
        // window, which would otherwise treat it as a cancel.
        m_grid.KeyDown(event->key(), event->modifiers());
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).unicode() >= 32 && !m_grid.CanEditAcceptKey(typed.at(0))) {
        Beep();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

}  // namespace quorvane
