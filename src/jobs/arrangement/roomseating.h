#pragma once

#include "core/result.h"
#include "jobs/arrangement/desklayout.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace fenpai {

class Database;

// An examinee on a desk, as the seat chart and the neighbour counts need them.
struct SeatedExaminee
{
    int classId = -1; // one number per distinct (学校, 班级); -1: nobody sits here
    QVariant number;  // 考号 as stored
    QString name;
    QString school;
    QString className;
    QString version; // 试卷: A to D; empty without paper versions
    QString photo;   // 照片: the photo's file name, when the table has that column
};

// One room of 考场表 with its desks and who sits where.
struct SeatedRoom
{
    int room = 0;        // ordinal: the row of 考场表, as 考场 holds it
    QVariant doorNumber; // 考场号
    QString location;    // 考场地点; empty without that column
    DeskLayout layout;
    std::vector<SeatedExaminee> seats; // index seat - 1, seats 1..layout.seats()

    std::vector<int> classOfSeat() const;
};

// Reads the rooms of 考场表 (capacity in the second column, optional 行数, 列数 and 考场地点) and
// the arranged examinees of 考生表 on their desks.
class RoomSeating final
{
public:
    // The rooms in the room table's row order, no examinees; the tables are checked already.
    [[nodiscard]] static Result<std::vector<SeatedRoom>> readRooms(Database &db, SeatOrder order);
    // Ok, or the refusal naming the first room whose capacity exceeds its rows × columns.
    [[nodiscard]] static Status checkDesks(const std::vector<SeatedRoom> &rooms);
    [[nodiscard]] static Status checkDesks(Database &db);
    // The rooms with the examinees whose 考场 names one of them and whose 座位号 has a desk
    // there; `onlyRoom` > 0 reads the examinees of that room only.
    [[nodiscard]] static Result<std::vector<SeatedRoom>> read(Database &db, SeatOrder order,
                                                              int onlyRoom = 0);
    // True when 考生表 has the column 试卷 and some examinee holds a paper version in it.
    static bool hasPaperVersions(Database &db);
};

} // namespace fenpai
