#pragma once

#include "grid/gridarea.h"

namespace fenpai {

// Where the user is in a grid, as a plain value: the selected area and the active cell. A grid
// file keeps one, so a document opens where it was left.
struct GridCursor
{
    GridArea area{1, 1, 1, 1};
    int activeRow = 1;
    int activeCol = 1;

    // Every part moved inside a grid of rows × cols (row and column 0 at least).
    GridCursor clampedTo(int rows, int cols) const;
    bool operator==(const GridCursor &) const = default;
};

} // namespace fenpai
