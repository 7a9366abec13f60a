#pragma once

#include <QString>

#include <optional>

namespace fenpai {

class Grid;
struct GridArea;

// The sum of the selected cells shown in the status bar while the user selects.
class SelectionSum final
{
public:
    // "和  " + the sum of the numeric values of the cells' texts (text that does not start with a
    // number counts 0), or nothing when (rows − 1) × (cols − 1) of the selection exceeds 6000.
    static std::optional<QString> text(const Grid &grid, const GridArea &area);
};

} // namespace fenpai
