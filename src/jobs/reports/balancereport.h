#pragma once

#include "core/result.h"
#include "jobs/division/balancecertificate.h"
#include "jobs/reports/reportdocument.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// 分班均衡报告: how balanced the new classes of 分班数据表 are. A table with one row per class
// (新分班, 人数, 男生, 女生, 平均分, 标准差 (population), 最高分, 最低分, one column per source
// school), the balance certificate of each criterion (the spread reached, the smallest spread
// the intake allows, the median spread of random divisions of the same class sizes and the
// share of them beaten) and four charts as pictures at print resolution. Classes that show the
// layers of a layered division are compared within their layer. The same table always gives
// the same report: the random divisions come from a fixed seed.
class BalanceReport final
{
public:
    struct Options
    {
        BalanceCertificate::Options certificate;
        double dpi = 300; // the charts' dots per inch of paper
    };

    static QString title(); // 分班均衡报告

    [[nodiscard]] static Result<ReportDocument> build(Database &db, Grid &grid);
    [[nodiscard]] static Result<ReportDocument> build(Database &db, Grid &grid,
                                                      const Options &options);
};

} // namespace fenpai
