#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// Commands on the database itself: sql, tables, repair.
class DataCommands final
{
public:
    static const CommandLine::Spec &sqlSpec();
    static int sql(CliContext &context, const CommandLine &line);
    static const CommandLine::Spec &tablesSpec();
    static int tables(CliContext &context, const CommandLine &line);
    static const CommandLine::Spec &repairSpec();
    static int repair(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
