#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QString>

#include <vector>

namespace fenpai {

class Database;
class Grid;

// The manual moves between new classes after a division: a class's pupils into a picker's grid,
// and one pupil, named by the row the user picked, into another class.
class ClassAdjustment final
{
public:
    // The pupils of new class `number` by score, best first, saved as `queryName` and filled
    // into the grid: 姓名, 新分班, 成绩, 性别, and 原学校 when `withSchool`. Gives each list
    // row's rowid in 分班数据表, so that row r (from 1) is entry r - 1.
    [[nodiscard]] static Result<std::vector<qint64>>
    fillClass(Database &db, Grid &grid, const QString &queryName, int number, bool withSchool);

    // Moves exactly the row `rowid` into class `target`.
    [[nodiscard]] static Status move(Database &db, qint64 rowid, int target);
};

} // namespace fenpai
