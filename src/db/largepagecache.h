#pragma once

#include <QtGlobal>

namespace fenpai {

class Database;

// Enlarges the connection's page cache for a job that reads and rewrites every page of a table
// in one transaction (with the default cache the pages would spill to the disk halfway), and
// puts the connection's own setting back afterwards. A cache that cannot be changed costs only
// speed, so failures are not reported.
class LargePageCache final
{
public:
    explicit LargePageCache(Database &db, qint64 kibibytes = 65536);
    ~LargePageCache();
    LargePageCache(const LargePageCache &) = delete;
    LargePageCache &operator=(const LargePageCache &) = delete;

private:
    Database &m_db;
    bool m_changed = false;
    qint64 m_old = 0;
};

} // namespace fenpai
