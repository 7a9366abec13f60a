#include "db/largepagecache.h"

#include "db/database.h"

namespace fenpai {

LargePageCache::LargePageCache(Database &db, qint64 kibibytes)
    : m_db(db)
{
    const Result<QVariant> size = db.scalar(QStringLiteral("PRAGMA cache_size"));
    if (!size || !size->isValid())
        return;
    m_old = size->toLongLong();
    // A negative setting is in KiB, a positive one in pages (of up to 64 KiB); a setting that
    // already gives as much is left alone.
    if (m_old <= -kibibytes || m_old >= kibibytes / 4)
        return;
    m_changed = m_db.execNative(QStringLiteral("PRAGMA cache_size = %1").arg(-kibibytes)).isOk();
}

LargePageCache::~LargePageCache()
{
    if (m_changed)
        (void)m_db.execNative(QStringLiteral("PRAGMA cache_size = %1").arg(m_old));
}

} // namespace fenpai
