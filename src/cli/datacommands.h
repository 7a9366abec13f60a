#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// Commands on the database itself: sql, tables, repair.
class DataCommands final
{
public:
    static int sql(CliContext &context, const QStringList &args);
    static int tables(CliContext &context, const QStringList &args);
    static int repair(CliContext &context, const QStringList &args);
};

} // namespace fenpai
