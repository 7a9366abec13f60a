#pragma once

#include "core/result.h"
#include "db/statement.h"

#include <QByteArray>

namespace fenpai {

class Database;

// A prepared statement of SQLite's dialect read and bound with typed values, without QVariant:
// for jobs that read or write every row of a large table. Columns are 0-based, parameters
// 1-based. Texts are UTF-8 bytes.
class RowCursor final
{
public:
    enum class Type
    {
        Null,
        Integer,
        Real,
        Text,
        Blob,
    };

    [[nodiscard]] static Result<RowCursor> prepare(Database &db, const QString &nativeSql);

    // The next row: true on a row, false at the end; an error is a Status.
    [[nodiscard]] Result<bool> next();
    // Runs an action statement to its end and makes it ready for new bindings.
    [[nodiscard]] Status run();

    Type type(int column) const;
    qint64 integer(int column) const;
    double real(int column) const; // integers as doubles
    QByteArray text(int column) const;
    QByteArray blob(int column) const;

    void bindNull(int index);
    void bindInteger(int index, qint64 value);
    void bindReal(int index, double value);
    void bindText(int index, const QByteArray &utf8);
    void bindBlob(int index, const QByteArray &bytes);

private:
    explicit RowCursor(Statement statement)
        : m_statement(std::move(statement))
    {}
    [[nodiscard]] Status checked(int rc) const;

    Statement m_statement;
    Status m_bindStatus;
};

} // namespace fenpai
