#pragma once

#include "core/status.h"

namespace fenpai {

class Database;

// The maintenance commands on the database: dropping imported data and repairing the settings
// tables.
class Maintenance final
{
public:
    // DROP TABLE 分班数据表; a missing table is fine.
    static Status dropDivisionData(Database &db);
    // DROP TABLE 考生表, then 考场表; missing tables are fine.
    static Status dropArrangementData(Database &db);
    // Recreates xtsztable and bsxtable with their default rows, in one transaction. A table that
    // is missing is simply created.
    static Status repairSystemTables(Database &db);
};

} // namespace fenpai
