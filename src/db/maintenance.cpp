#include "db/maintenance.h"

#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"

namespace fenpai {

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
