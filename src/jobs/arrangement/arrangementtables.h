#pragma once

#include "core/status.h"

namespace fenpai {

class Database;

// The two tables an arrangement works on, as the import makes them: 考生表 with the examinee
// columns and the three result columns, 考场表 with the room number first and the capacity second.
class ArrangementTables final
{
public:
    // Ok, or a message naming the missing table or column. What only reads the seats needs no
    // 成绩.
    [[nodiscard]] static Status check(Database &db, bool withScores = true);
};

} // namespace fenpai
