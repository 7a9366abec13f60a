#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;
class Grid;

// The manual adjustment of an arrangement: two examinees, each found by room and exam number,
// exchange their 考场, 考号 and 座位号 (and 试卷, the desk's paper version), so each sits where
// the other sat.
class ExamSwap final
{
public:
    struct Pick
    {
        qint64 room = 0;
        qint64 examNumber = 0; // 0: nobody picked
    };

    // The rooms that hold examinees, in order, as the room pickers list them.
    [[nodiscard]] static Result<QStringList> rooms(Database &db);

    // Fills a picker's grid with the examinees of `room` through the saved query `queryName`:
    // 学校, 班级, 姓名, 考场, 考号, 座位号, 性别 in exam number order.
    [[nodiscard]] static Status fillRoom(Database &db, Grid &grid, const QString &queryName,
                                         qint64 room);

    // Both examinees change or neither does. A pick that matches no examinee (a picker changed
    // after choosing) is refused with a message and nothing is written.
    [[nodiscard]] static Status swap(Database &db, const Pick &left, const Pick &right);

    static QString noPickMessage();    // 在两个考场中各选一个考生，再对调
    static QString stalePickMessage(); // the refusal of a pick that matches nobody
};

} // namespace fenpai
