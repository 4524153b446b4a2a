#include "widgets/Grids.h"

#include "framework/NarrowText.h"
#include "runtime/ScopedValue.h"
#include "widgets/GridsAccessible.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>

namespace quorvane {

namespace {

bool OpensEditor(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Backspace) return true;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127;
}

}  // namespace

std::string TCustomGrid::GetEditText(int, int) const { return {}; }

void TCustomGrid::SetEditText(int, int, const std::string&) {}

bool TCustomGrid::CanEditAcceptKey(QChar) const { return true; }

void TCustomGrid::SetEditorMode(bool on)
{
    if (on) {
        ShowEditor(true);
    } else {
        HideEditor();
    }
}

void TCustomGrid::ShowEditor(bool selectAll)
{
    m_editorMode = true;
    if (!m_options.Contains(goEditing)) return;
    if (m_editor == nullptr) {
        m_editor = new TInplaceEdit(*this, viewport());
        m_editor->setObjectName("InplaceEdit");
    }
    m_editor->LoadText(GetEditText(m_current.X, m_current.Y));
    gridaccess::NameEditor(*this, *m_editor);
    if (selectAll) {
        m_editor->selectAll();
    } else {
        m_editor->deselect();
        m_editor->end(false);
    }
    PlaceEditor();
    // Code that opens the editor while the user works in another control
    // must not pull the focus away from there.
    if (m_editor->isVisible() && (hasFocus() || !isActiveWindow())) m_editor->setFocus(Qt::OtherFocusReason);
}

void TCustomGrid::HideEditor()
{
    m_editorMode = false;
    if (m_editor == nullptr || !m_editor->isVisible()) return;
    // Hiding the focused editor would hand the focus to whatever control
    // follows it; the grid keeps it instead.
    if (m_editor->hasFocus()) setFocus(Qt::OtherFocusReason);
    m_editor->hide();
}

void TCustomGrid::PlaceEditor()
{
    if (m_editor == nullptr || !m_editorMode || !m_options.Contains(goEditing)) return;
    const QRect rect = CellRect(m_current.X, m_current.Y);
    if (rect.isEmpty()) {
        // The current cell was scrolled out of view or is hidden: the text
        // is in the cell already, the editor comes back with the cell.
        if (m_editor->hasFocus()) setFocus(Qt::OtherFocusReason);
        m_editor->hide();
        return;
    }
    m_editor->setGeometry(rect);
    if (!m_editor->isVisible()) m_editor->show();
}

void TCustomGrid::EditorTextChanged(const QString& text)
{
    // The write comes from the editor, which must not be reloaded with what
    // it just wrote (that would move the caret).
    TScopedValue fromEditor(m_editorWriting, true);
    SetEditText(m_current.X, m_current.Y, FromQString(text));
}

void TCustomGrid::EditorTab(bool backward)
{
    if (m_options.Contains(goTabs)) {
        KeyDown(backward ? Qt::Key_Backtab : Qt::Key_Tab, Qt::NoModifier);
        return;
    }
    HideEditor();
    focusNextPrevChild(!backward);
}

TGridCoord TCustomGrid::NextTabCell(bool backward) const
{
    TGridCoord cell = m_current;
    if (!backward) {
        if (++cell.X >= m_colCount) {
            cell.X = m_fixedCols;
            if (++cell.Y >= m_rowCount) cell.Y = m_fixedRows;
        }
    } else {
        if (--cell.X < m_fixedCols) {
            cell.X = m_colCount - 1;
            if (--cell.Y < m_fixedRows) cell.Y = m_rowCount - 1;
        }
    }
    return cell;
}

