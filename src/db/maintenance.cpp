#include "db/maintenance.h"

#include "db/database.h"
#include "db/schema.h"
#include "db/sqldialect.h"
#include "db/transaction.h"

namespace fenpai {

namespace {

Status dropTables(Database &db, const QStringList &tables)
{
    Transaction tx(db);
    if (!tx.status().isOk())
        return tx.status();
    for (const QString &table : tables) {
        if (const Status s =
                db.exec(QStringLiteral("DROP TABLE IF EXISTS ") + SqlDialect::quoteName(table));
            !s.isOk())
            return s;
    }
    return tx.commit();
}

} // namespace

Status Maintenance::dropDivisionData(Database &db)
{
    return dropTables(db, {QStringLiteral("分班数据表")});
}

Status Maintenance::dropArrangementData(Database &db)
{
    return dropTables(db, {QStringLiteral("考生表"), QStringLiteral("考场表")});
}

Status Maintenance::repairSystemTables(Database &db)
{
    Transaction tx(db);
    if (!tx.status().isOk())
        return tx.status();
    for (const QString &sql : Schema::repairStatements()) {
        if (const Status s = db.exec(sql); !s.isOk())
            return s;
    }
    return tx.commit();
}

} // namespace fenpai
