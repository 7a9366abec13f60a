#include "jobs/status/yearstatus.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"

namespace fenpai {

namespace {

Result<qint64> count(Database &db, const QString &table, const QString &where = QString())
{
    const Result<QVariant> n = db.scalar(
        QStringLiteral("select count(*) from %1 %2").arg(SqlDialect::quoteName(table), where));
    if (!n)
        return n.status();
    return n->toLongLong();
}

// Rows whose `column` holds a class or a room: not null, not blank, not 0.
QString setCondition(const QString &column)
{
    const QString c = SqlDialect::quoteName(column);
    return QStringLiteral("where %1 is not null and trim(%1) <> '' and %1 <> 0").arg(c);
}

std::optional<RunRecord> lastOf(const std::vector<RunRecord> &runs, const QString &job)
{
    for (const RunRecord &r : runs) {
        if (r.job == job)
            return r;
    }
    return std::nullopt;
}

Status readDivision(Database &db, YearStatus &status)
{
    YearStatus::Division &d = status.division;
    d.import = lastOf(status.runs, RunLog::divisionImport());
    d.division = lastOf(status.runs, RunLog::division());
    d.placement = lastOf(status.runs, RunLog::pupilPlacement());
    d.imported = db.hasTable(TableNames::divisionData);
    if (!d.imported)
        return Status::ok();
    Result<qint64> pupils = count(db, TableNames::divisionData);
    if (!pupils)
        return pupils.status();
    d.pupils = *pupils;
    if (!db.columns(TableNames::divisionData).contains(ColumnNames::newClass))
        return Status::ok();
    const QString where = setCondition(ColumnNames::newClass);
    Result<qint64> placed = count(db, TableNames::divisionData, where);
    if (!placed)
        return placed.status();
    d.placed = *placed;
    const Result<QVariant> classes =
        db.scalar(QStringLiteral("select count(distinct %1) from %2 %3")
                      .arg(SqlDialect::quoteName(ColumnNames::newClass),
                           SqlDialect::quoteName(TableNames::divisionData), where));
    if (!classes)
        return classes.status();
    d.classes = classes->toLongLong();
    return Status::ok();
}

Status readArrangement(Database &db, YearStatus &status)
{
    YearStatus::Arrangement &a = status.arrangement;
    a.import = lastOf(status.runs, RunLog::arrangementImport());
    a.arrangement = lastOf(status.runs, RunLog::arrangement());
    a.placement = lastOf(status.runs, RunLog::examineePlacement());
    a.imported = db.hasTable(TableNames::examinees) && db.hasTable(TableNames::rooms);
    if (!a.imported)
        return Status::ok();
    Result<qint64> examinees = count(db, TableNames::examinees);
    Result<qint64> rooms = count(db, TableNames::rooms);
    if (!examinees || !rooms)
        return !examinees ? examinees.status() : rooms.status();
    a.examinees = *examinees;
    a.rooms = *rooms;
    if (!db.columns(TableNames::examinees).contains(ColumnNames::room))
        return Status::ok();
    Result<qint64> seated = count(db, TableNames::examinees, setCondition(ColumnNames::room));
    if (!seated)
        return seated.status();
    a.seated = *seated;
    return Status::ok();
}

Status readScores(Database &db, YearStatus &status)
{
    status.scores.import = lastOf(status.runs, RunLog::scoresImport());
    if (!db.hasTable(TableNames::scores))
        return Status::ok();
    Result<qint64> rows = count(db, TableNames::scores);
    if (!rows)
        return rows.status();
    status.scores.rows = *rows;
    status.scores.imported = *rows > 0;
    return Status::ok();
}

QString source(const std::optional<RunRecord> &run, const QDate &today)
{
    if (!run)
        return QString();
    const QString when = YearStatus::when(run->when, today);
    return run->file.isEmpty() ? QStringLiteral("（%1 导入）").arg(when)
                               : QStringLiteral("（来自 %1，%2 导入）").arg(run->file, when);
}

// When the classes or seats last changed: the later of the full run and a late placement (one
// in the run's second came after it), the placement named; empty when neither was recorded.
QString lastChange(const std::optional<RunRecord> &run, const std::optional<RunRecord> &placement,
                   const QDate &today)
{
    if (placement && (!run || placement->when >= run->when))
        return QStringLiteral("（%1 %2）")
            .arg(placement->job, YearStatus::when(placement->when, today));
    return run ? QStringLiteral("（%1）").arg(YearStatus::when(run->when, today)) : QString();
}

} // namespace

Result<YearStatus> YearStatus::read(Database &db)
{
    YearStatus status;
    status.today = QDate::currentDate();
    Result<std::vector<RunRecord>> runs = RunLog::all(db);
    if (!runs)
        return runs.status();
    status.runs = std::move(*runs);
    for (const auto &part : {readDivision, readArrangement, readScores}) {
        if (Status s = part(db, status); !s.isOk())
            return s;
    }
    return status;
}

QString YearStatus::when(const QDateTime &time, const QDate &today)
{
    if (!time.isValid())
        return QString();
    const QString day =
        time.date().year() == today.year()
            ? QStringLiteral("%1月%2日").arg(time.date().month()).arg(time.date().day())
            : QStringLiteral("%1年%2月%3日")
                  .arg(time.date().year())
                  .arg(time.date().month())
                  .arg(time.date().day());
    return day + u' ' + time.toString(QStringLiteral("HH:mm"));
}

QString YearStatus::divisionDataText() const
{
    if (!division.imported)
        return QStringLiteral("未导入新生分班数据");
    return QStringLiteral("%1 %2 名学生").arg(TableNames::divisionData).arg(division.pupils) +
           source(division.import, today);
}

QString YearStatus::divisionText() const
{
    if (!divided())
        return QStringLiteral("未分班");
    QString text = QStringLiteral("已分 %1 个班").arg(division.classes) +
                   lastChange(division.division, division.placement, today);
    if (division.placed < division.pupils)
        text += QStringLiteral("，%1 名学生未分班").arg(division.pupils - division.placed);
    return text;
}

QString YearStatus::examDataText() const
{
    if (!arrangement.imported)
        return QStringLiteral("未导入考场编排数据");
    return QStringLiteral("%1 %2 名考生 · %3 %4 个考场")
               .arg(TableNames::examinees)
               .arg(arrangement.examinees)
               .arg(TableNames::rooms)
               .arg(arrangement.rooms) +
           source(arrangement.import, today);
}

QString YearStatus::arrangementText() const
{
    if (!arranged())
        return QStringLiteral("未编排");
    QString text = QStringLiteral("已编排 %1 名考生").arg(arrangement.seated) +
                   lastChange(arrangement.arrangement, arrangement.placement, today);
    if (arrangement.seated < arrangement.examinees)
        text +=
            QStringLiteral("，%1 名考生未安排考场").arg(arrangement.examinees - arrangement.seated);
    return text;
}

QString YearStatus::scoresText() const
{
    if (!scores.imported)
        return QStringLiteral("未导入成绩数据");
    return QStringLiteral("%1 %2 行").arg(TableNames::scores).arg(scores.rows) +
           source(scores.import, today);
}

QStringList YearStatus::lines() const
{
    QStringList lines = {
        QStringLiteral("分班：%1 → %2").arg(divisionDataText(), divisionText()),
        QStringLiteral("考场编排：%1 → %2").arg(examDataText(), arrangementText()),
        QStringLiteral("成绩：%1").arg(scoresText()),
    };
    if (runs.empty())
        return lines;
    lines.append(QStringLiteral("最近运行："));
    for (const RunRecord &r : runs) {
        QString line = QStringLiteral("  %1  %2")
                           .arg(r.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")), r.job);
        for (const QString &part : {r.file, r.settings}) {
            if (!part.isEmpty())
                line += QStringLiteral("  ") + part;
        }
        lines.append(line);
    }
    return lines;
}

} // namespace fenpai
