#include "jobs/arrangement/arrangementtables.h"

#include "core/tablenames.h"
#include "db/database.h"

namespace fenpai {

Status ArrangementTables::check(Database &db, bool withScores)
{
    for (const QString &table : {TableNames::examinees, TableNames::rooms}) {
        if (!db.hasTable(table))
            return Status::error(
                Status::Kind::MissingTable,
                QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(table));
    }
    using namespace ColumnNames;
    const QStringList columns = db.columns(TableNames::examinees);
    for (const QString &column : {school, className, name, score, room, examNumber, seat}) {
        if (!withScores && column == score)
            continue;
        if (!columns.contains(column, Qt::CaseInsensitive))
            return Status::error(
                Status::Kind::MissingColumn,
                QStringLiteral("%1 缺少字段 %2，请在原电子表格文件中加上这一列后重新导入。")
                    .arg(TableNames::examinees, column));
    }
    if (db.columns(TableNames::rooms).size() < 2)
        return Status::error(
            Status::Kind::MissingColumn,
            QStringLiteral("%1 至少要有两列：考场号和考场人数。").arg(TableNames::rooms));
    return Status::ok();
}

} // namespace fenpai
