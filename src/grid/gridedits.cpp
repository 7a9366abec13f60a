#include "grid/gridedits.h"

#include "grid/grid.h"

#include <algorithm>

namespace fenpai {

namespace {

constexpr int kShownColumnWidth = 72;

} // namespace

GridAlign GridEdits::alignmentForIndex(int index)
{
    index = std::clamp(index, 0, 8);
    return GridAlign(5 + 4 * (index % 3) + index / 3);
}

QList<GridEdits::BorderEdge> GridEdits::borderPattern(int index)
{
    using enum GridBorder::Edge;
    using enum GridBorder::Style;
    static const QList<QList<BorderEdge>> patterns = {
        {{Left, None},
         {Top, None},
         {Right, None},
         {Bottom, None},
         {InsideVertical, None},
         {InsideHorizontal, None},
         {DiagonalDown, None},
         {DiagonalUp, None}},
        {{Right, Thin}},
        {{Bottom, Thin}},
        {{Left, Thin}},
        {{Top, Thin}},
        {{DiagonalDown, Thin}},
        {{DiagonalUp, Thin}},
        {{InsideHorizontal, Thin}, {InsideVertical, Thin}},
        {{Left, Thin}, {Top, Thin}, {Right, Thin}, {Bottom, Thin}},
        {{Left, Thick}, {Top, Thick}, {Right, Thick}, {Bottom, Thick}},
        {{Left, Thin},
         {Top, Thin},
         {Right, Thin},
         {Bottom, Thin},
         {InsideHorizontal, Thin},
         {InsideVertical, Thin}},
        {{Left, Thick},
         {Top, Thick},
         {Right, Thick},
         {Bottom, Thick},
         {InsideHorizontal, Thin},
         {InsideVertical, Thin}},
    };
    return index >= 0 && index < patterns.size() ? patterns.at(index) : QList<BorderEdge>{};
}

void GridEdits::applyBorderPattern(Grid &grid, const GridArea &area, int index)
{
    const QList<BorderEdge> edges = borderPattern(index);
    if (edges.isEmpty())
        return;
    const bool redraw = grid.autoRedraw();
    grid.setAutoRedraw(false);
    for (const BorderEdge &e : edges)
        grid.setBorder(area, e.edge, e.style);
    grid.setAutoRedraw(redraw);
    grid.refresh();
}

GridArea GridEdits::borderReach(const GridArea &area)
{
    if (area.isEmpty())
        return area;
    return GridArea{std::max(0, area.firstRow - 1), std::max(0, area.firstCol - 1),
                    area.lastRow + 1, area.lastCol + 1};
}

void GridEdits::toggleFontStyle(Grid &grid, const GridArea &area, int activeRow, int activeCol,
                                FontStyle style)
{
    const GridFont font = grid.cellFont(activeRow, activeCol);
    GridRange range = grid.range(area.firstRow, area.firstCol, area.lastRow, area.lastCol);
    switch (style) {
    case FontStyle::Bold:
        range.setFontBold(!font.bold);
        break;
    case FontStyle::Italic:
        range.setFontItalic(!font.italic);
        break;
    case FontStyle::Underline:
        range.setFontUnderline(!font.underline);
        break;
    }
}

void GridEdits::stepDefaultFontSize(Grid &grid, int points)
{
    grid.setDefaultFontSize(std::max(1.0, grid.defaultFont().size + points));
}

void GridEdits::hideRows(Grid &grid, const GridArea &area)
{
    const GridArea a = area.clipped(grid.rows(), grid.cols());
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        if (grid.rowHeight(r) != 0)
            grid.setRowHeight(r, 0);
    }
}

void GridEdits::showRows(Grid &grid, const GridArea &area)
{
    const GridArea a = area.clipped(grid.rows(), grid.cols());
    for (int r = a.firstRow; r <= a.lastRow; ++r) {
        if (grid.rowHeight(r) == 0)
            grid.setRowHeight(r, grid.defaultRowHeight());
    }
}

void GridEdits::hideCols(Grid &grid, const GridArea &area)
{
    const GridArea a = area.clipped(grid.rows(), grid.cols());
    for (int c = a.firstCol; c <= a.lastCol; ++c) {
        if (grid.columnWidth(c) != 0)
            grid.setColumnWidth(c, 0);
    }
}

void GridEdits::showCols(Grid &grid, const GridArea &area)
{
    const GridArea a = area.clipped(grid.rows(), grid.cols());
    for (int c = a.firstCol; c <= a.lastCol; ++c) {
        if (grid.columnWidth(c) == 0 && !isOrderColumn(grid, c))
            grid.setColumnWidth(c, kShownColumnWidth);
    }
}

QString GridEdits::orderColumnTag()
{
    return QStringLiteral("原顺序");
}

bool GridEdits::isOrderColumn(const Grid &grid, int col)
{
    return grid.cellTag(0, col) == orderColumnTag();
}

} // namespace fenpai
