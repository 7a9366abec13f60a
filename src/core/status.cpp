#include "core/status.h"

namespace fenpai {

Status Status::withContext(const QString &context) const
{
    if (isOk() || context.isEmpty())
        return *this;
    Status s = *this;
    s.m_message = context + m_message;
    return s;
}

QString Status::describe() const
{
    switch (m_kind) {
    case Kind::Ok:
        return QString();
    case Kind::Sql:
        return QStringLiteral("SQL 语句有误：") + m_message;
    case Kind::Constraint:
        return QStringLiteral("数据不符合约束：") + m_message;
    // The jobs word these themselves, naming the table or column ("找不到数据表 考生表，…").
    case Kind::MissingTable:
    case Kind::MissingColumn:
    case Kind::InvalidObjectName:
    case Kind::Io:
    case Kind::Refused:
    case Kind::Cancelled:
    case Kind::Other:
        break;
    }
    return m_message;
}

} // namespace fenpai
