#pragma once

#include "core/result.h"
#include "jobs/division/divisionsummary.h"

#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

class Database;

// A divided intake as 分班数据表 holds it, for the balance report: each pupil's class (1..the
// highest class number; anything else is not placed), sex, score and source school, and the
// layers its classes fall into: those of the last division's settings while they still fit the
// table, else those the scores show.
class BalanceIntake final
{
public:
    // Refused when the table is missing or nobody has a class yet.
    [[nodiscard]] static Result<BalanceIntake> read(Database &db);

    const std::vector<DivisionSummary::Pupil> &pupils() const { return m_pupils; }
    const QStringList &schoolNames() const { return m_schoolNames; }
    int classCount() const { return m_classCount; }
    int unplaced() const { return m_unplaced; } // pupils without a class 1..classCount
    // The [lo, hi] blocks of classes to compare among themselves; one block unless layered.
    const std::vector<std::pair<int, int>> &layers() const { return m_layers; }
    // Whether the blocks are those the last division was told, not found from the scores.
    bool layersStored() const { return m_layersStored; }

    // The layers a finished division shows: runs of consecutive classes whose scores all lie at
    // or above every score of the classes after them (a layered division fills classes from
    // the best layer on). At most four; a table that shows more, or none, is one block.
    // Classes without scores join the run they stand in.
    static std::vector<std::pair<int, int>> layersOf(const std::vector<ClassBalance> &classes);

private:
    std::vector<DivisionSummary::Pupil> m_pupils;
    QStringList m_schoolNames;
    int m_classCount = 0;
    int m_unplaced = 0;
    std::vector<std::pair<int, int>> m_layers;
    bool m_layersStored = false;
};

} // namespace fenpai
