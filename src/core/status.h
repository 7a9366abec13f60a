#pragma once

#include <QString>

namespace fenpai {

// The outcome of an operation: Ok, or a kind and a message. Errors from SQLite keep SQLite's
// message and its extended result code; expected conditions ("Refused") carry the exact text the
// user is shown.
class [[nodiscard]] Status final
{
public:
    enum class Kind
    {
        Ok,
        MissingTable,      // a table the job needs is not there (found by looking at the schema)
        MissingColumn,     // a column the job needs is not there (likewise)
        Sql,               // SQLite refused the statement: syntax, unknown table, column, function
        InvalidObjectName, // a workbook sheet or column name that cannot become a table
        Io,                // the file cannot be opened, read or written, or is not a database
        Constraint,
        Refused,
        Cancelled,
        Other,
    };

    Status() = default;
    static Status ok() { return {}; }
    static Status error(Kind kind, const QString &message) { return Status(kind, message); }
    static Status refused(const QString &message) { return Status(Kind::Refused, message); }
    // An error SQLite reported, with its extended result code.
    static Status sqlite(Kind kind, int code, const QString &message)
    {
        Status s(kind, message);
        s.m_sqliteCode = code;
        return s;
    }

    bool isOk() const { return m_kind == Kind::Ok; }
    bool isRefused() const { return m_kind == Kind::Refused; }
    bool isCancelled() const { return m_kind == Kind::Cancelled; }
    bool isMissingTable() const { return m_kind == Kind::MissingTable; }
    bool isMissingColumn() const { return m_kind == Kind::MissingColumn; }
    bool isSqlError() const { return m_kind == Kind::Sql; }
    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }
    // SQLite's extended result code when SQLite reported the error, else 0.
    int sqliteCode() const { return m_sqliteCode; }

    // The same status with a context line in front of the message ("导入 a.xlsx：…").
    Status withContext(const QString &context) const;
    // The status as a line a person reads, in the window and on the command line: SQLite's own
    // failures (a statement, a constraint) say what kind they are in front of the message; the
    // others are worded whole by the job that gives them. Empty when ok.
    QString describe() const;

private:
    Status(Kind kind, const QString &message)
        : m_kind(kind)
        , m_message(message)
    {}

    Kind m_kind = Kind::Ok;
    QString m_message;
    int m_sqliteCode = 0;
};

} // namespace fenpai
