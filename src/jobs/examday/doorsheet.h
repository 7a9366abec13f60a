#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/reports/reportdocument.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// The sheet on an exam room's door: the room in large type ("第 K 考场"), its location, the first
// and last exam number, how many sit there (and how many papers of each version), and the room's
// desks in miniature from the front with the seat number (and version) on each occupied desk.
// A4 portrait, one room to a page; the report titles' line stands above.
class DoorSheet final
{
public:
    struct Request
    {
        int room = 0; // ordinal; 0 for every room, one page each
        SeatOrder order = SeatOrder::ByColumn;
    };

    // Fills the grid; refuses a room that does not exist, leaving the grid as it was.
    [[nodiscard]] static Result<ReportDocument> build(Database &db, Grid &grid,
                                                      const Request &request);

    static QString title(int room); // 第 K 考场门贴; 全部考场门贴 for 0
    // "考号 2100001 — 2100030"; empty when the room holds nobody.
    static QString numberLine(const QString &first, const QString &last);
};

} // namespace fenpai
