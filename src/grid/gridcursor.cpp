#include "grid/gridcursor.h"

#include <algorithm>

namespace fenpai {

GridCursor GridCursor::clampedTo(int rows, int cols) const
{
    const int maxRow = std::max(0, rows - 1);
    const int maxCol = std::max(0, cols - 1);
    GridCursor c = *this;
    c.area.firstRow = std::clamp(area.firstRow, 0, maxRow);
    c.area.lastRow = std::clamp(area.lastRow, 0, maxRow);
    c.area.firstCol = std::clamp(area.firstCol, 0, maxCol);
    c.area.lastCol = std::clamp(area.lastCol, 0, maxCol);
    c.activeRow = std::clamp(activeRow, 0, maxRow);
    c.activeCol = std::clamp(activeCol, 0, maxCol);
    return c;
}

} // namespace fenpai
