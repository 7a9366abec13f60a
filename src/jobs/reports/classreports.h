#pragma once

#include "core/result.h"
#include "jobs/reports/examlistings.h"

#include <QString>

#include <vector>

namespace fenpai {

class Database;
class Grid;

// The reports over 分班数据表: the statistics of the new classes and of the source schools, each
// with a totals row "合计" right under the header, and the list of one new class.
class ClassReports final
{
public:
    // A score band [low, high).
    struct Band
    {
        qint64 low = 0;
        qint64 high = 0;
        bool operator==(const Band &) const = default;
    };

    // Width 10, or 50 once the highest score reaches 120; from the band holding `highest` down
    // to [w, 2w). Scores below w fall in no band.
    static std::vector<Band> bands(double highest);

    static QString newClassTitle();     // 新分班基本情况表
    static QString sourceSchoolTitle(); // 原始分班信息表

    // 新分班, 学生数, 男生, 女生, 最高分, 最低分, 平均分, the bands, one column per source
    // school; saved as NewQry3 and laid out as a statistics report.
    [[nodiscard]] static Result<ReportDocument> newClassStats(Database &db, Grid &grid);
    // The same without 平均分 and without the report layout, for the adjustment dialog's grid.
    [[nodiscard]] static Result<ReportDocument> adjustmentStats(Database &db, Grid &grid);
    // 原学校, 学生数, 男生, 女生, 最高分, 最低分 and the bands; saved as NewQry1.
    [[nodiscard]] static Result<ReportDocument> sourceSchoolStats(Database &db, Grid &grid);
    // The pupils of new class `number` (0: those not yet placed) by score, best first; saved as
    // NewQry5, titled number + "班", in the class-list layout. A class no pupil is in is
    // refused, naming it.
    [[nodiscard]] static Result<ReportDocument> classList(Database &db, Grid &grid, int number);
};

} // namespace fenpai
