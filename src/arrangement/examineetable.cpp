#include "examineetable.h"

#include "data/database.h"
#include "data/sqldialect.h"

#include <QHash>

#include <sqlite3.h>

namespace fenpai {

namespace {

// Joined as text, a null gives way to the other part and two nulls stay null, which is not empty.
bool joinsToEmpty(const CellValue &a, const CellValue &b)
{
    if (a.isNull() && b.isNull())
        return false;
    return (a.isNull() || a.isEmptyText()) && (b.isNull() || b.isEmptyText());
}

// The rows of 考生表 are read and written through the C interface directly: on a large year
// the per-value conversions of the general statement wrapper cost more than the arrangement.
class RawStatement final
{
public:
    RawStatement(sqlite3 *db, const QString &sql)
        : m_db(db)
    {
        const QByteArray utf8 = sql.toUtf8();
        m_rc = sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &m_stmt,
                                  nullptr);
    }
    ~RawStatement() { sqlite3_finalize(m_stmt); }
    RawStatement(const RawStatement &) = delete;
    RawStatement &operator=(const RawStatement &) = delete;

    sqlite3_stmt *get() const { return m_stmt; }
    Status status(int rc) const { return Database::statusFromSqlite(m_db, rc); }
    Status prepared() const { return m_rc == SQLITE_OK ? Status::ok() : status(m_rc); }

    CellValue cell(int column) const
    {
        switch (sqlite3_column_type(m_stmt, column)) {
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return CellValue::number(sqlite3_column_double(m_stmt, column));
        case SQLITE_TEXT: {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
            return CellValue::text(QByteArray(text, sqlite3_column_bytes(m_stmt, column)));
        }
        case SQLITE_BLOB: {
            const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
            return CellValue::blob(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
        }
        default:
            return {};
        }
    }

    void bind(int index, const CellValue &value)
    {
        switch (value.kind()) {
        case CellValue::Kind::Null:
            sqlite3_bind_null(m_stmt, index);
            break;
        case CellValue::Kind::Number:
            sqlite3_bind_double(m_stmt, index, value.numberValue());
            break;
        case CellValue::Kind::Text: {
            const QByteArray utf8 = value.toVariant().toString().toUtf8();
            sqlite3_bind_text(m_stmt, index, utf8.constData(), static_cast<int>(utf8.size()),
                              SQLITE_TRANSIENT);
            break;
        }
        case CellValue::Kind::Blob: {
            const QByteArray bytes = value.toVariant().toByteArray();
            sqlite3_bind_blob(m_stmt, index, bytes.constData(), static_cast<int>(bytes.size()),
                              SQLITE_TRANSIENT);
            break;
        }
        }
    }

private:
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

} // namespace

Result<ExamineeTable> ExamineeTable::load(Database &db)
{
    const QStringList columns = db.columns(QStringLiteral("考生表"));
    if (columns.size() < 2)
        return Status::error(Status::Kind::MissingColumn, QStringLiteral("考生表 的列太少。"));
    // The blank-row test looks at the first two columns in stored order, whatever they are.
    RawStatement st(db.handle(),
                    QStringLiteral("SELECT rowid, %1, %2, 学校, 班级, 成绩, 考场, 考号, 座位号, "
                                   "姓名 IS NOT NULL FROM 考生表 ORDER BY rowid")
                        .arg(SqlDialect::quoteName(columns[0]), SqlDialect::quoteName(columns[1])));
    if (const Status s = st.prepared(); !s.isOk())
        return s;

    ExamineeTable table;
    Result<QVariant> rowCount = db.scalar(QStringLiteral("SELECT count(*) FROM 考生表"));
    if (!rowCount)
        return rowCount.status();
    table.m_rows.reserve(static_cast<size_t>(rowCount->toLongLong()));
    table.m_stored.reserve(static_cast<size_t>(rowCount->toLongLong()));
    // Usually the first two columns are 学校 and 班级 themselves.
    const bool firstAreSchoolAndClass =
        columns[0] == QStringLiteral("学校") && columns[1] == QStringLiteral("班级");
    QHash<QByteArray, int> classIndex;
    QHash<QByteArray, int> schoolIndex;
    for (;;) {
        const int rc = sqlite3_step(st.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            return st.status(rc);
        Examinee e;
        e.rowid = sqlite3_column_int64(st.get(), 0);
        const CellValue school = st.cell(3);
        const CellValue className = st.cell(4);
        e.blank = firstAreSchoolAndClass ? joinsToEmpty(school, className)
                                         : joinsToEmpty(st.cell(1), st.cell(2));
        const QByteArray schoolKey = school.groupKey();
        QByteArray classKey = QByteArray::number(schoolKey.size());
        classKey.append(':').append(schoolKey).append(className.groupKey());

        auto schoolIt = schoolIndex.constFind(schoolKey);
        if (schoolIt == schoolIndex.constEnd()) {
            schoolIt = schoolIndex.insert(schoolKey, static_cast<int>(table.m_schoolGroups.size()));
            table.m_schoolGroups.push_back({school.isNull(), school.isEmptyText(), false});
        }
        e.schoolGroup = *schoolIt;
        auto classIt = classIndex.constFind(classKey);
        if (classIt == classIndex.constEnd()) {
            classIt = classIndex.insert(classKey, static_cast<int>(table.m_classGroups.size()));
            table.m_classGroups.push_back({school.isNull() || className.isNull(),
                                           joinsToEmpty(school, className), className.isNull()});
        }
        e.classGroup = *classIt;

        e.score = st.cell(5);
        e.room = st.cell(6);
        e.number = st.cell(7);
        e.seat = st.cell(8);
        e.named = sqlite3_column_int(st.get(), 9) != 0;
        table.m_stored.push_back({e.room, e.number, e.seat});
        table.m_rows.push_back(std::move(e));
    }
    return table;
}

int ExamineeTable::examineeCount() const
{
    int count = 0;
    for (const Examinee &e : m_rows)
        count += e.named ? 1 : 0;
    return count;
}

bool ExamineeTable::changed(size_t index) const
{
    const Examinee &e = m_rows[index];
    const std::array<CellValue, 3> &s = m_stored[index];
    return !(e.room == s[0]) || !(e.number == s[1]) || !(e.seat == s[2]);
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
        Status::error(Status::Kind::Cancelled, QStringLiteral("编排已取消，考生表未改动。"));
    std::vector<size_t> changedRows;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (changed(i))
            changedRows.push_back(i);
    }
    const int total = static_cast<int>(changedRows.size());
    if (progress && !progress(0, total))
        return cancelled;
    RawStatement update(
        db.handle(),
        QStringLiteral("UPDATE 考生表 SET 考场 = ?, 考号 = ?, 座位号 = ? WHERE rowid = ?"));
    if (const Status s = update.prepared(); !s.isOk())
        return s;
    int done = 0;
    for (size_t i : changedRows) {
        const Examinee &e = m_rows[i];
        update.bind(1, e.room);
        update.bind(2, e.number);
        update.bind(3, e.seat);
        sqlite3_bind_int64(update.get(), 4, e.rowid);
        const int rc = sqlite3_step(update.get());
        if (rc != SQLITE_DONE)
            return update.status(rc);
        sqlite3_reset(update.get());
        ++done;
        if (progress && done % 2048 == 0 && !progress(done, total))
            return cancelled;
    }
    if (progress && !progress(total, total))
        return cancelled;
    return Status::ok();
}

} // namespace fenpai
