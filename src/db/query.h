#pragma once

#include "db/statement.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <deque>
#include <vector>

namespace fenpai {

// The rows of one query, read forward like a recordset: after Database::query() the query
// stands on its first row (or at the end when there is none).
class Query final
{
public:
    enum class FieldType
    {
        Integer,
        Double,
        Text,
        Blob
    };

    explicit Query(Statement statement);
    Query(Query &&) = default;
    Query &operator=(Query &&) = default;

    int fieldCount() const { return static_cast<int>(m_names.size()); }
    const QStringList &fieldNames() const { return m_names; }
    QString fieldName(int field) const { return m_names.value(field); }
    // -1 when there is no such field (names compare case-insensitively).
    int fieldIndex(const QString &name) const;

    // The declared type of the column; for an expression (which SQLite declares nothing for),
    // the type of its first non-null value, read ahead if needed.
    FieldType fieldType(int field);
    bool isDouble(int field) { return fieldType(field) == FieldType::Double; }

    // True when the query gave no row at all (wherever it stands now).
    bool isEmpty() const { return m_empty; }
    bool atEnd() const { return m_rows.empty(); }
    // Moves to the next row; false at the end or on an error (see status()).
    bool next();

    QVariant value(int field) const;
    QVariant value(const QString &name) const;
    // The current row, all fields.
    const std::vector<QVariant> &row() const { return m_rows.front(); }

    const Status &status() const { return m_statement.status(); }

private:
    bool fetch();

    Statement m_statement;
    QStringList m_names;
    std::vector<QString> m_declared;
    std::vector<int> m_types;                 // -1 until known
    std::deque<std::vector<QVariant>> m_rows; // current row first, then rows read ahead
    bool m_finished = false;
    bool m_empty = true;
};

} // namespace fenpai
