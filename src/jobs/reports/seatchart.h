#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/reports/examlistings.h"

namespace fenpai {

class Database;
class Grid;

// The seat chart of a room, to post at its door: the title "第 N 考场座位表" with the room's
// location, the "讲台" band at the front, then one cell per desk in the room's rows and columns
// with the exam number, name and class of whoever sits there; empty desks stay blank. Landscape
// A4, one page per room; rooms up to 8 × 8 desks print at full size, larger ones are scaled down
// to fit their page.
class SeatChart final
{
public:
    struct Request
    {
        int room = 0; // ordinal; 0 for every room, one page each
        SeatOrder order = SeatOrder::ByColumn;
    };

    // Fills the grid; refuses a room that does not exist or has more desks than a page can show.
    [[nodiscard]] static Result<ReportDocument> build(Database &db, Grid &grid,
                                                      const Request &request);

    static QString title(int room); // 第 N 考场座位表, 全部考场座位表 for 0
    static constexpr int maxLines = 100;
};

} // namespace fenpai
