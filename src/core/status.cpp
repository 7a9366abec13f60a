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
    case Kind::MissingTable:
        return QStringLiteral("找不到数据表：") + m_message;
    case Kind::MissingColumn:
        return QStringLiteral("找不到字段：") + m_message;
    case Kind::Sql:
        return QStringLiteral("SQL 语句有误：") + m_message;
    case Kind::InvalidObjectName:
        return QStringLiteral("无效的对象名：") + m_message;
    case Kind::Constraint:
        return QStringLiteral("数据不符合约束：") + m_message;
    case Kind::Io:
    case Kind::Refused:
    case Kind::Cancelled:
    case Kind::Other:
        break;
    }
    return m_message;
}

} // namespace fenpai
