#include "widgets/Grids.h"

#include <algorithm>
#include <new>

namespace quorvane {

int TGridSizeList::operator[](int index) const
{
    return static_cast<std::size_t>(index) < m_stored.size() ? m_stored[static_cast<std::size_t>(index)] : m_tail;
}

void TGridSizeList::Set(int index, int size)
{
    const auto position = static_cast<std::size_t>(index);
    if (position < m_stored.size()) {
        m_stored[position] = size;
        DropTrailingTailSizes();
        return;
    }
    if (size == m_tail) return;
    m_stored.resize(position + 1, m_tail);
    m_stored[position] = size;
}

void TGridSizeList::Resize(int count, int size)
{
    if (count <= m_count) {
        m_stored.resize(std::min(m_stored.size(), static_cast<std::size_t>(count)));
        m_count = count;
        DropTrailingTailSizes();
        // A list that once held far more entries than it does now gives the
        // memory back; a failure to do so only keeps it a while longer.
        if (m_stored.capacity() > 2 * m_stored.size() + 64) {
            try {
                m_stored.shrink_to_fit();
            } catch (const std::bad_alloc&) {
            }
        }
        return;
    }
    // The entries after the stored ones must keep their size when the new
    // ones get another, so they are stored one by one from now on.
    if (size != m_tail && static_cast<std::size_t>(m_count) > m_stored.size()) {
        m_stored.resize(static_cast<std::size_t>(m_count), m_tail);
    }
    m_tail = size;
    m_count = count;
    DropTrailingTailSizes();
}

void TGridSizeList::DropTrailingTailSizes()
{
    while (!m_stored.empty() && m_stored.back() == m_tail) m_stored.pop_back();
}

}  // namespace quorvane
