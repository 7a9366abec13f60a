#pragma once

#include <QString>

namespace fenpai {

// The order in which seat numbers run over the desks of a room, seen from the front.
enum class SeatOrder
{
    ByColumn,      // "按列": down the first column from the front, then down the second, ...
    ByColumnSnake, // "按列蛇形": down the first column, up the second, ...
    ByRow,         // "按行": along the first row, then along the second, ...
};

// How examinees are placed into exam rooms. The defaults are the arrangement dialog's.
struct ArrangementSettings
{
    enum class Mode
    {
        GroupMix = 1,  // "编排方式1": every room mixes N different classes or schools
        ScoreMix = 2,  // "编排方式2": by score, classes mixed inside each room
        ScoreOnly = 3, // "编排方式3": by score only
    };
    enum class GroupKind
    {
        Class,  // "班级"
        School, // "学校"
    };
    enum class ScoreOrder
    {
        Similar, // "成绩相近的学生编排在一起": best first in every group
        Random,  // "按成绩随机编排": import order
        Spread,  // "成绩相差大的学生排在一起": directions alternate from group to group
    };
    enum class Numbering
    {
        Consecutive, // "从第一到最后一考场 起始考号+1"
        RoomSeat,    // "由考场号座位号定": prefix + room (3 digits) + seat (2 digits)
    };

    Mode mode = Mode::GroupMix;
    GroupKind groupKind = GroupKind::Class;
    QString groupsPerRoom = QStringLiteral("3"); // N as typed; read as its leading number
    bool adjacentGroups = false;                 // "相邻班级的学生编排在一起"
    ScoreOrder scoreOrder = ScoreOrder::Similar;
    Numbering numbering = Numbering::Consecutive;
    QString startNumber = QStringLiteral("2100001"); // as typed, for Consecutive
    QString prefix = QStringLiteral("210");          // as typed, for RoomSeat
    // "同班考生不相邻": after the mode, seats are exchanged inside each room so that
    // classmates sit next to each other as seldom as the room allows.
    bool separateClassmates = false;
    SeatOrder seatOrder = SeatOrder::ByColumn; // "座位顺序"
};

} // namespace fenpai
