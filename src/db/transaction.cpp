#include "db/transaction.h"

namespace fenpai {

Transaction::Transaction(Database &db)
    : m_db(db)
{
    m_nested = m_db.inTransaction();
    m_status = m_nested ? m_db.execNative(QStringLiteral("SAVEPOINT fenpai_inner")) : m_db.begin();
    m_active = m_status.isOk();
}

Transaction::~Transaction()
{
    // SQLite ends a transaction itself after some errors (a full disk, an I/O error); rolling
    // back again would only log a complaint. Nothing is left to do when the rollback itself
    // fails: SQLite rolls back on close.
    if (!m_active || !m_db.inTransaction())
        return;
    if (m_nested) {
        (void)m_db.execNative(QStringLiteral("ROLLBACK TO fenpai_inner"));
        (void)m_db.execNative(QStringLiteral("RELEASE fenpai_inner"));
    } else {
        (void)m_db.rollback();
    }
}

Status Transaction::commit()
{
    if (!m_active)
        return m_status.isOk() ? Status::error(Status::Kind::Other, QStringLiteral("事务未开始"))
                               : m_status;
    Status s = m_nested ? m_db.execNative(QStringLiteral("RELEASE fenpai_inner")) : m_db.commit();
    if (s.isOk())
        m_active = false;
    return s;
}

} // namespace fenpai
