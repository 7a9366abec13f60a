#pragma once

#include <QMetaType>

#include <climits>

namespace fenpai {

// A rectangle of cells, inclusive on both ends. An area with lastRow < firstRow is empty.
struct GridArea
{
    // As lastRow or lastCol: to the end of the grid, lines that went away included. One less
    // than the largest int, so that rowCount() and colCount() of such an area still fit.
    static constexpr int kEnd = INT_MAX - 1;

    int firstRow = 0;
    int firstCol = 0;
    int lastRow = -1;
    int lastCol = -1;

    bool isEmpty() const { return lastRow < firstRow || lastCol < firstCol; }
    bool isSingleCell() const { return firstRow == lastRow && firstCol == lastCol; }
    int rowCount() const { return isEmpty() ? 0 : lastRow - firstRow + 1; }
    int colCount() const { return isEmpty() ? 0 : lastCol - firstCol + 1; }
    bool contains(int row, int col) const
    {
        return row >= firstRow && row <= lastRow && col >= firstCol && col <= lastCol;
    }
    bool intersects(const GridArea &o) const
    {
        return !isEmpty() && !o.isEmpty() && firstRow <= o.lastRow && o.firstRow <= lastRow &&
               firstCol <= o.lastCol && o.firstCol <= lastCol;
    }
    // The smallest area holding both; an empty area adds nothing.
    GridArea united(const GridArea &o) const;
    // The part inside a grid of rows × cols; empty when nothing of it is.
    GridArea clipped(int rows, int cols) const;
    // Rows from firstRow on moved or changed height (lastRow is kEnd); the same for columns.
    bool rowsMoved() const { return !isEmpty() && lastRow == kEnd; }
    bool colsMoved() const { return !isEmpty() && lastCol == kEnd; }

    // Every cell, wherever it went: what a new grid or a changed grid-wide setting reports.
    static GridArea everything() { return GridArea{0, 0, kEnd, kEnd}; }
    // The same cells whatever order the corners were given in.
    static GridArea normalized(int r1, int c1, int r2, int c2);
    bool operator==(const GridArea &) const = default;
};

} // namespace fenpai

Q_DECLARE_METATYPE(fenpai::GridArea)
