#include "db/query.h"

namespace fenpai {

namespace {

// Desktop-database column types, as the declared types of our tables name them.
int typeFromDeclared(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.isEmpty())
        return -1;
    if (t.contains(QLatin1String("INT")) || t.contains(QLatin1String("SHORT")) ||
        t.contains(QLatin1String("LONG")) || t.contains(QLatin1String("COUNTER")) ||
        t.contains(QLatin1String("BYTE")) || t.contains(QLatin1String("BIT")))
        return static_cast<int>(Query::FieldType::Integer);
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) ||
        t.contains(QLatin1String("CLOB")) || t.contains(QLatin1String("MEMO")))
        return static_cast<int>(Query::FieldType::Text);
    if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
        t.contains(QLatin1String("DOUB")) || t.contains(QLatin1String("NUM")) ||
        t.contains(QLatin1String("DEC")) || t.contains(QLatin1String("SINGLE")) ||
        t.contains(QLatin1String("CURRENCY")))
        return static_cast<int>(Query::FieldType::Double);
    if (t.contains(QLatin1String("BLOB")))
        return static_cast<int>(Query::FieldType::Blob);
    return -1;
}

int typeFromValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return static_cast<int>(Query::FieldType::Double);
    case QMetaType::LongLong:
        return static_cast<int>(Query::FieldType::Integer);
    case QMetaType::QByteArray:
        return static_cast<int>(Query::FieldType::Blob);
    default:
        return static_cast<int>(Query::FieldType::Text);
    }
}

} // namespace

Query::Query(Statement statement)
    : m_statement(std::move(statement))
{
    const int n = m_statement.columnCount();
    for (int i = 0; i < n; ++i) {
        m_names.append(m_statement.columnName(i));
        m_declared.push_back(m_statement.declaredType(i));
        m_types.push_back(typeFromDeclared(m_declared.back()));
    }
    fetch();
    m_empty = m_rows.empty();
}

bool Query::fetch()
{
    if (m_finished)
        return false;
    switch (m_statement.step()) {
    case Statement::Step::Row: {
        std::vector<QVariant> row;
        row.reserve(m_names.size());
        for (int i = 0; i < m_names.size(); ++i)
            row.push_back(m_statement.value(i));
        m_rows.push_back(std::move(row));
        return true;
    }
    case Statement::Step::Done:
    case Statement::Step::Error:
        m_finished = true;
        return false;
    }
    return false;
}

int Query::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_names.size(); ++i) {
        if (m_names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

Query::FieldType Query::fieldType(int field)
{
    if (field < 0 || field >= static_cast<int>(m_types.size()))
        return FieldType::Text;
    if (m_types[field] < 0) {
        size_t index = 0;
        for (;;) {
            while (index < m_rows.size()) {
                const QVariant &v = m_rows[index][field];
                if (!v.isNull()) {
                    m_types[field] = typeFromValue(v);
                    return static_cast<FieldType>(m_types[field]);
                }
                ++index;
            }
            if (!fetch())
                break;
        }
        // No value anywhere: a text column as far as anyone can tell. Not cached, so it is
        // asked again only if someone asks again; the answer cannot change.
        return FieldType::Text;
    }
    return static_cast<FieldType>(m_types[field]);
}

bool Query::next()
{
    if (m_rows.empty())
        return false;
    m_rows.pop_front();
    if (m_rows.empty())
        fetch();
    return !m_rows.empty();
}

QVariant Query::value(int field) const
{
    if (m_rows.empty() || field < 0 || field >= static_cast<int>(m_rows.front().size()))
        return {};
    return m_rows.front()[field];
}

QVariant Query::value(const QString &name) const
{
    return value(fieldIndex(name));
}

} // namespace fenpai
