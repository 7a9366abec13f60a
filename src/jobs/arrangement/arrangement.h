#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/arrangement/arrangementprogress.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/arrangement/arrangementsummary.h"

#include <QString>

#include <vector>

namespace fenpai {

class Database;

struct ArrangementOutcome
{
    int seated = 0;      // rows that received a room, a seat and an exam number
    int unseated = 0;    // rows the rooms had no seat left for (only entirely null rows cause it)
    int rowsWritten = 0; // rows of 考生表 whose result columns changed
    // Neighbouring desks whose examinees share a class (学校 + 班级), after the run and before
    // the "同班考生不相邻" step (the same when the step is off).
    int classmatePairs = 0;
    int classmatePairsBefore = 0;
    // With "试卷版本": the desks of each version (A, B, … in order) and the neighbouring desks
    // that share one, diagonals included with four versions (none where the desks allow it).
    std::vector<int> versionCounts;
    int versionPairs = 0;
    // The written table room by room, as ArrangementSummary::read would find it after the run
    // (its pairs also count rows a blank row kept from an earlier run).
    ArrangementSummary summary;
};

// The exam room arrangement: assigns 考场 (room ordinal), 座位号 (seat) and 考号 (exam number) to
// the rows of 考生表, using the room capacities of 考场表. Everything is computed in memory and
// written in one transaction: a refused, failed or cancelled run leaves the table as it was.
class Arrangement final
{
public:
    // Runs the arrangement with settings that pass ArrangementSettings::check. Refusals (rooms
    // too small, a room's capacity above its rows × columns of desks, mode 1's group count out of
    // range, numbers that would not fit) come back as Status::Kind::Refused with the text the
    // user is shown; a cancel from the progress callback as Status::Kind::Cancelled.
    [[nodiscard]] static Result<ArrangementOutcome> run(Database &db,
                                                        const ArrangementSettings &settings,
                                                        const ArrangementProgress &progress = {});

    // The exam number of room `room`, seat `seat` under the scheme "由考场号座位号定": the prefix,
    // the room in 3 digits and the seat in 2. The settings must have passed checkNumbering.
    static qint64 roomSeatNumber(const QString &prefix, int room, int seat);

    // Ok, or the refusal of a start number or prefix that cannot number every examinee exactly:
    // every number, consecutive or prefix + room + seat, at most maxNumberDigits digits.
    [[nodiscard]] static Status checkNumbering(const ArrangementSettings &settings,
                                               qint64 examinees, int rooms, int largestRoom);
    static constexpr int maxNumberDigits = 18;
    // Ok, or the refusal of exam numbers given twice or too long for a 考号 column of reals.
    [[nodiscard]] static Status checkNumbers(Database &db, std::vector<qint64> numbers);
    static QString noExamineesMessage() { return QStringLiteral("考生表中没有考生"); }

    // Mode 1's blocks of group indexes (0-based), one vector per block; the position inside a
    // block is the group's column. groupsPerRoom must lie in 1..groups.
    static std::vector<std::vector<int>> groupBlocks(int groups, int groupsPerRoom, bool adjacent);

    static QString capacityMessage(int rooms);
    static QString groupCountMessage(ArrangementSettings::GroupKind kind, int groups);
    static QString finishedMessage() { return QStringLiteral("编排完成!"); }
    // Put in front of the reason a run failed: "编排失败，考生表未改动：".
    static QString failedMessage();
};

} // namespace fenpai
