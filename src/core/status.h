#pragma once

#include <QString>

namespace fenpai {

// The outcome of an operation: Ok, or a kind and a message. Engine errors keep the engine's own
// message; expected conditions ("Refused") carry the exact text the user is shown.
class Status final
{
public:
    enum class Kind
    {
        Ok,
        MissingTable,
        MissingColumn,
        Syntax,
        InvalidObjectName,
        Io,
        Constraint,
        Refused,
        Cancelled,
        Other,
    };

    Status() = default;
    static Status ok() { return {}; }
    static Status error(Kind kind, const QString &message) { return Status(kind, message); }
    static Status refused(const QString &message) { return Status(Kind::Refused, message); }

    bool isOk() const { return m_kind == Kind::Ok; }
    Kind kind() const { return m_kind; }
    const QString &message() const { return m_message; }

    // The same status with a context line in front of the message ("导入 a.xlsx：…").
    Status withContext(const QString &context) const;

private:
    Status(Kind kind, const QString &message)
        : m_kind(kind)
        , m_message(message)
    {}

    Kind m_kind = Kind::Ok;
    QString m_message;
};

} // namespace fenpai
