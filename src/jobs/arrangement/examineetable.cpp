#include "jobs/arrangement/examineetable.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/rowcursor.h"
#include "db/sqldialect.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace fenpai {

namespace {

// Joined as text, a null gives way to the other part and two nulls stay null, which is not empty.
bool joinsToEmpty(const CellValue &a, const CellValue &b)
{
    if (a.isNull() && b.isNull())
        return false;
    return (a.isNull() || a.isEmptyText()) && (b.isNull() || b.isEmptyText());
}

CellValue cellAt(const RowCursor &row, int column)
{
    switch (row.type(column)) {
    case RowCursor::Type::Integer:
        return CellValue::integer(row.integer(column));
    case RowCursor::Type::Real:
        return CellValue::number(row.real(column));
    case RowCursor::Type::Text:
        return CellValue::text(row.text(column));
    case RowCursor::Type::Blob:
        return CellValue::blob(row.blob(column));
    case RowCursor::Type::Null:
        break;
    }
    return {};
}

void bindCell(RowCursor &statement, int index, const CellValue &value)
{
    switch (value.kind()) {
    case CellValue::Kind::Null:
        statement.bindNull(index);
        break;
    case CellValue::Kind::Number:
        if (value.isInteger())
            statement.bindInteger(index, value.integerValue());
        else
            statement.bindReal(index, value.numberValue());
        break;
    case CellValue::Kind::Text:
        statement.bindText(index, value.toVariant().toString().toUtf8());
        break;
    case CellValue::Kind::Blob:
        statement.bindBlob(index, value.toVariant().toByteArray());
        break;
    }
}

} // namespace

Result<ExamineeTable> ExamineeTable::load(Database &db)
{
    const QStringList columns = db.columns(TableNames::examinees);
    if (columns.size() < 2)
        return Status::error(Status::Kind::MissingColumn,
                             QStringLiteral("%1 的列太少。").arg(TableNames::examinees));
    // The blank-row test looks at the first two columns in stored order, whatever they are.
    // The rows go through the typed cursor: on a large year the per-value conversions of the
    // general statement wrapper cost more than the arrangement.
    ExamineeTable table;
    table.m_hasVersionColumn = columns.contains(ColumnNames::paperVersion, Qt::CaseInsensitive);
    Result<RowCursor> cursor = RowCursor::prepare(
        db,
        QStringLiteral("SELECT rowid, %1, %2, 学校, 班级, 成绩, 考场, 考号, 座位号, "
                       "姓名 IS NOT NULL, %3 FROM 考生表 ORDER BY rowid")
            .arg(SqlDialect::quoteName(columns[0]), SqlDialect::quoteName(columns[1]),
                 table.m_hasVersionColumn ? ColumnNames::paperVersion : QStringLiteral("NULL")));
    if (!cursor)
        return cursor.status();

    if (const Status s = table.readAffinities(db); !s.isOk())
        return s;
    if (const Status s = table.reserveRows(db); !s.isOk())
        return s;
    // Usually the first two columns are 学校 and 班级 themselves.
    const bool firstAreSchoolAndClass =
        columns[0] == ColumnNames::school && columns[1] == ColumnNames::className;
    if (const Status s = table.readRows(*cursor, firstAreSchoolAndClass); !s.isOk())
        return s;
    return table;
}

Status ExamineeTable::reserveRows(Database &db)
{
    Result<QVariant> rowCount = db.scalar(QStringLiteral("SELECT count(*) FROM 考生表"));
    if (!rowCount)
        return rowCount.status();
    m_rows.reserve(static_cast<size_t>(rowCount->toLongLong()));
    m_stored.reserve(static_cast<size_t>(rowCount->toLongLong()));
    m_storedVersions.reserve(static_cast<size_t>(rowCount->toLongLong()));
    return Status::ok();
}

Status ExamineeTable::readRows(RowCursor &st, bool firstAreSchoolAndClass)
{
    QHash<QByteArray, int> classIndex;
    QHash<QByteArray, int> schoolIndex;
    for (;;) {
        const Result<bool> row = st.next();
        if (!row)
            return row.status();
        if (!*row)
            break;
        Examinee e;
        e.rowid = st.integer(0);
        const CellValue school = cellAt(st, 3);
        const CellValue className = cellAt(st, 4);
        e.blank = firstAreSchoolAndClass ? joinsToEmpty(school, className)
                                         : joinsToEmpty(cellAt(st, 1), cellAt(st, 2));
        const QByteArray schoolKey = school.groupKey();
        QByteArray classKey = QByteArray::number(schoolKey.size());
        classKey.append(':').append(schoolKey).append(className.groupKey());

        auto schoolIt = schoolIndex.constFind(schoolKey);
        if (schoolIt == schoolIndex.constEnd()) {
            schoolIt = schoolIndex.insert(schoolKey, static_cast<int>(m_schoolGroups.size()));
            m_schoolGroups.push_back({school.isNull(), school.isEmptyText(), false});
        }
        e.schoolGroup = *schoolIt;
        auto classIt = classIndex.constFind(classKey);
        if (classIt == classIndex.constEnd()) {
            classIt = classIndex.insert(classKey, static_cast<int>(m_classGroups.size()));
            m_classGroups.push_back({school.isNull() || className.isNull(),
                                     joinsToEmpty(school, className), className.isNull()});
        }
        e.classGroup = *classIt;

        e.score = cellAt(st, 5);
        e.room = cellAt(st, 6);
        e.number = cellAt(st, 7);
        e.seat = cellAt(st, 8);
        e.named = st.integer(9) != 0;
        e.version = cellAt(st, 10);
        m_stored.push_back({e.room, e.number, e.seat});
        m_storedVersions.push_back(e.version);
        m_rows.push_back(std::move(e));
    }
    return Status::ok();
}

