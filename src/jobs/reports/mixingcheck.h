#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"

#include <QStringList>

namespace fenpai {

class Database;

// Walks 考生表 in exam number order and reports every examinee whose school and class are those
// of the examinee numbered just before: "在第X考场有没混排的n：考号 … 姓名 与 考号 … 姓名（学校
// 班级）", n counting the findings. Then, room by room, every two neighbouring desks whose
// examinees share a class: "在第X考场a号和b号座位的考生同班相邻n：" and the two the same way, the
// desks laid out in the given seat order; and every two neighbouring desks with one paper version:
// "在第X考场a号和b号座位的考生试卷相同n" (corner to corner too when the table holds more than two
// versions).
class MixingCheck final
{
public:
    [[nodiscard]] static Result<QStringList> findings(Database &db,
                                                      SeatOrder order = SeatOrder::ByColumn);
    static QString allMixedText(); // 全部混排
};

} // namespace fenpai
