#pragma once

#include "core/result.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;
class Grid;

// The score information report "基本情况表": per school the classes (from 教师表), the pupils
// expected (rows of 成绩表) and, for each subject, how many sat it, how many were absent (an empty
// score) and how many distinct teachers teach it; a totals row "合 计" first, the schools after it
// in ascending order. Two fixed header rows: 学校(k), 班级数 and 应考 over both, each subject's
// name over its 参考 / 缺考 / 教师 columns. Teacher and class figures are matched to schools by
// name: a school without rows in 教师表 shows 0.
class ScoreInfoReport final
{
public:
    static QString title(); // 基本情况表
    // The refusal of a 成绩表 without rows (the table a new database comes with).
    static QString noScoresMessage();

    // The subjects: the columns of 成绩表 that are also columns of 教师表, other than 学校, 班级,
    // 姓名, 学号 and 考号, in 成绩表's column order.
    static QStringList subjects(Database &db);

    // Fills the grid (its previous content is replaced) and gives it the print titles and page
    // setup of a statistics report. A missing table fails with a message naming it, an empty
    // 成绩表 is refused; the grid is then left as it was.
    [[nodiscard]] static Result<ReportDocument> build(Database &db, Grid &grid);
};

} // namespace fenpai
