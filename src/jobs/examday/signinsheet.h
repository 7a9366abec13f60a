#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;
class Grid;

// The sign-in sheet of an exam room, for its invigilators: the title "第 K 考场签到表", the room's
// location and lines for the subject and date, then one row per seat in seat order (seat, exam
// number, name, class, the paper version when versions were laid out, a photo thumbnail when a
// photo folder is given, the examinee's QR code "考号 校验码" (TicketCheck) and a wide column to
// sign in), a totals line
// "应考 N 人 实考 __ 人 缺考 __ 人" and lines for the invigilators' signatures. A4 portrait, one
// room to a page; a room too large for one page goes on over the next ones, its header repeated.
// The report titles' line stands above every page.
class SignInSheet final
{
public:
    struct Request
    {
        int room = 0; // ordinal; 0 for every room, each from a page of its own
        SeatOrder order = SeatOrder::ByColumn;
        QString photoFolder; // empty: no photos
        QString photoField;  // the 考生表 column naming the photo: 姓名, 考号 or 照片
    };

    struct Outcome
    {
        ReportDocument document;
        // With photos: "考号 姓名" of each examinee whose photo was not found, in sheet order.
        QStringList withoutPhoto;
    };

    // Fills the grid; refuses a room that does not exist. The grid is left as it was on refusal.
    [[nodiscard]] static Result<Outcome> build(Database &db, Grid &grid, const Request &request);

    static QString title(int room); // 第 K 考场签到表; 全部考场签到表 for 0
    // 应考 N 人　实考 ＿＿ 人　缺考 ＿＿ 人
    static QString totalsLine(int examinees);

    // The smallest and largest height of a seat's row, in pixels: the rows share the page
    // between these.
    static constexpr int minRowHeight = 26;
    static constexpr int maxRowHeight = 40;
};

} // namespace fenpai
