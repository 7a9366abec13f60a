#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/division/divisionsummary.h"
#include "jobs/division/placementsearch.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

namespace fenpai {

class Database;
class Grid;

// What a placement of late pupils is asked for, checked: the dialog and the command line read
// the number of moves through parseMaxMoves.
struct PlacementSettings
{
    // Pupils placed before who may end in another class to bring the balance back.
    int maxMoves = 0;
    // The balancing options; unset: those of the last full division (none without one).
    std::optional<bool> balanceSex;
    std::optional<bool> balanceSchool;

    static constexpr int maxMovesLimit = 100000;

    // The number of moves as typed: a whole number from 0 to maxMovesLimit.
    [[nodiscard]] static Result<int> parseMaxMoves(const QString &text);
};

// One pupil whose class the placement set or changed.
struct ClassChange
{
    qint64 rowid = 0;
    QString name;
    QString sex;
    QVariant score;
    QString school;
    int from = 0; // 0: a late pupil, who had no class
    int to = 0;
};

struct PlacementOutcome
{
    std::vector<ClassChange> placed; // the late pupils, in table order
    std::vector<ClassChange> moved;  // pupils placed before who changed class, in table order
    int maxMoves = 0;
    int classCount = 0;
    bool layered = false;
    bool balanceSex = false;
    bool balanceSchool = false;
    bool lastRunKnown = false; // the layers and options of the last full division were found
    DivisionSummary before;    // the classes as they were, late pupils left out
    DivisionSummary after;
    QStringList notes; // wishes that cannot be or are not met

    // "安置新增学生3人，调动已分班学生1人（最多允许2人）"
    QString text() const;
};

// Places the pupils of 分班数据表 who have no class (新分班 empty or 0) into the classes a
// division made, without dividing everyone again: class count, layers and balancing options are
// those of the last full division (kept in the database), or with none kept the classes found in
// the table. Each late pupil joins his layer (by score) and the classes where he keeps sizes,
// sexes and schools closest; then at most maxMoves pupils placed before change class to bring the
// means and SDs back (PlacementSearch). With no late pupils it only rebalances, after
// withdrawals. Wishes are kept. One transaction: a refusal leaves 新分班 as it was.
class ClassPlacement final
{
public:
    // Pupils without a class, as the dialog shows them before it runs.
    [[nodiscard]] static Result<int> latePupilCount(Database &db);

    [[nodiscard]] static Result<PlacementOutcome> run(Database &db,
                                                      const PlacementSettings &settings);
    // The same with the search held to `limits` (tests).
    [[nodiscard]] static Result<PlacementOutcome>
    run(Database &db, const PlacementSettings &settings, const PlacementSearch::Limits &limits);

    // The list of placed and moved pupils: 姓名, 性别, 成绩, 原学校, 调整前, 调整后, 说明.
    static ReportDocument fillList(Grid &grid, const PlacementOutcome &outcome,
                                   const ReportFormat::Subtitle &subtitle);
    static QString listTitle() { return QStringLiteral("分班调整清单"); }
    static QStringList listHeaders();
    static QStringList listRow(const ClassChange &change);

    // Put in front of the reason a placement failed.
    static QString failedMessage();
};

} // namespace fenpai
