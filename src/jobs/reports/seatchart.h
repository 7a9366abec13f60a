#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/reports/examlistings.h"

#include <QHash>
#include <QStringList>

namespace fenpai {

class Database;
class Grid;

// The seat chart of a room, to post at its door: the title "第 N 考场座位表" with the room's
// location, the "讲台" band at the front, then one cell per desk in the room's rows and columns
// with the exam number (and the paper version, when versions were laid out), name (the school,
// when the room holds several) and class of whoever sits there; empty desks stay blank. The report
// titles' line stands above. Landscape A4, one page per room; rooms up to 8 × 8 desks print at full
// size, larger ones are scaled down to fit their page.
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

    // The names a room's desks give its schools: none for a room of one school; otherwise each
    // name whole when it has at most `lineLength` characters (a desk's line), else shortened to
    // the fewest leading characters (four at least) that still tell the room's schools apart.
    static QHash<QString, QString> schoolLabels(const QStringList &schools, int lineLength);
};

} // namespace fenpai
