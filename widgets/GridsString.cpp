#include "widgets/Grids.h"

#include "framework/NarrowText.h"
#include "runtime/Exceptions.h"
#include "widgets/GridsMessages.h"

#include <QPainter>

namespace quorvane {

TDrawGrid::TDrawGrid(QWidget* parent) : TCustomGrid(parent) {}

void TDrawGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state)
{
    if (m_onDrawCell) m_onDrawCell(*this, col, row, painter, rect, state);
}

TStringGrid::TStringGrid(QWidget* parent) : TDrawGrid(parent) {}

const TStringSparseList* TStringGrid::FindRow(int row) const
{
    if (row < 0) throw EListError(messages::kListIndexOutOfBounds);
    if (row == m_lastRowIndex) return m_lastRowList;
    const auto found = m_rows.find(row);
    return found == m_rows.end() ? nullptr : &found->second;
}

TStringSparseList& TStringGrid::RowForWrite(int row)
{
    if (row == m_lastRowIndex) return *m_lastRowList;
    // Rows are mostly added below the last one, which the end hint makes
    // constant time instead of a search through the whole store.
    TRows::iterator found;
    if (m_rows.empty() || m_rows.rbegin()->first < row) {
        found = m_rows.emplace_hint(m_rows.end(), row, TStringSparseList());
    } else {
        found = m_rows.try_emplace(row).first;
    }
    m_lastRowIndex = row;
    m_lastRowList = &found->second;
    return found->second;
}

std::string TStringGrid::Cells(int col, int row) const
{
    const TStringSparseList* cells = FindRow(row);
    if (cells == nullptr) return {};
    const std::string* text = cells->Find(col);
    return text == nullptr ? std::string() : *text;
}

void TStringGrid::SetCells(int col, int row, std::string text)
{
    if (col < 0 || row < 0) throw EListError(messages::kListIndexOutOfBounds);
    RowForWrite(row).Put(col, std::move(text));
    CellChanged(col, row);
}

std::string TStringGrid::GetEditText(int col, int row) const { return Cells(col, row); }

void TStringGrid::SetEditText(int col, int row, const std::string& text) { SetCells(col, row, text); }

void TStringGrid::DrawCell(QPainter& painter, int col, int row, const QRect& rect, TGridDrawState state)
{
    if (DefaultDrawing()) {
        const TStringSparseList* cells = FindRow(row);
        const std::string* text = cells == nullptr ? nullptr : cells->Find(col);
        if (text != nullptr && !text->empty()) {
            painter.drawText(rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             ToQString(*text));
        }
    }
    TDrawGrid::DrawCell(painter, col, row, rect, state);
}

}  // namespace quorvane
