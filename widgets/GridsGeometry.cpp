#include "widgets/GridsGeometry.h"

#include <algorithm>

namespace quorvane {

namespace {

// Sums of sizes may pass the range of int when a caller stores a huge
// width; the client area never does, so sums are kept wide and compared
// against it.
using Pixels = long long;

}  // namespace

int TGridAxis::Size(int index) const
{
    if (Sizes != nullptr && index >= 0 && index < static_cast<int>(Sizes->size())) return (*Sizes)[index];
    return DefaultSize;
}

int TGridAxis::Extent(int index) const
{
    const int size = Size(index);
    return size > 0 ? size + LineWidth : 0;
}

int TGridAxis::FixedExtent() const
{
    Pixels sum = 0;
    if (Sizes == nullptr) {
        sum = static_cast<Pixels>(FixedCount) * Extent(0);
    } else {
        for (int i = 0; i < FixedCount; ++i) sum += Extent(i);
    }
    return static_cast<int>(std::min<Pixels>(sum, ClientExtent + Pixels{1}));
}

std::optional<int> TGridAxis::Start(int index) const
{
    if (index < 0 || index >= Count) return std::nullopt;
    Pixels position = 0;
    if (index < FixedCount) {
        for (int i = 0; i < index && position < ClientExtent; ++i) position += Extent(i);
    } else {
        if (index < FirstScrolled) return std::nullopt;
        position = FixedExtent();
        if (Sizes == nullptr) {
            position += static_cast<Pixels>(index - FirstScrolled) * Extent(index);
        } else {
            for (int i = FirstScrolled; i < index && position < ClientExtent; ++i) position += Extent(i);
        }
    }
    if (position >= ClientExtent) return std::nullopt;
    return static_cast<int>(position);
}

int TGridAxis::IndexAt(int position) const
{
    if (position < 0 || position >= ClientExtent) return -1;
    Pixels start = 0;
    for (int i = 0; i < FixedCount && i < Count; ++i) {
        const int extent = Extent(i);
        if (position < start + extent) return i;
        start += extent;
    }
    if (Sizes == nullptr) {
        const int extent = Extent(FixedCount);
        if (extent <= 0) return -1;
        const Pixels index = FirstScrolled + (position - start) / extent;
        return index < Count ? static_cast<int>(index) : -1;
    }
    for (int i = FirstScrolled; i < Count && start < ClientExtent; ++i) {
        const int extent = Extent(i);
        if (position < start + extent) return i;
        start += extent;
    }
    return -1;
}

int TGridAxis::ScrolledSpan() const
{
    const Pixels available = static_cast<Pixels>(ClientExtent) - FixedExtent();
    if (available <= 0) return 0;
    const int defaultExtent = DefaultSize > 0 ? DefaultSize + LineWidth : 0;
    Pixels used = 0;
    int span = 0;
    if (Sizes != nullptr) {
        const int stored = static_cast<int>(Sizes->size());
        for (int i = FirstScrolled; i < stored && used < available; ++i, ++span) used += Extent(i);
    }
    if (used < available) {
        if (defaultExtent <= 0) return std::max(span, Count - FirstScrolled);
        span += static_cast<int>((available - used + defaultExtent - 1) / defaultExtent);
    }
    return span;
}

int TGridAxis::FullyVisibleCount() const
{
    const Pixels available = static_cast<Pixels>(ClientExtent) - FixedExtent();
    int count = 0;
    Pixels used = 0;
    if (Sizes == nullptr) {
        const int extent = Extent(FixedCount);
        if (extent > 0 && available > 0) count = static_cast<int>(std::min<Pixels>(available / extent, Count - FirstScrolled));
    } else {
        for (int i = FirstScrolled; i < Count; ++i) {
            used += Extent(i);
            if (used > available) break;
            ++count;
        }
    }
    return std::max(count, 1);
}

int TGridAxis::LastVisible() const
{
    const Pixels last = static_cast<Pixels>(FirstScrolled) + ScrolledSpan() - 1;
    return static_cast<int>(std::clamp<Pixels>(last, FixedCount - 1, Count - 1));
}

int TGridAxis::MaxFirstScrolled() const
{
    const Pixels available = static_cast<Pixels>(ClientExtent) - FixedExtent();
    int first = Count;
    if (Sizes == nullptr) {
        const int extent = Extent(FixedCount);
        const Pixels fitting = extent <= 0 ? Count : available > 0 ? available / extent : 0;
        first = static_cast<int>(std::max<Pixels>(Count - fitting, FixedCount));
    } else {
        Pixels used = 0;
        while (first > FixedCount) {
            used += Extent(first - 1);
            if (used > available) break;
            --first;
        }
    }
    return std::clamp(first, FixedCount, std::max(FixedCount, Count - 1));
}

TSizingZone SizingZoneAround(int lineStart, int lineWidth)
{
    if (lineWidth > 6) return {lineStart, lineStart + lineWidth - 1};
    const int left = (7 - lineWidth) / 2;
    return {lineStart - left, lineStart + 7 - left};
}

QRect TGridGeometry::CellRect(int col, int row) const
{
    const std::optional<int> x = m_cols.Start(col);
    const std::optional<int> y = m_rows.Start(row);
    const int width = m_cols.Size(col);
    const int height = m_rows.Size(row);
    if (!x || !y || width <= 0 || height <= 0) return {};
    return {*x, *y, width, height};
}

bool TGridGeometry::CellAt(QPoint point, int& col, int& row) const
{
    col = m_cols.IndexAt(point.x());
    row = m_rows.IndexAt(point.y());
    return col >= 0 && row >= 0;
}

std::optional<int> TGridGeometry::SizingColumnAt(QPoint point) const
{
    if (point.y() < 0 || point.y() >= m_rows.FixedExtent()) return std::nullopt;
    Pixels start = m_cols.FixedExtent();
    if (point.x() < start) return std::nullopt;
    for (int col = m_cols.FirstScrolled; col < m_cols.Count && start < m_cols.ClientExtent; ++col) {
        const int size = m_cols.Size(col);
        if (size <= 0) continue;
        const TSizingZone zone = SizingZoneAround(static_cast<int>(start + size), m_cols.LineWidth);
        if (point.x() < zone.Left) break;
        if (point.x() <= zone.Right) return col;
        start += size + m_cols.LineWidth;
    }
    return std::nullopt;
}

}  // namespace quorvane
