#include "db/runlog.h"

#include "db/database.h"
#include "db/sqldialect.h"

namespace fenpai {

namespace {

// Text sorts as time in this form, and a person can read it in the table; within one second the
// later record has the larger rowid (a replaced row is inserted anew).
const QString timeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

Result<std::vector<RunRecord>> select(Database &db, const QString &where, const QString &job)
{
    std::vector<RunRecord> records;
    if (!db.hasTable(RunLog::tableName()))
        return records;
    Result<Statement> st = db.prepareNative(
        QStringLiteral("SELECT 任务, 时间, 文件, 设置 FROM %1 %2 ORDER BY 时间 DESC, rowid DESC")
            .arg(SqlDialect::quoteName(RunLog::tableName()), where));
    if (!st)
        return st.status();
    if (!job.isNull())
        st->bind(1, job);
    for (;;) {
        const Statement::Step step = st->step();
        if (step == Statement::Step::Done)
            break;
        if (step == Statement::Step::Error)
            return st->status();
        records.push_back({st->toText(0), QDateTime::fromString(st->toText(1), timeFormat),
                           st->toText(2), st->toText(3)});
    }
    return records;
}

} // namespace

const QString &RunLog::tableName()
{
    static const QString name = QStringLiteral("运行记录");
    return name;
}

Status RunLog::record(Database &db, const RunRecord &run)
{
    const QString table = SqlDialect::quoteName(tableName());
    if (Status s = db.execNative(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (任务 TEXT NOT NULL "
                                                "PRIMARY KEY, 时间 TEXT, 文件 TEXT, 设置 TEXT)")
                                     .arg(table));
        !s.isOk())
        return s;
    Result<Statement> insert = db.prepareNative(
        QStringLiteral("INSERT OR REPLACE INTO %1 (任务, 时间, 文件, 设置) VALUES (?1, ?2, ?3, ?4)")
            .arg(table));
    if (!insert)
        return insert.status();
    insert->bindAll({run.job, run.when.toString(timeFormat), run.file, run.settings});
    return insert->exec();
}

Status RunLog::record(Database &db, const QString &job, const QString &file,
                      const QString &settings)
{
    return record(db, {job, QDateTime::currentDateTime(), file, settings});
}

Result<std::optional<RunRecord>> RunLog::last(Database &db, const QString &job)
{
    Result<std::vector<RunRecord>> found = select(db, QStringLiteral("WHERE 任务 = ?1"), job);
    if (!found)
        return found.status();
    if (found->empty())
        return std::optional<RunRecord>();
    return std::optional<RunRecord>(found->front());
}

Result<std::vector<RunRecord>> RunLog::all(Database &db)
{
    return select(db, QString(), QString());
}

} // namespace fenpai
