#include "grid/gridrange.h"

#include "grid/grid.h"

#include <algorithm>
#include <cmath>

namespace fenpai {

GridRange::GridRange(Grid *grid, int r1, int c1, int r2, int c2)
    : m_grid(grid)
    , m_area(GridArea::normalized(r1, c1, r2, c2))
{}

GridRange::GridRange(Grid *grid, const GridArea &area)
    : GridRange(grid, area.firstRow, area.firstCol, area.lastRow, area.lastCol)
{}

void GridRange::merge()
{
    m_grid->mergeArea(m_area);
}

bool GridRange::mergeCells() const
{
    return !m_area.isSingleCell() && m_grid->mergeAt(m_area.firstRow, m_area.firstCol) == m_area;
}

void GridRange::setMergeCells(bool on)
{
    if (on)
        m_grid->mergeArea(m_area);
    else
        m_grid->unmergeArea(m_area);
}

void GridRange::setBorder(GridBorder::Edge edge, GridBorder::Style style)
{
    m_grid->setBorder(m_area, edge, style);
}

void GridRange::clear()
{
    m_grid->clearArea(m_area, true);
}

void GridRange::clearText()
{
    m_grid->clearArea(m_area, false);
}

void GridRange::setFontName(const QString &name)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.fontName = name; });
}

void GridRange::setFontSize(double points)
{
    // Sizes below 1 point cannot be drawn; they become 1.
    const double size = std::max(1.0, points);
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.fontSize = size; });
    // Rows grow with their text so a larger font is not cut top and bottom; they never shrink,
    // and hidden rows stay hidden.
    const int needed = int(std::ceil(size * 96.0 / 72.0 * 1.35)) + 3;
    const int last = std::min(m_area.lastRow, m_grid->rows() - 1);
    for (int r = std::max(0, m_area.firstRow); r <= last; ++r) {
        const int h = m_grid->rowHeight(r);
        if (h > 0 && h < needed)
            m_grid->setRowHeight(r, needed);
    }
}

void GridRange::setFontBold(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.bold = on; });
}

void GridRange::setFontItalic(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.italic = on; });
}

void GridRange::setFontUnderline(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.underline = on; });
}

void GridRange::setFontStrikeout(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.strikeout = on; });
}

void GridRange::setFont(const GridFont &font)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) {
        s.fontName = font.name;
        s.fontSize = std::max(1.0, font.size);
        s.bold = font.bold;
        s.italic = font.italic;
        s.underline = font.underline;
        s.strikeout = font.strikeout;
    });
}

void GridRange::setForeColor(const QColor &color)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.foreColor = color; });
}

void GridRange::setBackColor(const QColor &color)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.backColor = color; });
}

void GridRange::setAlignment(GridAlign align)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.alignment = align; });
}

void GridRange::setWrapText(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.wrapText = on; });
}

void GridRange::setLocked(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.locked = on; });
}

void GridRange::setDropDown(bool on)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.dropDown = on; });
}

void GridRange::setImage(const QString &key)
{
    m_grid->applyStyle(m_area, [&](CellStyle &s) { s.imageKey = key; });
}

void GridRange::insertRows()
{
    m_grid->insertRows(std::max(m_area.firstRow, m_grid->fixedRows()), m_area.rowCount());
}

void GridRange::insertCols()
{
    m_grid->insertCols(std::max(m_area.firstCol, 1), m_area.colCount());
}

void GridRange::deleteByRow()
{
    const int first = std::max(m_area.firstRow, m_grid->fixedRows());
    if (m_area.lastRow >= first)
        m_grid->deleteRows(first, m_area.lastRow - first + 1);
}

void GridRange::deleteByCol()
{
    const int first = std::max(m_area.firstCol, 1);
    if (m_area.lastCol >= first)
        m_grid->deleteCols(first, m_area.lastCol - first + 1);
}

} // namespace fenpai
