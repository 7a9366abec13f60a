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
    m_extent = GridArea{};
}

void GridMerges::ensureIndex() const
{
    if (m_indexValid)
        return;
    m_indexValid = true;
    for (const GridArea &m : std::as_const(m_blocks))
        indexBlock(m, true);
}

GridArea GridMerges::blockAt(int row, int col) const
{
    if (!m_blocks.isEmpty()) {
        ensureIndex();
        const auto it = m_index.constFind(cellKey(row, col));
        if (it != m_index.cend())
            return it.value();
    }
    return GridArea{row, col, row, col};
}

GridArea GridMerges::span(const GridArea &area) const
{
    if (area.isEmpty() || m_blocks.isEmpty())
        return area;
    if (area.isSingleCell())
        return blockAt(area.firstRow, area.firstCol);
    ensureIndex();
    // Blocks never overlap one another, so a block that sticks out of the area on one side
    // covers a cell of that side: the index answers for those cells. A side at the sheet's edge
    // has nothing beyond it, and cells outside every block hold none.
    GridArea a = area;
    for (;;) {
        const GridArea b = a;
        const GridArea &e = m_extent;
        const int fromCol = std::max(b.firstCol, e.firstCol);
        const int toCol = std::min(b.lastCol, e.lastCol);
        const int fromRow = std::max(b.firstRow, e.firstRow);
        const int toRow = std::min(b.lastRow, e.lastRow);
        const bool top = b.firstRow > 0 && b.firstRow >= e.firstRow && b.firstRow <= e.lastRow;
        const bool bottom =
            b.lastRow < GridArea::kEnd && b.lastRow >= e.firstRow && b.lastRow <= e.lastRow;
        const bool left = b.firstCol > 0 && b.firstCol >= e.firstCol && b.firstCol <= e.lastCol;
        const bool right =
            b.lastCol < GridArea::kEnd && b.lastCol >= e.firstCol && b.lastCol <= e.lastCol;
        const qint64 cells = (qint64(top) + bottom) * std::max(0, toCol - fromCol + 1) +
                             (qint64(left) + right) * std::max(0, toRow - fromRow + 1);
        if (cells > m_blocks.size())
            return spanByList(area);
        const auto take = [&](int r, int c) {
            const auto it = m_index.constFind(cellKey(r, c));
            if (it != m_index.cend())
                a = a.united(it.value());
        };
        for (int c = fromCol; c <= toCol; ++c) {
            if (top)
                take(b.firstRow, c);
            if (bottom)
                take(b.lastRow, c);
        }
        for (int r = fromRow; r <= toRow; ++r) {
            if (left)
                take(r, b.firstCol);
            if (right)
                take(r, b.lastCol);
        }
        if (a == b)
            return a;
    }
}

GridArea GridMerges::spanByList(GridArea a) const
{
    for (bool grown = true; grown;) {
        grown = false;
        for (const GridArea &m : m_blocks) {
            const GridArea u = m.intersects(a) ? a.united(m) : a;
            grown = grown || !(u == a);
            a = u;
        }
    }
    return a;
}

GridArea GridMerges::merge(const GridArea &area)
{
    const GridArea a = span(area);
    (void)removeOverlapping(a);
    if (!a.isSingleCell()) {
        m_blocks.append(a);
        indexBlock(a, true);
    }
    return a;
}

GridArea GridMerges::removeOverlapping(const GridArea &area)
{
    GridArea removed;
    // The index follows each block taken out: a sheet merged band after band keeps it.
    m_blocks.removeIf([&](const GridArea &m) {
        if (!m.intersects(area))
            return false;
        removed = removed.united(m);
        indexBlock(m, false);
        return true;
    });
    return removed;
}

void GridMerges::add(const GridArea &block)
{
    if (block.isEmpty() || block.isSingleCell())
        return;
    m_blocks.append(block);
    indexBlock(block, true);
}

void GridMerges::indexBlock(const GridArea &block, bool in) const
{
    // Nothing to follow while the index waits to be built again.
    if (!m_indexValid)
        return;
    // The extent only grows: a bound on where blocks lie is all the span needs.
    if (in)
        m_extent = m_extent.isEmpty() ? block : m_extent.united(block);
    for (int r = block.firstRow; r <= block.lastRow; ++r) {
        for (int c = block.firstCol; c <= block.lastCol; ++c) {
            if (in)
                m_index.insert(cellKey(r, c), block);
            else
                m_index.remove(cellKey(r, c));
        }
    }
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
