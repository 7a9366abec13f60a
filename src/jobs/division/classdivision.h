#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/division/divisionsettings.h"
#include "jobs/division/divisionsummary.h"

#include <QString>

#include <functional>

namespace fenpai {

class Database;

// Divides the pupils of 分班数据表 into new classes and writes each one's class into 新分班.
//
// Pupils are ranked by 成绩 (best first, import order among equals) and dealt serpentine over the
// classes, group by group: all pupils; or boys, girls and the rest; or the pupils of each source
// school; or both. In layered mode the ranking is first cut into layers A..D, each owning its own
// block of class numbers. Every pupil ends in a class 1..C. The rows are read once, dealt in
// memory and written in one transaction: a run that fails or is cancelled leaves 新分班 as it was.
class ClassDivision final
{
public:
    // Called while the classes are written: rows written so far, rows in all. Returning false
    // cancels the run.
    using Progress = std::function<bool(int done, int total)>;

    // The dialog's total: the pupils that have a source school (Count of 原学校).
    [[nodiscard]] static Result<int> pupilTotal(Database &db);

    // Runs the division with settings that pass DivisionSettings::check. On success returns the
    // balance of the new classes; otherwise the message to show, with 新分班 untouched.
    [[nodiscard]] static Result<DivisionSummary> run(Database &db, const DivisionSettings &settings,
                                                     const Progress &progress = {});

    // Put in front of the reason a run failed: "分班失败，新分班未作改动：".
    static QString failedMessage();
};

} // namespace fenpai