bool TCustomGrid::KeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    bool growRange = shift && m_options.Contains(goRangeSelect) && !m_options.Contains(goEditing);
    const int pageRows = VisibleRowCount();
    const int pageCols = VisibleColCount();
    TGridCoord target = m_current;
    switch (key) {
    case Qt::Key_Up:
        if (ctrl) {
            SetTopRow(m_topLeft.Y - 1);
            return true;
        }
        --target.Y;
        break;
    case Qt::Key_Down:
        if (ctrl) {
            SetTopRow(m_topLeft.Y + 1);
            return true;
        }
        ++target.Y;
        break;
    case Qt::Key_Left:
        if (ctrl) {
            SetLeftCol(m_topLeft.X - pageCols);
            target.X -= pageCols;
        } else {
            --target.X;
        }
        break;
    case Qt::Key_Right:
        if (ctrl) {
            SetLeftCol(m_topLeft.X + pageCols);
            target.X += pageCols;
        } else {
            ++target.X;
        }
        break;
    case Qt::Key_PageUp:
        if (ctrl) {
            target.Y = m_topLeft.Y;
        } else {
            SetTopRow(m_topLeft.Y - pageRows);
            target.Y -= pageRows;
        }
        break;
    case Qt::Key_PageDown:
        if (ctrl) {
            target.Y = m_topLeft.Y + pageRows - 1;
        } else {
            SetTopRow(m_topLeft.Y + pageRows);
            target.Y += pageRows;
        }
        break;
    case Qt::Key_Home:
        target = ctrl ? TGridCoord{m_fixedCols, m_fixedRows} : TGridCoord{m_fixedCols, m_current.Y};
        break;
    case Qt::Key_End:
        target = ctrl ? TGridCoord{m_colCount - 1, m_rowCount - 1} : TGridCoord{m_colCount - 1, m_current.Y};
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!m_options.Contains(goTabs)) return false;
        target = NextTabCell(key == Qt::Key_Backtab || shift);
        growRange = false;
        break;
    case Qt::Key_F2:
        if (!m_options.Contains(goEditing)) return false;
        ShowEditor(false);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SetEditorMode(!m_editorMode);
        return true;
    default:
        return false;
    }
    target.X = std::clamp(target.X, m_fixedCols, m_colCount - 1);
    target.Y = std::clamp(target.Y, m_fixedRows, m_rowCount - 1);
    if (target != m_current) {
        MoveCurrent(target, growRange ? TAnchor::Stay : TAnchor::Follow, TClick::Fire);
    } else if (!growRange) {
        MoveAnchor(m_current);
    }
    return true;
}

bool TCustomGrid::event(QEvent* event)
{
    // With goTabs, Tab moves between cells instead of leaving the grid.
    if (event->type() == QEvent::KeyPress && m_options.Contains(goTabs)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !key->modifiers().testFlag(Qt::ControlModifier)) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TCustomGrid::keyPressEvent(QKeyEvent* event)
{
    // The menu key and Shift+F10 open the context menu at the current cell,
    // where the user's attention is, not wherever the mouse pointer rests.
    if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        ContextMenuAtCurrent();
        event->accept();
        return;
    }
    if (KeyDown(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    if (m_options.Contains(goEditing) && OpensEditor(*event)) {
        // The editor opens with the whole text selected and then gets the
        // key, so typing replaces what the cell held.
        ShowEditor(true);
        if (m_editor != nullptr && m_editor->isVisible()) {
            QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->text(), event->isAutoRepeat(),
                           static_cast<ushort>(event->count()));
            QCoreApplication::sendEvent(m_editor, &copy);
        }
        event->accept();
        return;
    }
    event->ignore();
}

void TCustomGrid::ContextMenuAtCurrent()
{
    if (contextMenuPolicy() == Qt::NoContextMenu || contextMenuPolicy() == Qt::PreventContextMenu) return;
    ScrollIntoView(m_current);
    const QRect cell = CellRect(m_current.X, m_current.Y);
    const QPoint inViewport = cell.isEmpty() ? viewport()->rect().center() : cell.center();
    const QPoint position = viewport()->mapTo(this, inViewport);
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, position, mapToGlobal(position));
    QCoreApplication::sendEvent(this, &menu);
}

void TCustomGrid::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    InvalidateSelection(TGridRect{m_current.X, m_current.Y, m_current.X, m_current.Y});
    gridaccess::FocusEntered(*this);
}

void TCustomGrid::focusOutEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusOutEvent(event);
    if (m_editor != nullptr && m_editor->isVisible() && QApplication::focusWidget() != m_editor) HideEditor();
    InvalidateSelection(TGridRect{m_current.X, m_current.Y, m_current.X, m_current.Y});
}

void TCustomGrid::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    HideEditor();
    setFocus(Qt::MouseFocusReason);
    if (isActiveWindow() && !hasFocus()) return;

    const QPoint point = event->position().toPoint();
    m_lastMouse = point;
    const TGridGeometry geometry = Geometry();
    if (m_options.Contains(goColSizing)) {
        if (const std::optional<int> col = geometry.SizingColumnAt(point)) {
            m_state = gsColSizing;
            m_sizingCol = *col;
            m_sizingPressX = point.x();
            const std::optional<int> start = geometry.Cols().Start(*col);
            m_sizingLineStart = start.value_or(0) + ColWidths(*col);
            m_sizingLineX = m_sizingLineStart;
            SetMouseCapture(this);
            viewport()->update();
            return;
        }
    }

    int col = -1;
    int row = -1;
    if (!geometry.CellAt(point, col, row) || col < m_fixedCols || row < m_fixedRows) return;
    const TGridCoord cell{col, row};
    if (m_options.Contains(goEditing)) {
        if (cell == m_current) {
            ShowEditor(true);
        } else {
            MoveCurrent(cell, TAnchor::Follow, TClick::Quiet);
        }
        Click();
        return;
    }
    if (event->modifiers().testFlag(Qt::ShiftModifier) && m_options.Contains(goRangeSelect)) {
        MoveAnchor(cell);
    } else {
        MoveCurrent(cell, TAnchor::Follow, TClick::Quiet);
    }
    m_state = gsSelecting;
    m_dragTimer->start();
    SetMouseCapture(this);
}

