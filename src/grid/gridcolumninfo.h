#pragma once

#include "grid/cellstyle.h"

#include <QString>

namespace fenpai {

// Column masks: 0 shows the text as stored, 5 limits entry to numbers and shows the value
// through the column's format string; 3 and any other value mean text.
namespace GridMask {
constexpr int None = 0;
constexpr int Text = 3;
constexpr int Numeric = 5;
} // namespace GridMask

struct GridColumnInfo
{
    int width = 72; // pixels at 96 dpi; 0 hides the column
    int mask = GridMask::None;
    GridAlign alignment = GridAlign::General;
    QString formatString;
    bool operator==(const GridColumnInfo &) const = default;
};

} // namespace fenpai
