#pragma once

#include "core/result.h"
#include "jobs/reports/examlistings.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;
class Grid;

// Counts over 考生表 with a totals row "合计" right under the header: examinees per room and
// school, per room and class of one school, and the overviews per class and per school.
class ExamStatistics final
{
public:
    // 考场编排统计表: 考场, 人数 and one column per school.
    [[nodiscard]] static Result<ReportDocument> brief(Database &db, Grid &grid);
    // school + 考场编排统计表: 考场, 人数 and one column 第N班 per class of the school; a school
    // 考生表 does not have is refused, naming it.
    [[nodiscard]] static Result<ReportDocument> school(Database &db, Grid &grid,
                                                       const QString &school);
    // 原始分班信息表 per school and class, or per school: 学生数, 男生, 女生.
    [[nodiscard]] static Result<ReportDocument> byClass(Database &db, Grid &grid);
    [[nodiscard]] static Result<ReportDocument> bySchool(Database &db, Grid &grid);

    // The column headers for the classes of one school, in the given order: 第N班 with N the
    // last run of digits in the class name; the class name itself when it has no digits or its
    // number is taken, made unique if needed.
    static QStringList classAliases(const QStringList &classes);
};

} // namespace fenpai
