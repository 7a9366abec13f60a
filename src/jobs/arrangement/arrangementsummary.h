#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"

#include <QVariant>

#include <vector>

namespace fenpai {

class Database;
class DeskLayout;
class ExamineeTable;

// What an arrangement produced, room by room, for the command line's report.
struct ArrangementSummary
{
    struct Room
    {
        int room = 0; // ordinal, as written to 考场
        int examinees = 0;
        int classes = 0;        // distinct (学校, 班级)
        int classmatePairs = 0; // neighbouring desks holding one class
        QVariant firstNumber;   // as stored: integers stay exact
        QVariant lastNumber;
    };
    std::vector<Room> rooms; // one per row of 考场表
    // Examinees next to each other in exam-number order who come from the same class.
    int sameClassNeighbours = 0;
    // Neighbouring desks (side by side or one behind the other) holding one class, all rooms.
    int classmatePairs = 0;

    // The summary of what 考生表 holds now, the rooms' desks in the given seat order.
    [[nodiscard]] static Result<ArrangementSummary> read(Database &db,
                                                         SeatOrder order = SeatOrder::ByColumn);
    // The summary read() gives once a run has written its table, taken from the run's rows in
    // memory (one desk layout per row of 考场表). The table's results must keep numbers.
    static ArrangementSummary ofRun(const ExamineeTable &table,
                                    const std::vector<DeskLayout> &layouts);
};

} // namespace fenpai