void TCustomGrid::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    m_lastMouse = point;
    switch (m_state) {
    case gsColSizing:
        m_sizingLineX = m_sizingLineStart + (point.x() - m_sizingPressX);
        viewport()->update();
        break;
    case gsSelecting: {
        int col = -1;
        int row = -1;
        if (Geometry().CellAt(point, col, row) && col >= m_fixedCols && row >= m_fixedRows) {
            ExtendSelectionTo({col, row});
        }
        break;
    }
    case gsNormal:
        if (m_options.Contains(goColSizing) && Geometry().SizingColumnAt(point)) {
            viewport()->setCursor(Qt::SplitHCursor);
        } else {
            viewport()->unsetCursor();
        }
        break;
    }
}

void TCustomGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    const QPoint point = event->position().toPoint();
    const TGridState state = m_state;
    if (state == gsSelecting) {
        int col = -1;
        int row = -1;
        if (Geometry().CellAt(point, col, row) && col >= m_fixedCols && row >= m_fixedRows) {
            ExtendSelectionTo({col, row});
        }
    }
    const int sizingCol = m_sizingCol;
    const int newWidth = ColWidths(sizingCol) + (point.x() - m_sizingPressX);
    EndMouseMode();
    if (state == gsColSizing) {
        // A column dragged to nothing would be lost to the user, who could
        // not grab its border again.
        if (newWidth > 1 && sizingCol < m_colCount) SetColWidths(sizingCol, newWidth);
    } else if (state == gsSelecting) {
        Click();
    }
}

void TCustomGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) return;
    HideEditor();
    setFocus(Qt::MouseFocusReason);
    if (m_onDblClick) m_onDblClick(*this);
}

void TCustomGrid::ExtendSelectionTo(TGridCoord cell)
{
    if (m_options.Contains(goRangeSelect)) {
        MoveAnchor(cell);
    } else if (cell != m_current) {
        MoveCurrent(cell, TAnchor::Follow, TClick::Quiet);
    }
}

void TCustomGrid::DragScrollTick()
{
    if (m_state != gsSelecting) return;
    const TGridAxis cols = ColAxis();
    const TGridAxis rows = RowAxis();
    const int dx = m_lastMouse.x() < cols.FixedExtent() ? -1 : m_lastMouse.x() >= cols.ClientExtent ? 1 : 0;
    const int dy = m_lastMouse.y() < rows.FixedExtent() ? -1 : m_lastMouse.y() >= rows.ClientExtent ? 1 : 0;
    if (dx == 0 && dy == 0) return;
    if (dx != 0) SetLeftCol(m_topLeft.X + dx);
    if (dy != 0) SetTopRow(m_topLeft.Y + dy);

    // The selection follows to the first or last cell in view on the side
    // the mouse left, and to the cell under it on the other axis.
    const TGridCoord reference = m_options.Contains(goRangeSelect) ? m_anchor : m_current;
    TGridCoord cell = reference;
    const TGridAxis movedCols = ColAxis();
    const TGridAxis movedRows = RowAxis();
    if (dx < 0) cell.X = m_topLeft.X;
    if (dx > 0) cell.X = std::min(m_topLeft.X + movedCols.FullyVisibleCount() - 1, m_colCount - 1);
    if (dx == 0 && movedCols.IndexAt(m_lastMouse.x()) >= m_fixedCols) cell.X = movedCols.IndexAt(m_lastMouse.x());
    if (dy < 0) cell.Y = m_topLeft.Y;
    if (dy > 0) cell.Y = std::min(m_topLeft.Y + movedRows.FullyVisibleCount() - 1, m_rowCount - 1);
    if (dy == 0 && movedRows.IndexAt(m_lastMouse.y()) >= m_fixedRows) cell.Y = movedRows.IndexAt(m_lastMouse.y());
    ExtendSelectionTo(cell);
}

void TCustomGrid::EndMouseMode()
{
    const bool wasSizing = m_state == gsColSizing;
    m_state = gsNormal;
    m_sizingCol = -1;
    m_dragTimer->stop();
    ReleaseMouseCapture(this);
    if (wasSizing) viewport()->update();
}

void TCustomGrid::CancelMode() { EndMouseMode(); }

}  // namespace quorvane
