#include "db/rowcursor.h"

#include "db/database.h"

#include <sqlite3.h>

namespace fenpai {

Result<RowCursor> RowCursor::prepare(Database &db, const QString &nativeSql)
{
    Result<Statement> statement = db.prepareNative(nativeSql);
    if (!statement)
        return statement.status();
    return RowCursor(std::move(*statement));
}

Status RowCursor::checked(int rc) const
{
    return Database::statusFromSqlite(m_statement.m_db, rc);
}

Result<bool> RowCursor::next()
{
    if (!m_bindStatus.isOk())
        return m_bindStatus;
    const int rc = sqlite3_step(m_statement.m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    return checked(rc);
}

Status RowCursor::run()
{
    if (!m_bindStatus.isOk())
        return m_bindStatus;
    const int rc = sqlite3_step(m_statement.m_stmt);
    sqlite3_reset(m_statement.m_stmt);
    if (rc != SQLITE_DONE && rc != SQLITE_ROW)
        return checked(rc);
    return Status::ok();
}

RowCursor::Type RowCursor::type(int column) const
{
    switch (sqlite3_column_type(m_statement.m_stmt, column)) {
    case SQLITE_INTEGER:
        return Type::Integer;
    case SQLITE_FLOAT:
        return Type::Real;
    case SQLITE_TEXT:
        return Type::Text;
    case SQLITE_BLOB:
        return Type::Blob;
    default:
        return Type::Null;
    }
}

qint64 RowCursor::integer(int column) const
{
    return sqlite3_column_int64(m_statement.m_stmt, column);
}

double RowCursor::real(int column) const
{
    return sqlite3_column_double(m_statement.m_stmt, column);
}

QByteArray RowCursor::text(int column) const
{
    const auto *text =
        reinterpret_cast<const char *>(sqlite3_column_text(m_statement.m_stmt, column));
    return QByteArray(text, sqlite3_column_bytes(m_statement.m_stmt, column));
}

QByteArray RowCursor::blob(int column) const
{
    const auto *data = static_cast<const char *>(sqlite3_column_blob(m_statement.m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_statement.m_stmt, column));
}

void RowCursor::bindNull(int index)
{
    if (const int rc = sqlite3_bind_null(m_statement.m_stmt, index); rc != SQLITE_OK)
        m_bindStatus = checked(rc);
}

void RowCursor::bindInteger(int index, qint64 value)
{
    if (const int rc = sqlite3_bind_int64(m_statement.m_stmt, index, value); rc != SQLITE_OK)
        m_bindStatus = checked(rc);
}

void RowCursor::bindReal(int index, double value)
{
    if (const int rc = sqlite3_bind_double(m_statement.m_stmt, index, value); rc != SQLITE_OK)
        m_bindStatus = checked(rc);
}

void RowCursor::bindText(int index, const QByteArray &utf8)
{
    const int rc = sqlite3_bind_text64(m_statement.m_stmt, index, utf8.constData(),
                                       static_cast<sqlite3_uint64>(utf8.size()), SQLITE_TRANSIENT,
                                       SQLITE_UTF8);
    if (rc != SQLITE_OK)
        m_bindStatus = checked(rc);
}

void RowCursor::bindBlob(int index, const QByteArray &bytes)
{
    const int rc = sqlite3_bind_blob64(m_statement.m_stmt, index, bytes.constData(),
                                       static_cast<sqlite3_uint64>(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK)
        m_bindStatus = checked(rc);
}

} // namespace fenpai
