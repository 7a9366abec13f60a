#include "jobs/reports/examstatistics.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/reportformat.h"

#include <QRegularExpression>

#include <algorithm>

namespace fenpai {

namespace {

const QString overviewTitle = QStringLiteral("原始分班信息表");
const QString sexCounts = QStringLiteral(
    "Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,Count(iif([性别]='女',1,null)) "
    "as 女生");

// A name not yet in `used` (compared as SQLite compares aliases, ignoring case).
QString unique(const QString &wanted, QStringList &used)
{
    QString name = wanted.isEmpty() ? QStringLiteral("空") : wanted;
    for (int n = 2; used.contains(name, Qt::CaseInsensitive); ++n)
        name = wanted + QStringLiteral("_%1").arg(n);
    used.append(name);
    return name;
}

// ",count(iif(column = value,1,null)) as [alias]" for each value; a null value counts nulls.
QString countColumns(const QString &column, const QVariantList &values, const QStringList &aliases)
{
    QString list;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString test = values[i].isNull()
                                 ? QStringLiteral("[%1] is null").arg(column)
                                 : QStringLiteral("[%1]=%2").arg(
                                       column, SqlDialect::quoteLiteral(values[i].toString()));
        list += QStringLiteral(",count(iif(%1,1,null)) as %2")
                    .arg(test, SqlDialect::quoteName(aliases[i]));
    }
    return list;
}

Result<QVariantList> distinctValues(Database &db, const QString &sql)
{
    Result<Query> q = db.query(sql);
    if (!q)
        return q.status();
    QVariantList values;
    for (; !q->atEnd(); q->next())
        values.append(q->value(0));
    return values;
}

// The listing with its totals row under the header, from column `firstCol` on.
Result<ReportDocument> showWithTotals(Database &db, Grid &grid, const QString &queryName,
                                      const QString &sql, const QString &totalsSql, int firstCol,
                                      const QString &title)
{
    const DocumentFill::Outcome filled =
        DocumentFill::fillWithTotals(grid, db, queryName, sql, totalsSql, firstCol, title);
    if (!filled.status.isOk())
        return filled.status;
    return ReportDocument{title, filled.titleText};
}

// The last run of decimal digits in a class name, or -1.
qint64 classNumber(const QString &name)
{
    static const QRegularExpression lastDigits(QStringLiteral("(\\d+)\\D*$"));
    const QRegularExpressionMatch m = lastDigits.match(name);
    if (!m.hasMatch())
        return -1;
    bool ok = false;
    const qint64 n = m.captured(1).toLongLong(&ok);
    return ok ? n : -1;
}

} // namespace

QStringList ExamStatistics::classAliases(const QStringList &classes)
{
    QStringList used = {ColumnNames::room, ColumnNames::roomSize};
    QStringList aliases;
    for (const QString &c : classes) {
        const qint64 n = classNumber(c);
        const QString numbered = QStringLiteral("第%1班").arg(n);
        if (n >= 0 && !used.contains(numbered, Qt::CaseInsensitive)) {
            used.append(numbered);
            aliases.append(numbered);
        } else {
            aliases.append(unique(c, used));
        }
    }
    return aliases;
}

Result<ReportDocument> ExamStatistics::brief(Database &db, Grid &grid)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    Result<QVariantList> schools =
        distinctValues(db, QStringLiteral("select distinct 学校 from 考生表 ORDER BY 学校"));
    if (!schools)
        return schools.status();
    QStringList used = {ColumnNames::room, ColumnNames::roomSize};
    QStringList aliases;
    for (const QVariant &s : *schools)
        aliases.append(unique(s.toString(), used));
    const QString list = countColumns(ColumnNames::school, *schools, aliases);
    const QString title = QStringLiteral("考场编排统计表");
    Result<ReportDocument> listing = showWithTotals(
        db, grid, QStringLiteral("NewQry3"),
        QStringLiteral("select 考场 ,count(姓名) as 人数") + list +
            QStringLiteral(" from 考生表  GROUP BY 考场 ORDER BY 考场"),
        QStringLiteral("select count(姓名) as 人数") + list + QStringLiteral(" from 考生表"), 2,
        title);
    if (listing) {
        // No report format of its own, but the titles and whole school names on paper.
        ReportFormat::setPrintTitles(grid, title, ReportFormat::subtitleFrom(db));
        grid.range(0, 1, 0, grid.cols() - 1).setWrapText(true);
        ReportFormat::fitToPaper(grid, 2);
    }
    return listing;
}

Result<ReportDocument> ExamStatistics::school(Database &db, Grid &grid, const QString &school)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    const QString where =
        QStringLiteral(" from 考生表 where 学校=%1").arg(SqlDialect::quoteLiteral(school));
    Result<QVariantList> found = distinctValues(db, QStringLiteral("select distinct 班级") + where);
    if (!found)
        return found.status();
    if (found->isEmpty())
        return Status::refused(QStringLiteral("考生表中没有学校“%1”。").arg(school));
    // Classes in the order of their numbers, so 第2班 comes before 第12班.
    QVariantList classes = *found;
    std::stable_sort(classes.begin(), classes.end(), [](const QVariant &a, const QVariant &b) {
        const qint64 na = classNumber(a.toString()), nb = classNumber(b.toString());
        if ((na < 0) != (nb < 0))
            return nb < 0;
        if (na != nb)
            return na < nb;
        return a.toString() < b.toString();
    });
    QStringList names;
    for (const QVariant &c : classes)
        names.append(c.toString());
    const QString list = countColumns(ColumnNames::className, classes, classAliases(names));
    const QString title = school + QStringLiteral("考场编排统计表");
    Result<ReportDocument> listing =
        showWithTotals(db, grid, QStringLiteral("NewQry3"),
                       QStringLiteral("select 考场 ,count([姓名]) as 人数") + list + where +
                           QStringLiteral(" GROUP BY 考场 ORDER BY 考场"),
                       QStringLiteral("select count([姓名]) as 人数") + list + where, 2, title);
    if (listing)
        ReportFormat::apply(grid, ReportFormat::Variant::Statistics, title,
                            ReportFormat::subtitleFrom(db));
    return listing;
}

Result<ReportDocument> ExamStatistics::byClass(Database &db, Grid &grid)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    Result<ReportDocument> listing = showWithTotals(
        db, grid, QStringLiteral("NewQry5"),
        QStringLiteral("select 学校,班级,") + sexCounts +
            QStringLiteral("  from 考生表  GROUP BY 学校,班级"),
        QStringLiteral("select ") + sexCounts + QStringLiteral("  from 考生表"), 3, overviewTitle);
    if (listing) {
        ReportFormat::apply(grid, ReportFormat::Variant::Statistics, overviewTitle,
                            ReportFormat::subtitleFrom(db));
        // A class is named by its school and its own name.
        PageSetup page = grid.pageSetup();
        page.printTitleColumns = 2;
        grid.setPageSetup(page);
    }
    return listing;
}

Result<ReportDocument> ExamStatistics::bySchool(Database &db, Grid &grid)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    Result<ReportDocument> listing = showWithTotals(
        db, grid, QStringLiteral("NewQry5"),
        QStringLiteral("select 学校,") + sexCounts + QStringLiteral("  from 考生表  GROUP BY 学校"),
        QStringLiteral("select ") + sexCounts + QStringLiteral("  from 考生表"), 2, overviewTitle);
    if (listing)
        ReportFormat::apply(grid, ReportFormat::Variant::Statistics, overviewTitle,
                            ReportFormat::subtitleFrom(db));
    return listing;
}

} // namespace fenpai
