#include "jobs/import/replacedresults.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"

namespace fenpai {

bool ReplacedResult::isArrangement() const
{
    return table == TableNames::examinees;
}

QString ReplacedResult::question() const
{
    return isArrangement()
               ? QStringLiteral("%1中 %2 名考生已编排考场，导入后编排结果将被替换。继续吗？")
                     .arg(table)
                     .arg(rows)
               : QStringLiteral("%1中 %2 名学生已分班，导入后分班结果将被替换。继续吗？")
                     .arg(table)
                     .arg(rows);
}

QString ReplacedResult::notice() const
{
    return isArrangement()
               ? QStringLiteral("已替换：%1中 %2 名考生的考场编排结果。").arg(table).arg(rows)
               : QStringLiteral("已替换：%1中 %2 名学生的分班结果。").arg(table).arg(rows);
}

Result<std::vector<ReplacedResult>> ReplacedResults::find(Database &db, const QStringList &tables)
{
    std::vector<ReplacedResult> found;
    for (const QString &table : tables) {
        QString column;
        if (table == TableNames::divisionData)
            column = ColumnNames::newClass;
        else if (table == TableNames::examinees)
            column = ColumnNames::room;
        if (column.isEmpty() || !db.hasTable(table) || !db.columns(table).contains(column))
            continue;
        // Set means a class or room other than none: not null, not blank, not 0.
        const QString c = SqlDialect::quoteName(column);
        const Result<QVariant> n =
            db.scalar(QStringLiteral("select count(*) from %1 where %2 is not null and "
                                     "trim(%2) <> '' and %2 <> 0")
                          .arg(SqlDialect::quoteName(table), c));
        if (!n)
            return n.status();
        if (n->toLongLong() > 0)
            found.push_back({table, n->toLongLong()});
    }
    return found;
}

} // namespace fenpai
