#pragma once

#include "core/result.h"
#include "grid/pagesetup.h"
#include "jobs/arrangement/roomseating.h"

#include <QString>

#include <vector>

namespace fenpai {

class Database;

// What the exam-day sheets share: the rooms they are made for, their page and their lines.
class ExamDayPage final
{
public:
    // Room `room` (an ordinal) with its examinees, or every room for 0; refused when the room
    // does not exist or the room table is empty.
    [[nodiscard]] static Result<std::vector<SeatedRoom>> rooms(Database &db, int room,
                                                               SeatOrder order);
    // A4 portrait with margins a printer reaches, the page count in the footer, no grid lines
    // or headings: the sheets draw their own lines.
    static PageSetup portrait(PageSetup setup);
    // "考场地点：…　　科目：＿＿＿＿　日期：＿＿年＿＿月＿＿日"
    static QString infoLine(const SeatedRoom &room);
    // "（考场号 103）" when the room's 考场号 differs from its ordinal; empty otherwise.
    static QString doorSuffix(const SeatedRoom &room);
    // The photo of a name in a folder (see TicketProduction::photoPath).
    static QString photoPath(const QString &folder, const QString &name);
};

} // namespace fenpai
