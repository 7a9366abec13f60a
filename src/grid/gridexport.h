#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

class Grid;

// Writes a grid for other programs: an Excel workbook or an HTML page. Column 0 (the row-number
// column) is left out, hidden rows and columns stay hidden in the workbook and are left out of
// the page. The file is written whole or not at all.
class GridExport final
{
public:
    // One sheet "Sheet1": numbers as numbers (texts with leading zeros stay texts), merges,
    // column widths, row heights, fonts, colours, alignment and borders.
    [[nodiscard]] static Status toXlsx(const Grid &grid, const QString &path);
    // One UTF-8 table with merges as row and column spans, texts escaped.
    [[nodiscard]] static Status toHtml(const Grid &grid, const QString &path);
    static QString html(const Grid &grid);
};

} // namespace fenpai