int ExamineeTable::examineeCount() const
{
    int count = 0;
    for (const Examinee &e : m_rows)
        count += e.named ? 1 : 0;
    return count;
}

ExamineeTable::Affinity ExamineeTable::affinityOf(const QString &declaredType)
{
    // The database's rules, tried in this order.
    const QString type = declaredType.toUpper();
    const auto has = [&](const char *part) { return type.contains(QLatin1String(part)); };
    if (has("INT"))
        return Affinity::Integer;
    if (has("CHAR") || has("CLOB") || has("TEXT"))
        return Affinity::Text;
    if (has("BLOB") || type.isEmpty())
        return Affinity::Blob;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return Affinity::Real;
    return Affinity::Numeric;
}

Status ExamineeTable::readAffinities(Database &db)
{
    // The statement is only prepared: its columns carry their declared types.
    const Result<Statement> columns =
        db.prepareNative(QStringLiteral("SELECT 考场, 考号, 座位号 FROM 考生表"));
    if (!columns)
        return columns.status();
    for (int c = 0; c < 3; ++c)
        m_affinities[static_cast<size_t>(c)] = affinityOf(columns->declaredType(c));
    return Status::ok();
}

bool ExamineeTable::resultsKeepNumbers() const
{
    return std::find(m_affinities.begin(), m_affinities.end(), Affinity::Text) ==
           m_affinities.end();
}

std::array<CellValue, 3> ExamineeTable::stored(size_t row) const
{
    if (!changed(row))
        return m_stored[row];
    const Examinee &e = m_rows[row];
    return {storedAs(m_affinities[0], e.room), storedAs(m_affinities[1], e.number),
            storedAs(m_affinities[2], e.seat)};
}

CellValue ExamineeTable::storedAs(Affinity affinity, const CellValue &value)
{
    if (!value.isNumber())
        return value; // texts and blobs stay as they are in every column but a text one
    switch (affinity) {
    case Affinity::Real:
        return value.isInteger() ? CellValue::number(value.numberValue()) : value;
    case Affinity::Integer:
    case Affinity::Numeric: {
        // A real that is a whole number inside the 64-bit range is kept as an integer.
        const double d = value.numberValue();
        if (!value.isInteger() && d == std::trunc(d) && d > -0x1p63 && d < 0x1p63)
            return CellValue::integer(static_cast<qint64>(d));
        return value;
    }
    case Affinity::Text:
    case Affinity::Blob:
        break;
    }
    return value;
}

bool ExamineeTable::changed(size_t index) const
{
    const Examinee &e = m_rows[index];
    const std::array<CellValue, 3> &s = m_stored[index];
    return !(e.room == s[0]) || !(e.number == s[1]) || !(e.seat == s[2]) ||
           !(e.version == m_storedVersions[index]);
}

int ExamineeTable::changedRowCount() const
{
    int count = 0;
    for (size_t i = 0; i < m_rows.size(); ++i)
        count += changed(i) ? 1 : 0;
    return count;
}

Status ExamineeTable::write(Database &db, const ArrangementProgress &progress) const
{
    const Status cancelled =
        Status::error(Status::Kind::Cancelled,
                      QStringLiteral("编排已取消，%1未改动。").arg(TableNames::examinees));
    std::vector<size_t> changedRows;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (changed(i))
            changedRows.push_back(i);
    }
    const int total = static_cast<int>(changedRows.size());
    if (progress && !progress(0, total))
        return cancelled;
    bool versions = m_hasVersionColumn;
    if (!versions) {
        versions = std::any_of(changedRows.begin(), changedRows.end(),
                               [&](size_t i) { return !m_rows[i].version.isNull(); });
        if (versions) {
            if (const Status s =
                    db.execNative(QStringLiteral("ALTER TABLE 考生表 ADD COLUMN %1 TEXT")
                                      .arg(ColumnNames::paperVersion));
                !s.isOk())
                return s;
        }
    }
    Result<RowCursor> update = RowCursor::prepare(
        db, versions ? QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ?, 试卷 = ? "
                                      "WHERE rowid = ?")
                     : QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ? "
                                      "WHERE rowid = ?"));
    if (!update)
        return update.status();
    const int rowidIndex = versions ? 5 : 4;
    int done = 0;
    for (size_t i : changedRows) {
        const Examinee &e = m_rows[i];
        bindCell(*update, 1, e.room);
        bindCell(*update, 2, e.number);
        bindCell(*update, 3, e.seat);
        if (versions)
            bindCell(*update, 4, e.version);
        update->bindInteger(rowidIndex, e.rowid);
        if (const Status s = update->run(); !s.isOk())
            return s;
        ++done;
        if (progress && done % 2048 == 0 && !progress(done, total))
            return cancelled;
    }
    if (progress && !progress(total, total))
        return cancelled;
    return Status::ok();
}

} // namespace fenpai
