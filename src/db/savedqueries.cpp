#include "db/savedqueries.h"

#include "db/database.h"
#include "db/sqldialect.h"
#include "db/transaction.h"

#include <optional>

namespace fenpai {

Status SavedQueries::replace(Database &db, const QString &name, const QString &sql)
{
    const bool own = !db.inTransaction();
    std::optional<Transaction> tx;
    if (own) {
        tx.emplace(db);
        if (!tx->status().isOk())
            return tx->status();
    }
    const QString quoted = SqlDialect::quoteName(name);
    Status s = db.execNative(QStringLiteral("DROP VIEW IF EXISTS ") + quoted);
    if (!s.isOk())
        return s;
    s = db.execNative(QStringLiteral("CREATE VIEW ") + quoted + QStringLiteral(" AS ") +
                      SqlDialect::translate(sql));
    if (!s.isOk())
        return s;
    // A view is checked only when read: prepare it now so a broken one is refused here.
    Result<Statement> check = db.prepareNative(QStringLiteral("SELECT * FROM ") + quoted);
    if (!check)
        return check.status();
    return own ? tx->commit() : Status::ok();
}

} // namespace fenpai
