#include "grid/gridselection.h"

#include "grid/grid.h"

#include <algorithm>

namespace fenpai {

GridSelection::GridSelection(Grid *grid, QObject *parent)
    : QObject(parent)
{
    setGrid(grid);
}

void GridSelection::setGrid(Grid *grid)
{
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    m_grid = grid;
    if (m_grid) {
        connect(m_grid, &Grid::rowsInserted, this, [this] {
            clamp();
            unpark();
        });
        connect(m_grid, &Grid::rowsRemoved, this, &GridSelection::clamp);
        connect(m_grid, &Grid::columnsInserted, this, &GridSelection::clamp);
        connect(m_grid, &Grid::columnsRemoved, this, &GridSelection::clamp);
        connect(m_grid, &Grid::contentReplaced, this, &GridSelection::restart);
        connect(m_grid, &Grid::changed, this, [this] {
            if (m_fresh)
                settleFresh();
        });
    }
    restart();
}

void GridSelection::restart()
{
    m_parked = false;
    m_fresh = true;
    m_cursor = GridCursor{};
    // Without a grid nobody is told: the grid may be going, with those who listen.
    if (m_grid) {
        m_cursor = m_cursor.clampedTo(m_grid->rows(), m_grid->cols());
        emit selectionChanged();
    }
}

void GridSelection::setCursor(const GridCursor &cursor)
{
    setSelection(cursor.area, cursor.activeRow, cursor.activeCol);
}

GridRange GridSelection::range() const
{
    return GridRange(m_grid, m_cursor.area);
}

GridCell GridSelection::activeCell() const
{
    return GridCell(m_grid, m_cursor.activeRow, m_cursor.activeCol);
}

void GridSelection::setActiveCell(int row, int col)
{
    select(row, col, row, col);
}

void GridSelection::select(int r1, int c1, int r2, int c2)
{
    setSelection(GridArea::normalized(r1, c1, r2, c2), r1, c1);
}

void GridSelection::select(const GridArea &area)
{
    const GridArea a =
        GridArea::normalized(area.firstRow, area.firstCol, area.lastRow, area.lastCol);
    setSelection(a, a.firstRow, a.firstCol);
}

void GridSelection::setSelection(const GridArea &area, int activeRow, int activeCol)
{
    m_parked = false;
    m_fresh = false;
    m_cursor = GridCursor{area, activeRow, activeCol};
    if (m_grid)
        m_cursor = m_cursor.clampedTo(m_grid->rows(), m_grid->cols());
    emit selectionChanged();
}

void GridSelection::clamp()
{
    if (!m_grid)
        return;
    const GridCursor before = m_cursor;
    m_cursor = m_cursor.clampedTo(m_grid->rows(), m_grid->cols());
    const int fixedRows = m_grid->fixedRows();
    if (before.activeRow >= fixedRows && m_cursor.activeRow < fixedRows)
        m_parked = true;
    if (!(before == m_cursor))
        emit selectionChanged();
}

void GridSelection::settleFresh()
{
    const int fixedRows = m_grid->fixedRows();
    if (m_cursor.activeRow >= fixedRows || m_grid->rows() <= fixedRows)
        return;
    const int cols = m_grid->cols();
    const int col = std::clamp(m_cursor.activeCol, std::min(1, cols - 1), std::max(0, cols - 1));
    m_cursor = GridCursor{GridArea{fixedRows, col, fixedRows, col}, fixedRows, col};
    emit selectionChanged();
}

void GridSelection::unpark()
{
    const int fixedRows = m_grid->fixedRows();
    if (!m_parked || m_grid->rows() <= fixedRows)
        return;
    m_parked = false;
    const int cols = m_grid->cols();
    const int col = std::clamp(m_cursor.activeCol, std::min(1, cols - 1), std::max(0, cols - 1));
    m_cursor = GridCursor{GridArea{fixedRows, col, fixedRows, col}, fixedRows, col};
    emit selectionChanged();
}

} // namespace fenpai
