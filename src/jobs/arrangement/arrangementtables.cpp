#include "jobs/arrangement/arrangementtables.h"

#include "db/database.h"

namespace fenpai {

Status ArrangementTables::check(Database &db)
{
    for (const QString &table : {QStringLiteral("考生表"), QStringLiteral("考场表")}) {
        if (!db.hasTable(table))
            return Status::error(
                Status::Kind::MissingTable,
                QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(table));
    }
    const QStringList columns = db.columns(QStringLiteral("考生表"));
    for (const QString &column :
         {QStringLiteral("学校"), QStringLiteral("班级"), QStringLiteral("姓名"),
          QStringLiteral("成绩"), QStringLiteral("考场"), QStringLiteral("考号"),
          QStringLiteral("座位号")}) {
        if (!columns.contains(column, Qt::CaseInsensitive))
            return Status::error(
                Status::Kind::MissingColumn,
                QStringLiteral("考生表 缺少字段 %1，请在原电子表格文件中加上这一列后重新导入。")
                    .arg(column));
    }
    if (db.columns(QStringLiteral("考场表")).size() < 2)
        return Status::error(Status::Kind::MissingColumn,
                             QStringLiteral("考场表 至少要有两列：考场号和考场人数。"));
    return Status::ok();
}

} // namespace fenpai
