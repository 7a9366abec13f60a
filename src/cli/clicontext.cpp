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
    m_err << status.describe() << '\n';
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

} // namespace fenpai
