#include "db/lastrunsettings.h"

#include "db/database.h"
#include "db/sqldialect.h"

namespace fenpai {

const QString &LastRunSettings::tableName()
{
    static const QString name = QStringLiteral("上次运行设置");
    return name;
}

Result<LastRunSettings::Values> LastRunSettings::read(Database &db, const QString &job)
{
    Values values;
    if (!db.hasTable(tableName()))
        return values;
    Result<Statement> st =
        db.prepareNative(QStringLiteral("SELECT 项目, 数值 FROM %1 WHERE 任务 = ?1")
                             .arg(SqlDialect::quoteName(tableName())));
    if (!st)
        return st.status();
    st->bind(1, job);
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        values.insert(st->toText(0), st->toText(1));
    }
    return values;
}

Status LastRunSettings::write(Database &db, const QString &job, const Values &values)
{
    const QString table = SqlDialect::quoteName(tableName());
    if (Status s =
            db.execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (任务 TEXT NOT NULL, "
                                         "项目 TEXT NOT NULL, 数值 TEXT, "
                                         "PRIMARY KEY (任务, 项目))")
                              .arg(table));
        !s.isOk())
        return s;
    Result<Statement> remove =
        db.prepareNative(QStringLiteral("DELETE FROM %1 WHERE 任务 = ?1").arg(table));
    if (!remove)
        return remove.status();
    remove->bind(1, job);
    if (Status s = remove->exec(); !s.isOk())
        return s;
    Result<Statement> insert = db.prepareNative(
        QStringLiteral("INSERT INTO %1 (任务, 项目, 数值) VALUES (?1, ?2, ?3)").arg(table));
    if (!insert)
        return insert.status();
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        insert->bindAll({job, it.key(), it.value()});
        if (Status s = insert->exec(); !s.isOk())
            return s;
        insert->reset();
    }
    return Status::ok();
}

} // namespace fenpai
