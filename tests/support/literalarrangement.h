#pragma once

#include "core/status.h"
#include "jobs/arrangement/arrangementsettings.h"

namespace fenpai {

class Database;

// The arrangement done step by step: every step a walk over a statement on 考生表 with one UPDATE
// per row, the ordering carried from step to step in 考号. It serves as the reference the fast
// engine is compared with, and as the baseline of the benchmark (commitEachRow: every UPDATE is
// its own transaction). Ties break by rowid, as in the engine.
class LiteralArrangement final
{
public:
    static Status run(Database &db, const ArrangementSettings &settings, bool commitEachRow);
};

} // namespace fenpai
