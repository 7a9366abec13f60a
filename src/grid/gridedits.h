#pragma once

#include "grid/cellstyle.h"
#include "grid/gridarea.h"

#include <QList>
#include <QString>

namespace fenpai {

class Grid;

// The editing and formatting commands a document offers on its selection, as plain changes of
// a grid: the toolbar's pickers deliver an index and these turn it into formats.
class GridEdits final
{
public:
    enum class FontStyle
    {
        Bold,
        Italic,
        Underline
    };

    struct BorderEdge
    {
        GridBorder::Edge edge;
        GridBorder::Style style;
    };

    // Picker index 0..8 (three per row: top, middle, bottom; left, centre, right in each) →
    // alignment code: 5 + 4 × (index mod 3) + index div 3.
    static GridAlign alignmentForIndex(int index);
    // The twelve border patterns of the border picker, index 0..11: none; right, bottom, left,
    // top alone; the two diagonals; the inner lines; thin and thick outline; all lines thin;
    // thick outline with thin inner lines. Empty for another index.
    static QList<BorderEdge> borderPattern(int index);
    static void applyBorderPattern(Grid &grid, const GridArea &area, int index);
    // The cells a border change of the area writes: a line on its outline belongs to the
    // neighbours as well.
    static GridArea borderReach(const GridArea &area);
    // The active cell's state decides: the whole area gets the opposite of it.
    static void toggleFontStyle(Grid &grid, const GridArea &area, int activeRow, int activeCol,
                                FontStyle style);
    // The default font one point larger or smaller, never below 1 point.
    static void stepDefaultFontSize(Grid &grid, int points);

    // Rows and columns of the area hidden (height or width 0) or shown at their default size.
    // Showing leaves order columns hidden: they are the ranking's bookkeeping, not the table.
    static void hideRows(Grid &grid, const GridArea &area);
    static void showRows(Grid &grid, const GridArea &area);
    static void hideCols(Grid &grid, const GridArea &area);
    static void showCols(Grid &grid, const GridArea &area);

    // The tag of an order column's header cell (see TableTools).
    static QString orderColumnTag();
    static bool isOrderColumn(const Grid &grid, int col);
};

} // namespace fenpai
