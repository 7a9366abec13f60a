#pragma once

#include "jobs/documents/reportformat.h"

#include <QString>

namespace fenpai {

class Grid;

// The print layouts of the exam listings: the room layout for name lists of rooms (larger type,
// tall rows, the room's exam number range between the report subtitles) and the class layout for
// class lists and the first/last exam numbers (the grid's own type and rows). Both fit their
// columns to the printed values and to the page's width.
class ExamListLayout final
{
public:
    static void roomList(Grid &grid, const QString &title, const QString &range,
                         const ReportFormat::Subtitle &subtitle);
    static void classList(Grid &grid, const QString &title, const ReportFormat::Subtitle &subtitle);
};

} // namespace fenpai
