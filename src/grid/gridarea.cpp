#include "grid/gridarea.h"

#include <algorithm>

namespace fenpai {

GridArea GridArea::united(const GridArea &o) const
{
    if (o.isEmpty())
        return *this;
    if (isEmpty())
        return o;
    return GridArea{std::min(firstRow, o.firstRow), std::min(firstCol, o.firstCol),
                    std::max(lastRow, o.lastRow), std::max(lastCol, o.lastCol)};
}

GridArea GridArea::clipped(int rows, int cols) const
{
    const GridArea a{std::max(0, firstRow), std::max(0, firstCol), std::min(rows - 1, lastRow),
                     std::min(cols - 1, lastCol)};
    return a.isEmpty() ? GridArea{} : a;
}

GridArea GridArea::normalized(int r1, int c1, int r2, int c2)
{
    return GridArea{std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
}

} // namespace fenpai
