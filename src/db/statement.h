#pragma once

#include "core/status.h"

#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace fenpai {

// A prepared statement of SQLite's own dialect (Database::prepare translates first). Values are
// bound by position, 1-based; columns are read by position, 0-based.
class Statement final
{
public:
    enum class Step
    {
        Row,
        Done,
        Error
    };

    Statement() = default;
    Statement(sqlite3 *db, sqlite3_stmt *stmt)
        : m_db(db)
        , m_stmt(stmt)
    {}
    Statement(Statement &&other) noexcept;
    Statement &operator=(Statement &&other) noexcept;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement();

    bool isValid() const { return m_stmt != nullptr; }

    // Binds null for an invalid QVariant, integers, doubles and texts as themselves.
    Statement &bind(int index, const QVariant &value);
    Statement &bindAll(const QVariantList &values);

    Step step();
    // Runs an action statement to its end.
    Status exec();
    // Ready to run again with new bindings.
    void reset();
    // Last error of this statement (Ok after Row/Done).
    const Status &status() const { return m_status; }

    int columnCount() const;
    QString columnName(int column) const;
    QString declaredType(int column) const;
    bool isNull(int column) const;
    bool isDouble(int column) const; // the current row's value is a REAL
    double toDouble(int column) const;
    qint64 toInt64(int column) const;
    QString toText(int column) const;
    QVariant value(int column) const;

private:
    friend class RowCursor;

    sqlite3 *m_db = nullptr;
    sqlite3_stmt *m_stmt = nullptr;
    Status m_status;
};

} // namespace fenpai
