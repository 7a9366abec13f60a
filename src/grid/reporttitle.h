#pragma once

#include "grid/gridfont.h"

#include <QString>

namespace fenpai {

// A title printed above the table. Text is split at "|" into left, centre and right parts.
struct ReportTitle
{
    QString text;
    GridFont font;
    int alignTo = 0; // 1: the three parts align to the table's width, else the printable width
    bool printOnAllPages = true;
    bool operator==(const ReportTitle &) const = default;
};

} // namespace fenpai
