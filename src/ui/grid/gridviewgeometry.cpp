#include "ui/grid/gridviewgeometry.h"

#include "grid/grid.h"

#include <algorithm>

namespace fenpai {

namespace {

// Border lines lie on a cell's edge and a thick one reaches into the neighbour: the rectangle
// of changed cells is this much larger.
constexpr int kLineReach = 2;

// Lays out the lines from the first invalid one; `size` gives each line's size.
template <typename Size> void layOut(std::vector<qint64> &edges, int &valid, int count, Size size)
{
    const int old = int(edges.size()) - 1;
    if (count != old)
        valid = std::min({valid, old, count});
    if (valid >= count && count == old)
        return;
    edges.resize(size_t(count) + 1);
    for (int i = valid; i < count; ++i)
        edges[size_t(i) + 1] = edges[size_t(i)] + size(i);
    valid = count;
}

int lineAt(const std::vector<qint64> &edges, qint64 pos)
{
    const auto it = std::upper_bound(edges.begin(), edges.end(), pos);
    const int line = int(it - edges.begin()) - 1;
    return line >= 0 && line < int(edges.size()) - 1 ? line : -1;
}

} // namespace

void GridViewGeometry::setGrid(const Grid *grid)
{
    m_grid = grid;
    m_rowsValid = 0;
    m_colsValid = 0;
}

void GridViewGeometry::invalidateRowsFrom(int row)
{
    m_rowsValid = std::clamp(row, 0, m_rowsValid);
}

void GridViewGeometry::invalidateColsFrom(int col)
{
    m_colsValid = std::clamp(col, 0, m_colsValid);
}

void GridViewGeometry::update() const
{
    const Grid *grid = m_grid;
    layOut(m_rowY, m_rowsValid, grid ? grid->rows() : 0,
           [grid](int r) { return grid->rowHeight(r); });
    layOut(m_colX, m_colsValid, grid ? grid->cols() : 0,
           [grid](int c) { return grid->columnWidth(c); });
}

int GridViewGeometry::rows() const
{
    update();
    return int(m_rowY.size()) - 1;
}

int GridViewGeometry::cols() const
{
    update();
    return int(m_colX.size()) - 1;
}

qint64 GridViewGeometry::rowTop(int row) const
{
    update();
    return m_rowY[size_t(std::clamp(row, 0, rows()))];
}

qint64 GridViewGeometry::colLeft(int col) const
{
    update();
    return m_colX[size_t(std::clamp(col, 0, cols()))];
}

int GridViewGeometry::firstDataRow() const
{
    return m_grid ? std::min(m_grid->fixedRows(), rows()) : 0;
}

int GridViewGeometry::fixedWidth() const
{
    return cols() > 0 ? int(colLeft(1)) : 0;
}

int GridViewGeometry::fixedHeight() const
{
    return int(rowTop(firstDataRow()));
}

int GridViewGeometry::xOf(int col) const
{
    if (col <= 0)
        return 0;
    return int(colLeft(col) - m_scrollX);
}

int GridViewGeometry::yOf(int row) const
{
    if (row < firstDataRow())
        return int(rowTop(row));
    return int(rowTop(row) - m_scrollY);
}

int GridViewGeometry::rowAtY(int y) const
{
    if (rows() == 0)
        return -1;
    qint64 pos = y;
    if (y >= fixedHeight())
        pos = y + qint64(m_scrollY);
    else if (firstDataRow() == 0)
        return -1;
    return lineAt(m_rowY, pos);
}

int GridViewGeometry::colAtX(int x) const
{
    if (cols() == 0)
        return -1;
    const qint64 pos = x >= fixedWidth() ? x + qint64(m_scrollX) : x;
    return lineAt(m_colX, pos);
}

QRect GridViewGeometry::cellRect(int row, int col) const
{
    if (!m_grid || !m_grid->isValidCell(row, col))
        return {};
    const GridArea block = m_grid->mergeAt(row, col);
    const int x1 = xOf(block.firstCol);
    const int y1 = yOf(block.firstRow);
    const int x2 = xOf(block.lastCol) + m_grid->columnWidth(block.lastCol);
    const int y2 = yOf(block.lastRow) + m_grid->rowHeight(block.lastRow);
    if (x2 <= x1 || y2 <= y1)
        return {};
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

GridViewGeometry::Span GridViewGeometry::rowSpan(int r1, int r2) const
{
    const int fixedRows = firstDataRow();
    Span fixed;
    Span data;
    if (r1 < fixedRows)
        fixed = Span{rowTop(r1), rowTop(std::min(r2, fixedRows - 1) + 1)};
    if (r2 >= fixedRows) {
        // Scrolled rows never show over the fixed rows.
        data = Span{std::max<qint64>(rowTop(std::max(r1, fixedRows)) - m_scrollY, fixedHeight()),
                    rowTop(r2 + 1) - m_scrollY};
    }
    if (fixed.isEmpty())
        return data;
    if (data.isEmpty())
        return fixed;
    return Span{std::min(fixed.from, data.from), std::max(fixed.to, data.to)};
}

GridViewGeometry::Span GridViewGeometry::colSpan(int c1, int c2) const
{
    Span fixed;
    Span data;
    if (c1 < 1)
        fixed = Span{0, colLeft(1)};
    if (c2 >= 1) {
        data = Span{std::max<qint64>(colLeft(std::max(c1, 1)) - m_scrollX, fixedWidth()),
                    colLeft(c2 + 1) - m_scrollX};
    }
    if (fixed.isEmpty())
        return data;
    if (data.isEmpty())
        return fixed;
    return Span{std::min(fixed.from, data.from), std::max(fixed.to, data.to)};
}

QRect GridViewGeometry::areaRect(const GridArea &area, const QRect &viewport) const
{
    if (!m_grid)
        return {};
    const GridArea a = area.clipped(rows(), cols());
    if (a.isEmpty())
        return {};
    const Span ys = rowSpan(a.firstRow, a.lastRow);
    const Span xs = colSpan(a.firstCol, a.lastCol);
    if (ys.isEmpty() || xs.isEmpty())
        return {};
    const qint64 left = std::max<qint64>(xs.from - kLineReach, viewport.left());
    const qint64 top = std::max<qint64>(ys.from - kLineReach, viewport.top());
    const qint64 right = std::min<qint64>(xs.to - 1 + kLineReach, viewport.right());
    const qint64 bottom = std::min<qint64>(ys.to - 1 + kLineReach, viewport.bottom());
    if (left > right || top > bottom)
        return {};
    return QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
}

} // namespace fenpai
