#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// Commands on the database itself: sql, tables, repair.
class DataCommands final
{
public:
    static const CommandLine::Syntax &sqlSyntax();
    static int sql(CliContext &context, const CommandLine &line);
    static const CommandLine::Syntax &tablesSyntax();
    static int tables(CliContext &context, const CommandLine &line);
    static const CommandLine::Syntax &repairSyntax();
    static int repair(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
