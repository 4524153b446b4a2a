#include "widgets/Grids.h"

#include "runtime/Exceptions.h"
#include "widgets/GridsMessages.h"

#include <algorithm>

namespace quorvane {

namespace {

void CheckListIndex(int index)
{
    if (index < 0) throw EListError(messages::kListIndexOutOfBounds);
}

bool IndexBelow(const std::pair<int, std::string>& item, int index) { return item.first < index; }

}  // namespace

const std::string* TStringSparseList::Find(int index) const
{
    CheckListIndex(index);
    const auto found = std::lower_bound(m_items.begin(), m_items.end(), index, IndexBelow);
    if (found == m_items.end() || found->first != index) return nullptr;
    return &found->second;
}

void TStringSparseList::Put(int index, std::string text)
{
    CheckListIndex(index);
    if (m_items.empty() || m_items.back().first < index) {
        // A row of a result table holds a handful of columns; room for them
        // at once saves growing the row cell by cell.
        if (m_items.empty()) m_items.reserve(4);
        m_items.emplace_back(index, std::move(text));
        return;
    }
    const auto found = std::lower_bound(m_items.begin(), m_items.end(), index, IndexBelow);
    if (found != m_items.end() && found->first == index) {
        found->second = std::move(text);
    } else {
        m_items.emplace(found, index, std::move(text));
    }
}

}  // namespace quorvane
