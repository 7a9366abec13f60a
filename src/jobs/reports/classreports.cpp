#include "jobs/reports/classreports.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/savedqueries.h"
#include "db/sqldialect.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/examlistlayout.h"

#include <cmath>

namespace fenpai {

namespace {

const QString fixedCounts = QStringLiteral(
    "Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,Count(iif([性别]='女',1,null)) "
    "as 女生,max(成绩) as 最高分,min(成绩) as 最低分");
// Two decimals: the mean is read, not computed with.
const QString average = QStringLiteral(",round(avg(成绩),2) as 平均分");

Status requireData(Database &db)
{
    if (db.hasTable(TableNames::divisionData))
        return Status::ok();
    return Status::error(
        Status::Kind::MissingTable,
        QStringLiteral("找不到数据表 %1，请先导入分班数据。").arg(TableNames::divisionData));
}

QString bandName(const ClassReports::Band &b)
{
    return QStringLiteral("分%1_%2段").arg(b.low).arg(b.high);
}

// The band columns, and their names in `used`.
Result<QString> bandColumns(Database &db, QStringList &used)
{
    Result<Query> q = db.query(QStringLiteral("select max(成绩) as 最高分,min(成绩) as 最低分 "
                                              "from 分班数据表 "));
    if (!q)
        return q.status();
    const QVariant highest = q->atEnd() ? QVariant() : q->value(0);
    QString list;
    if (highest.isNull())
        return list;
    for (const ClassReports::Band &b : ClassReports::bands(highest.toDouble())) {
        used.append(bandName(b));
        list += QStringLiteral(",Count(iif([成绩]>=%1 And [成绩]<%2, 1, Null)) as %3")
                    .arg(b.low)
                    .arg(b.high)
                    .arg(SqlDialect::quoteName(bandName(b)));
    }
    return list;
}

// One column per source school, named after it (made unique against `used`); an empty school
// counts the pupils without one.
Result<QString> schoolColumns(Database &db, QStringList &used)
{
    Result<Query> q = db.query(QStringLiteral("select DISTINCT 原学校  from 分班数据表"));
    if (!q)
        return q.status();
    QString list;
    for (; !q->atEnd(); q->next()) {
        const QVariant school = q->value(0);
        const QString wanted =
            school.toString().isEmpty() ? QStringLiteral("空") : school.toString();
        QString alias = wanted;
        for (int n = 2; used.contains(alias, Qt::CaseInsensitive); ++n)
            alias = wanted + QStringLiteral("_%1").arg(n);
        used.append(alias);
        const QString test =
            school.isNull()
                ? QStringLiteral("[原学校] is null")
                : QStringLiteral("[原学校]=%1").arg(SqlDialect::quoteLiteral(school.toString()));
        list +=
            QStringLiteral(", Count(iif(%1,1,null)) as %2").arg(test, SqlDialect::quoteName(alias));
    }
    return list;
}

// The listing with its totals row under the header, from the second column on.
Result<ReportDocument> withTotals(Database &db, Grid &grid, const QString &queryName,
                                  const QString &sql, const QString &totalsSql,
                                  const QString &title)
{
    const DocumentFill::Outcome filled =
        DocumentFill::fillWithTotals(grid, db, queryName, sql, totalsSql, 2, title);
    if (!filled.status.isOk())
        return filled.status;
    return ReportDocument{title, filled.titleText};
}

Result<ReportDocument> newClasses(Database &db, Grid &grid, bool withAverage)
{
    if (Status s = requireData(db); !s.isOk())
        return s;
    QStringList used = {ColumnNames::newClass,   QStringLiteral("学生数"), QStringLiteral("男生"),
                        QStringLiteral("女生"),  QStringLiteral("最高分"), QStringLiteral("最低分"),
                        QStringLiteral("平均分")};
    Result<QString> bands = bandColumns(db, used);
    if (!bands)
        return bands.status();
    Result<QString> schools = schoolColumns(db, used);
    if (!schools)
        return schools.status();
    const QString columns = fixedCounts + (withAverage ? average : QString()) + *bands + *schools;
    return withTotals(db, grid, QStringLiteral("NewQry3"),
                      QStringLiteral("select 新分班,") + columns +
                          QStringLiteral(" from 分班数据表  GROUP BY 新分班"),
                      QStringLiteral("select ") + columns + QStringLiteral(" from 分班数据表 "),
                      ClassReports::newClassTitle());
}

} // namespace

std::vector<ClassReports::Band> ClassReports::bands(double highest)
{
    qint64 w = 10;
    qint64 n = qint64(std::floor(highest / 10));
    if (n > 11) {
        w = 50;
        n = qint64(std::floor(highest / 50));
    }
    const qint64 top = (n + 1) * w;
    std::vector<Band> result;
    for (qint64 i = 1; i <= n; ++i)
        result.push_back({top - i * w, top - i * w + w});
    return result;
}

QString ClassReports::newClassTitle()
{
    return QStringLiteral("新分班基本情况表");
}

QString ClassReports::sourceSchoolTitle()
{
    return QStringLiteral("原始分班信息表");
}

Result<ReportDocument> ClassReports::newClassStats(Database &db, Grid &grid)
{
    Result<ReportDocument> listing = newClasses(db, grid, true);
    if (listing) {
        ReportFormat::apply(grid, ReportFormat::Variant::Statistics, listing->title,
                            ReportFormat::subtitleFrom(db));
    }
    return listing;
}

Result<ReportDocument> ClassReports::adjustmentStats(Database &db, Grid &grid)
{
    return newClasses(db, grid, false);
}

Result<ReportDocument> ClassReports::sourceSchoolStats(Database &db, Grid &grid)
{
    if (Status s = requireData(db); !s.isOk())
        return s;
    QStringList used = {ColumnNames::sourceSchool};
    Result<QString> bands = bandColumns(db, used);
    if (!bands)
        return bands.status();
    const QString columns = fixedCounts + *bands;
    Result<ReportDocument> listing =
        withTotals(db, grid, QStringLiteral("NewQry1"),
                   QStringLiteral("select 原学校,") + columns +
                       QStringLiteral(" from 分班数据表  GROUP BY 原学校"),
                   QStringLiteral("select ") + columns + QStringLiteral(" from 分班数据表 "),
                   sourceSchoolTitle());
    if (listing) {
        ReportFormat::apply(grid, ReportFormat::Variant::Statistics, listing->title,
                            ReportFormat::subtitleFrom(db));
    }
    return listing;
}

Result<ReportDocument> ClassReports::classList(Database &db, Grid &grid, int number)
{
    if (Status s = requireData(db); !s.isOk())
        return s;
    const QString title = QString::number(number) + QStringLiteral("班");
    // Class 0 holds the pupils not yet placed, however many; any other class has pupils.
    if (number != 0) {
        Result<QVariant> found =
            db.scalar(QStringLiteral("select 1 from 分班数据表 where 新分班=? LIMIT 1"), {number});
        if (!found)
            return found.status();
        if (!found->isValid())
            return Status::refused(QStringLiteral("新分班中没有第 %1 班。").arg(number));
    }
    if (Status s = SavedQueries::replace(
            db, QStringLiteral("NewQry5"),
            QStringLiteral("select 姓名,新分班,性别,成绩,原学校,原班级 from 分班数据表 where "
                           "新分班=%1 ORDER BY 成绩 desc")
                .arg(number));
        !s.isOk())
        return s;
    DocumentFill::Outcome filled = DocumentFill::fill(grid, db, QStringLiteral("NewQry5"), title);
    if (!filled.status.isOk())
        return filled.status;
    ExamListLayout::classList(grid, title, ReportFormat::subtitleFrom(db));
    return ReportDocument{title, filled.titleText};
}

} // namespace fenpai
