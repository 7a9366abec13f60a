#pragma once

#include "core/result.h"

#include <QMap>
#include <QString>

namespace fenpai {

// The order in which seat numbers run over the desks of a room, seen from the front.
enum class SeatOrder
{
    ByColumn,      // "按列": down the first column from the front, then down the second, ...
    ByColumnSnake, // "按列蛇形": down the first column, up the second, ...
    ByRow,         // "按行": along the first row, then along the second, ...
};

// How examinees are placed into exam rooms, checked: the dialog and the command line read what
// the user typed through the parse functions below. The defaults are the dialog's.
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
    // "试卷版本": how many versions of the paper are laid out over the desks of each room.
    enum class Versions
    {
        None = 1, // one paper; 试卷 stays empty
        AB = 2,   // no two desks side by side or one behind the other share a version
        ABCD = 4, // diagonal neighbours differ too
    };

    Mode mode = Mode::GroupMix;
    GroupKind groupKind = GroupKind::Class;
    int groupsPerRoom = 3;       // N of mode 1; the run refuses a count outside 1..groups
    bool adjacentGroups = false; // "相邻班级的学生编排在一起"
    ScoreOrder scoreOrder = ScoreOrder::Similar;
    Numbering numbering = Numbering::Consecutive;
    qint64 startNumber = 2100001;           // for Consecutive: >= 1
    QString prefix = QStringLiteral("210"); // for RoomSeat: digits only
    // "同班考生不相邻": after the mode, seats are exchanged inside each room so that
    // classmates sit next to each other as seldom as the room allows.
    bool separateClassmates = false;
    SeatOrder seatOrder = SeatOrder::ByColumn; // "座位顺序"
    // Laid over the final seats, after "同班考生不相邻"; stored in 考生表.试卷 (A to D).
    Versions versions = Versions::None;

    // N as typed, read as its leading number rounded to a whole number; 0 when it is below 1
    // (which the run refuses, naming the number of groups it has).
    static int parseGroupsPerRoom(const QString &text);
    // The start number as typed: digits only, at least 1, at most maxStartDigits digits.
    [[nodiscard]] static Result<qint64> parseStartNumber(const QString &text);
    static constexpr int maxStartDigits = 18;
    // The prefix as typed, blanks trimmed: digits only, not empty.
    [[nodiscard]] static Result<QString> parsePrefix(const QString &text);
    // The versions as chosen: 2 or AB, 4 or ABCD; none, 1, 0 or nothing for one paper.
    [[nodiscard]] static Result<Versions> parseVersions(const QString &text);
    // Ok, or the refusal the parse functions would have given for these values.
    [[nodiscard]] Status check() const;

    // One line a person reads: "编排方式2，每场 3 个班级，起始考号 2100001，同班考生不相邻，AB 卷".
    QString describe() const;

    // The settings as the database keeps those of the last full run (项目 → 数值), and back.
    // What was stored goes through the parse functions again: a damaged record is refused.
    QMap<QString, QString> stored() const;
    [[nodiscard]] static Result<ArrangementSettings>
    fromStored(const QMap<QString, QString> &values);
};

} // namespace fenpai
