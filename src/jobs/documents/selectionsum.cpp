#include "jobs/documents/selectionsum.h"

#include "core/numbertext.h"
#include "grid/grid.h"

namespace fenpai {

std::optional<QString> SelectionSum::text(const Grid &grid, const GridArea &area)
{
    if (area.isEmpty())
        return std::nullopt;
    const qint64 span = qint64(area.lastRow - area.firstRow) * qint64(area.lastCol - area.firstCol);
    if (span > 6000)
        return std::nullopt;
    float sum = 0; // single precision, as the status bar always showed it
    for (int r = area.firstRow; r <= area.lastRow; ++r) {
        for (int c = area.firstCol; c <= area.lastCol; ++c)
            sum += static_cast<float>(NumberText::leadingValue(grid.cellText(r, c)));
    }
    return QStringLiteral("和  ") + QString::number(static_cast<double>(sum), 'g', 7);
}

} // namespace fenpai
