#pragma once

#include "grid/gridfont.h"

namespace fenpai {

// The grid-wide settings that are no cell's and no column's.
struct GridSettings
{
    int fixedRows = 1;
    int defaultRowHeight = 20; // pixels at 96 dpi
    bool displayRowIndex = false;
    GridFont defaultFont;
    bool allowUserSort = false;
    bool enabled = true;
};

} // namespace fenpai
