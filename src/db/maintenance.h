#pragma once

#include "core/status.h"

namespace fenpai {

class Database;

// The maintenance command on the database: repairing the settings tables.
class Maintenance final
{
public:
    // Recreates xtsztable and bsxtable with their default rows, in one transaction. A table that
    // is missing is simply created.
    static Status repairSystemTables(Database &db);
};

} // namespace fenpai
