#include "jobs/reports/scoreinforeport.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/sqldialect.h"
#include "grid/grid.h"
#include "jobs/documents/reportformat.h"

#include <QHash>

#include <vector>

namespace fenpai {

namespace {

// A school as a key: a school left empty (null) is a group of its own, apart from the text "".
QString schoolKey(const QVariant &value)
{
    return value.isNull() ? QStringLiteral("\x01null") : value.toString();
}

struct SchoolRow
{
    QVariant school;
    qint64 expected = 0;
    std::vector<qint64> sat; // per subject
    std::vector<qint64> absent;
};

// Per school key, the values of the first field after 学校 of a grouped statement.
Result<QHash<QString, qint64>> countsBySchool(Database &db, const QString &sql)
{
    Result<Query> q = db.query(sql);
    if (!q)
        return q.status();
    QHash<QString, qint64> counts;
    for (; !q->atEnd(); q->next())
        counts.insert(schoolKey(q->value(0)), q->value(1).toLongLong());
    return counts;
}

// Everything the report shows, read before the grid is touched: a failure leaves it as it was.
struct Figures
{
    QStringList subjects;
    std::vector<SchoolRow> rows;
    std::vector<QHash<QString, qint64>> teachers; // per subject, by school key
    QHash<QString, qint64> classes;               // by school key
};

[[nodiscard]] Result<std::vector<SchoolRow>> readSchools(Database &db, const QStringList &subjects)
{
    QString sql = QStringLiteral("select 学校, Count(*)");
    for (const QString &s : subjects) {
        const QString name = SqlDialect::quoteName(s);
        sql += QStringLiteral(", count(%1), count(*)-count(%1)").arg(name);
    }
    sql += QStringLiteral(" from 成绩表 GROUP BY 学校 ORDER BY 学校");
    Result<Query> q = db.query(sql);
    if (!q)
        return q.status();
    std::vector<SchoolRow> rows;
    for (; !q->atEnd(); q->next()) {
        SchoolRow row;
        row.school = q->value(0);
        row.expected = q->value(1).toLongLong();
        for (int i = 0; i < subjects.size(); ++i) {
            row.sat.push_back(q->value(2 + 2 * i).toLongLong());
            row.absent.push_back(q->value(3 + 2 * i).toLongLong());
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

[[nodiscard]] Result<Figures> readFigures(Database &db)
{
    Figures f;
    f.subjects = ScoreInfoReport::subjects(db);
    Result<std::vector<SchoolRow>> rows = readSchools(db, f.subjects);
    if (!rows)
        return rows.status();
    f.rows = std::move(*rows);
    for (const QString &s : std::as_const(f.subjects)) {
        // Distinct teacher names per school: one teacher of two classes counts once.
        Result<QHash<QString, qint64>> counts = countsBySchool(
            db, QStringLiteral("select 学校, count(DISTINCT %1) from 教师表 group by 学校")
                    .arg(SqlDialect::quoteName(s)));
        if (!counts)
            return counts.status();
        f.teachers.push_back(std::move(*counts));
    }
    Result<QHash<QString, qint64>> classes =
        countsBySchool(db, QStringLiteral("select 学校, count(班级) from 教师表 group by 学校"));
    if (!classes)
        return classes.status();
    f.classes = std::move(*classes);
    return f;
}

// Two fixed header rows: 学校(k), 班级数 and 应考 over both, each subject over 参考 / 缺考 / 教师.
void layOutHeader(Grid &grid, const Figures &f, int columns)
{
    const int k = static_cast<int>(f.rows.size());
    grid.setRows(3 + k + 1); // two header rows, the totals, the schools, one empty row
    grid.setCols(columns);
    grid.setFixedRows(2);
    grid.setDisplayRowIndex(true);
    grid.setColumnWidth(1, 70);
    for (int c = 2; c < columns; ++c) {
        grid.setColumnWidth(c, 38);
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
    }
    grid.setColumnAlignment(1, GridAlign::CenterMiddle);
    auto header = [&grid](int col, const QString &text) {
        grid.setCellText(0, col, text);
        grid.mergeArea(GridArea{0, col, 1, col});
    };
    header(1, QStringLiteral("学校(%1)").arg(k));
    header(2, QStringLiteral("班级数"));
    header(3, QStringLiteral("应考"));
    for (int i = 0; i < f.subjects.size(); ++i) {
        const int c = 4 + 3 * i;
        grid.setCellText(0, c, f.subjects[i]);
        grid.mergeArea(GridArea{0, c, 0, c + 2});
        grid.setCellText(1, c, QStringLiteral("参考"));
        grid.setCellText(1, c + 1, QStringLiteral("缺考"));
        grid.setCellText(1, c + 2, QStringLiteral("教师"));
    }
    grid.range(0, 1, 1, columns - 1).setWrapText(true);
}

// The schools from row 3 on, their totals in row 2 ("合 计").
void fillRows(Grid &grid, const Figures &f, int columns)
{
    std::vector<qint64> totals(size_t(columns), 0);
    auto put = [&](int row, int col, qint64 value) {
        grid.setCellText(row, col, QString::number(value));
        totals[size_t(col)] += value;
    };
    for (size_t r = 0; r < f.rows.size(); ++r) {
        const SchoolRow &s = f.rows[r];
        const QString key = schoolKey(s.school);
        const int row = 3 + int(r);
        grid.setCellText(row, 1, s.school.toString());
        put(row, 2, f.classes.value(key, 0));
        put(row, 3, s.expected);
        for (int i = 0; i < f.subjects.size(); ++i) {
            const int c = 4 + 3 * i;
            put(row, c, s.sat[size_t(i)]);
            put(row, c + 1, s.absent[size_t(i)]);
            put(row, c + 2, f.teachers[size_t(i)].value(key, 0));
        }
    }
    grid.setCellText(2, 1, QStringLiteral("合 计"));
    for (int c = 2; c < columns; ++c)
        grid.setCellText(2, c, QString::number(totals[size_t(c)]));
}

} // namespace

QString ScoreInfoReport::title()
{
    return QStringLiteral("基本情况表");
}

QString ScoreInfoReport::noScoresMessage()
{
    return QStringLiteral("成绩表中没有数据，请先导入成绩数据（文件 → 导入数据 → 成绩数据）。");
}

QStringList ScoreInfoReport::subjects(Database &db)
{
    using namespace ColumnNames;
    const QStringList notSubjects = {school, className, name, studentNumber, examNumber};
    const QStringList teacherColumns = db.columns(TableNames::teachers);
    QStringList result;
    for (const QString &column : db.columns(TableNames::scores)) {
        if (!notSubjects.contains(column) && teacherColumns.contains(column))
            result.append(column);
    }
    return result;
}

Result<ReportDocument> ScoreInfoReport::build(Database &db, Grid &grid)
{
    for (const QString &table : {TableNames::scores, TableNames::teachers}) {
        if (!db.hasTable(table))
            return Status::error(Status::Kind::MissingTable,
                                 QStringLiteral("找不到数据表 %1，请先导入成绩数据。").arg(table));
    }
    // The table that comes with a new database has the usual subjects and no rows: a report of
    // zeros would look like a result.
    const Result<QVariant> scored = db.scalar(QStringLiteral("select count(*) from 成绩表"));
    if (!scored)
        return scored.status();
    if (scored->toLongLong() == 0)
        return Status::refused(noScoresMessage());
    const Result<Figures> figures = readFigures(db);
    if (!figures)
        return figures.status();

    const int columns = 4 + 3 * static_cast<int>(figures->subjects.size()); // column 0: numbers
    grid.setAutoRedraw(false);
    grid.reset();
    layOutHeader(grid, *figures, columns);
    fillRows(grid, *figures, columns);
    ReportFormat::setPrintTitles(grid, title(), ReportFormat::subtitleFrom(db));
    // The widths the printed values need decide the orientation.
    ReportFormat::fitToPaper(grid, 2);
    int width = 0;
    for (int c = 1; c < columns; ++c)
        width += grid.columnWidth(c);
    ReportFormat::applyPageSetup(grid, ReportFormat::Variant::Statistics, width);
    grid.refresh();
    grid.setAutoRedraw(true);
    return ReportDocument{title(), title()};
}

} // namespace fenpai
