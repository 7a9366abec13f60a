#include "grid/gridmerges.h"

#include <algorithm>

namespace fenpai {

namespace {

quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

// Applies a removal of `count` lines starting at `at` to the span first..last of a block.
// Returns false when nothing of the span is left.
bool shrinkSpan(int &first, int &last, int at, int count)
{
    const int end = at + count; // first line kept after the removal
    auto map = [&](int line, bool isFirst) {
        if (line < at)
            return line;
        if (line >= end)
            return line - count;
        return isFirst ? at : at - 1;
    };
    const int f = map(first, true);
    const int l = map(last, false);
    if (l < f)
        return false;
    first = f;
    last = l;
    return true;
}

void growSpan(int &first, int &last, int at, int count)
{
    if (first >= at) {
        first += count;
        last += count;
    } else if (last >= at) {
        last += count;
    }
}

} // namespace

void GridMerges::changed()
{
    m_indexValid = false;
    m_index.clear();
}

void GridMerges::ensureIndex() const
{
    if (m_indexValid)
        return;
    for (int i = 0; i < m_blocks.size(); ++i) {
        const GridArea &m = m_blocks.at(i);
        for (int r = m.firstRow; r <= m.lastRow; ++r)
            for (int c = m.firstCol; c <= m.lastCol; ++c)
                m_index.insert(cellKey(r, c), i);
    }
    m_indexValid = true;
}

GridArea GridMerges::blockAt(int row, int col) const
{
    if (!m_blocks.isEmpty()) {
        ensureIndex();
        const auto it = m_index.constFind(cellKey(row, col));
        if (it != m_index.cend())
            return m_blocks.at(it.value());
    }
    return GridArea{row, col, row, col};
}

GridArea GridMerges::span(const GridArea &area) const
{
    if (area.isEmpty() || m_blocks.isEmpty())
        return area;
    if (area.isSingleCell())
        return blockAt(area.firstRow, area.firstCol);
    // Blocks never overlap one another, so a block that sticks out of the area covers a cell of
    // its border: the index answers for those cells, unless the border is longer than the list.
    const qint64 border = 2 * (qint64(area.rowCount()) + area.colCount());
    GridArea a = area;
    bool grown = true;
    if (border > m_blocks.size()) {
        while (grown) {
            grown = false;
            for (const GridArea &m : m_blocks) {
                const GridArea u = m.intersects(a) ? a.united(m) : a;
                grown = grown || !(u == a);
                a = u;
            }
        }
        return a;
    }
    ensureIndex();
    while (grown) {
        const GridArea b = a;
        const auto take = [&](int r, int c) {
            const auto it = m_index.constFind(cellKey(r, c));
            if (it != m_index.cend())
                a = a.united(m_blocks.at(it.value()));
        };
        for (int c = b.firstCol; c <= b.lastCol; ++c) {
            take(b.firstRow, c);
            take(b.lastRow, c);
        }
        for (int r = b.firstRow + 1; r < b.lastRow; ++r) {
            take(r, b.firstCol);
            take(r, b.lastCol);
        }
        grown = !(a == b);
    }
    return a;
}

GridArea GridMerges::merge(const GridArea &area)
{
    const GridArea a = span(area);
    const qsizetype removed = m_blocks.removeIf([&](const GridArea &m) { return m.intersects(a); });
    if (a.isSingleCell()) {
        if (removed > 0)
            changed();
        return a;
    }
    m_blocks.append(a);
    if (removed > 0)
        changed();
    else
        indexNewBlock();
    return a;
}

GridArea GridMerges::removeOverlapping(const GridArea &area)
{
    GridArea removed;
    const qsizetype count = m_blocks.removeIf([&](const GridArea &m) {
        if (!m.intersects(area))
            return false;
        removed = removed.united(m);
        return true;
    });
    if (count > 0)
        changed();
    return removed;
}

void GridMerges::add(const GridArea &block)
{
    if (block.isEmpty() || block.isSingleCell())
        return;
    m_blocks.append(block);
    indexNewBlock();
}

void GridMerges::indexNewBlock()
{
    // The index follows an addition instead of being built again for every block.
    if (!m_indexValid)
        return;
    const GridArea &m = m_blocks.constLast();
    const int i = static_cast<int>(m_blocks.size()) - 1;
    for (int r = m.firstRow; r <= m.lastRow; ++r)
        for (int c = m.firstCol; c <= m.lastCol; ++c)
            m_index.insert(cellKey(r, c), i);
}

void GridMerges::insertRows(int at, int count)
{
    bool moved = false;
    for (GridArea &m : m_blocks) {
        moved = moved || m.lastRow >= at;
        growSpan(m.firstRow, m.lastRow, at, count);
    }
    // Rows added after every block (a document growing at its end) leave the index as it is.
    if (moved)
        changed();
}

void GridMerges::insertCols(int at, int count)
{
    bool moved = false;
    for (GridArea &m : m_blocks) {
        moved = moved || m.lastCol >= at;
        growSpan(m.firstCol, m.lastCol, at, count);
    }
    if (moved)
        changed();
}

void GridMerges::removeRows(int at, int count)
{
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_blocks)) {
        if (shrinkSpan(m.firstRow, m.lastRow, at, count) && !m.isSingleCell())
            kept.append(m);
    }
    m_blocks = kept;
    changed();
}

void GridMerges::removeCols(int at, int count)
{
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_blocks)) {
        if (shrinkSpan(m.firstCol, m.lastCol, at, count) && !m.isSingleCell())
            kept.append(m);
    }
    m_blocks = kept;
    changed();
}

void GridMerges::reorderRows(int first, const std::vector<int> &newIndexOf)
{
    const int end = first + int(newIndexOf.size());
    QList<GridArea> kept;
    for (GridArea m : std::as_const(m_blocks)) {
        if (m.lastRow < first || m.firstRow >= end) {
            kept.append(m);
        } else if (m.firstRow == m.lastRow) {
            m.firstRow = m.lastRow = first + newIndexOf[size_t(m.firstRow - first)];
            kept.append(m);
        }
    }
    m_blocks = kept;
    changed();
}

} // namespace fenpai
