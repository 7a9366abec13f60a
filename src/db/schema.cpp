#include "db/schema.h"

#include "core/tablenames.h"

#include "db/database.h"
#include "db/transaction.h"

namespace fenpai {

namespace {

// The hash of the documented default password; a new file never holds the password itself.
const char *const defaultUserHash = "$argon2id$v=19$m=65536,t=2,p=1$ciqPegkYHD3jm72YRvbrOg$"
                                    "SIigbrt2Q2zSudSoKTxrE9gm8aFMExDCtFcf+Rh2Yy8";

} // namespace

QStringList Schema::defaultSubjects()
{
    return {QStringLiteral("语文"), QStringLiteral("数学"), QStringLiteral("英语"),
            QStringLiteral("物理"), QStringLiteral("化学"), QStringLiteral("生物"),
            QStringLiteral("政治"), QStringLiteral("历史"), QStringLiteral("地理")};
}

QString Schema::defaultUserName()
{
    return QStringLiteral("admin");
}

QStringList Schema::repairStatements()
{
    const QStringList settings = {
        QLatin1String("DROP TABLE IF EXISTS xtsztable"),
        QStringLiteral("CREATE TABLE xtsztable (id COUNTER ,项目 text (8),数值 SHORT,类别 SHORT)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('平均分',40,1)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('优秀',20,1)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('优良',20,1)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('及格',20,1)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('单科段',20,2)"),
        QStringLiteral("INSERT INTO xtsztable (项目,数值,类别) VALUES ('总分段',20,2)"),
    };
    return settings + reportTitleStatements();
}

QStringList Schema::reportTitleStatements()
{
    return {
        QLatin1String("DROP TABLE IF EXISTS bsxtable"),
        QStringLiteral(
            "CREATE TABLE bsxtable (id COUNTER ,学校 text (50),学年度 text (30),年级段 text (20),"
            "考试类型 text (20),主标题 text (50),副左标题 text (50),副右标题 text (50),显示日期 "
            "text "
            "(50))"),
        QStringLiteral(
            "INSERT INTO bsxtable (学校,学年度,年级段,考试类型,主标题,副左标题,副右标题,显示日期) "
            "VALUES "
            "('XX县XX中学','2008-2009年度下学期','高一年级','中期考试','高一年级中期考试','"
            "XX县XX中学',"
            "'2008-2009年度下学期','0')"),
    };
}

int Schema::version(Database &db)
{
    Result<QVariant> v = db.scalar(QStringLiteral("PRAGMA user_version"));
    return v ? v->toInt() : 0;
}

Status Schema::ensure(Database &db)
{
    if (version(db) >= currentVersion)
        return Status::ok();
    Transaction tx(db);
    if (!tx.status().isOk())
        return tx.status();
    auto run = [&db](const QString &sql) { return db.exec(sql); };
    Status s;
    if (!db.hasTable(TableNames::users)) {
        s = run(QLatin1String("CREATE TABLE ustarv (feld1 text (50),feld2 text (255))"));
        if (!s.isOk())
            return s;
        Result<Statement> insert =
            db.prepare(QLatin1String("INSERT INTO ustarv (feld1,feld2) VALUES (?,?)"));
        if (!insert)
            return insert.status();
        s = insert->bind(1, defaultUserName()).bind(2, QString::fromLatin1(defaultUserHash)).exec();
        if (!s.isOk())
            return s;
    }
    const QStringList subjects = defaultSubjects();
    if (!db.hasTable(TableNames::scores)) {
        QString sql =
            QStringLiteral("CREATE TABLE 成绩表 (学校 text (50),班级 text (50),姓名 text (50)");
        for (const QString &subject : subjects)
            sql += QLatin1String(",") + subject + QLatin1String(" double");
        s = run(sql + QLatin1String(")"));
        if (!s.isOk())
            return s;
    }
    if (!db.hasTable(TableNames::teachers)) {
        QString sql = QStringLiteral("CREATE TABLE 教师表 (学校 text (50),班级 text (50)");
        for (const QString &subject : subjects)
            sql += QLatin1String(",") + subject + QLatin1String(" text (50)");
        s = run(sql + QLatin1String(")"));
        if (!s.isOk())
            return s;
    }
    if (!db.hasTable(TableNames::systemSettings) || !db.hasTable(TableNames::reportTitles)) {
        const bool needX = !db.hasTable(TableNames::systemSettings);
        const bool needB = !db.hasTable(TableNames::reportTitles);
        for (const QString &sql : repairStatements()) {
            if (sql.startsWith(QLatin1String("DROP")))
                continue;
            const bool forX = sql.contains(TableNames::systemSettings);
            if ((forX && !needX) || (!forX && !needB))
                continue;
            s = run(sql);
            if (!s.isOk())
                return s;
        }
    }
    s = db.execNative(QStringLiteral("PRAGMA user_version = %1").arg(currentVersion));
    if (!s.isOk())
        return s;
    return tx.commit();
}

} // namespace fenpai
