#include "db/savedqueries.h"

#include "db/database.h"
#include "db/sqldialect.h"
#include "db/transaction.h"

#include <sqlite3.h>

#include <optional>

namespace fenpai {

namespace {

// The failures of a file that cannot take the view: read-only, on a full disk, or in a folder
// where SQLite cannot write its journal.
bool cannotWrite(const Status &s)
{
    switch (s.sqliteCode() & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_FULL:
        return true;
    default:
        return false;
    }
}

Status replaceIn(Database &db, bool temporary, const QString &name, const QString &sql)
{
    const bool own = !db.inTransaction();
    std::optional<Transaction> tx;
    if (own) {
        tx.emplace(db);
        if (!tx->status().isOk())
            return tx->status();
    }
    const QString quoted = SqlDialect::quoteName(name);
    // A temporary view of the name would hide the stored one from every later statement.
    Status s = db.execNative(QStringLiteral("DROP VIEW IF EXISTS temp.") + quoted);
    if (s.isOk() && !temporary)
        s = db.execNative(QStringLiteral("DROP VIEW IF EXISTS main.") + quoted);
    if (!s.isOk())
        return s;
    s = db.execNative(
        (temporary ? QStringLiteral("CREATE TEMP VIEW ") : QStringLiteral("CREATE VIEW main.")) +
        quoted + QStringLiteral(" AS ") + SqlDialect::translate(sql));
    if (!s.isOk())
        return s;
    // A view is checked only when read: prepare it now so a broken one is refused here.
    Result<Statement> check = db.prepareNative(QStringLiteral("SELECT * FROM ") + quoted);
    if (!check)
        return check.status();
    return own ? tx->commit() : Status::ok();
}

} // namespace

Status SavedQueries::replace(Database &db, const QString &name, const QString &sql)
{
    if (!db.isReadOnly()) {
        const Status stored = replaceIn(db, false, name, sql);
        if (!cannotWrite(stored))
            return stored;
    }
    // A database that cannot be written still shows its reports: the query becomes a view of
    // this connection alone, gone when it closes.
    return replaceIn(db, true, name, sql);
}

} // namespace fenpai
