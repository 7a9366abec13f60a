#include "jobs/division/classadjustment.h"

#include "db/database.h"
#include "db/savedqueries.h"
#include "db/transaction.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"

namespace fenpai {

namespace {

// rowid breaks ties of equal scores, so the list and its rowids come in the same order.
QString where(int number)
{
    return QStringLiteral(" from 分班数据表 where 新分班=%1 ORDER BY 成绩 DESC, rowid").arg(number);
}

} // namespace

Result<std::vector<qint64>> ClassAdjustment::fillClass(Database &db, Grid &grid,
                                                       const QString &queryName, int number,
                                                       bool withSchool)
{
    const QString columns = withSchool ? QStringLiteral("select 姓名,新分班,成绩,性别,原学校")
                                       : QStringLiteral("select 姓名,新分班,成绩,性别");
    if (Status s = SavedQueries::replace(db, queryName, columns + where(number)); !s.isOk())
        return s;
    Result<Query> q = db.query(QStringLiteral("select rowid") + where(number));
    if (!q)
        return q.status();
    std::vector<qint64> rowids;
    for (; !q->atEnd(); q->next())
        rowids.push_back(q->value(0).toLongLong());
    grid.reset();
    DocumentFill::Outcome filled = DocumentFill::fill(grid, db, queryName, QString());
    if (!filled.status.isOk())
        return filled.status;
    return rowids;
}

Status ClassAdjustment::move(Database &db, qint64 rowid, int target)
{
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    Result<Statement> update =
        db.prepare(QStringLiteral("UPDATE 分班数据表 SET 新分班 = ? WHERE rowid = ?"));
    if (!update)
        return update.status();
    update->bindAll({target, rowid});
    if (Status s = update->exec(); !s.isOk())
        return s;
    return transaction.commit();
}

} // namespace fenpai
