#include "cli/clicontext.h"

#include "db/database.h"

#include <QTextStream>

namespace fenpai {

bool CliContext::openDatabase(Database &db)
{
    const Status s = m_dataDirectory.openDatabase(db);
    if (s.isOk())
        return true;
    fail(s);
    return false;
}

int CliContext::fail(const Status &status)
{
    m_err << describe(status) << '\n';
    m_err.flush();
    return 1;
}

int CliContext::fail(const QString &message)
{
    m_err << message << '\n';
    m_err.flush();
    return 1;
}

int CliContext::badUsage(const QString &reason)
{
    m_err << reason << '\n';
    return 2;
}

QString CliContext::describe(const Status &status)
{
    using K = Status::Kind;
    switch (status.kind()) {
    case K::Ok:
        return QString();
    case K::MissingTable:
        return QStringLiteral("找不到数据表：") + status.message();
    case K::MissingColumn:
        return QStringLiteral("找不到字段：") + status.message();
    case K::Sql:
        return QStringLiteral("SQL 语句有误：") + status.message();
    case K::InvalidObjectName:
        return QStringLiteral("无效的对象名：") + status.message();
    case K::Constraint:
        return QStringLiteral("数据不符合约束：") + status.message();
    case K::Io:
    case K::Refused:
    case K::Cancelled:
    case K::Other:
        break;
    }
    return status.message();
}

} // namespace fenpai
