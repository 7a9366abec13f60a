#pragma once

#include "grid/gridcontent.h"
#include "grid/gridimages.h"
#include "grid/gridmerges.h"
#include "grid/gridprintsetup.h"
#include "grid/gridsettings.h"
#include "grid/gridstyles.h"

namespace fenpai {

// Everything a grid holds, in its stores: what a grid file writes and reads back.
struct GridData
{
    GridContent content;
    GridStyles styles;
    GridMerges merges;
    GridSettings settings;
    GridPrintSetup print;
    GridImages images;
};

} // namespace fenpai
