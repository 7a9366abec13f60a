#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai report NAME [ARGUMENT] [--format csv|xlsx|html|pdf] -o FILE: builds one report of the
// report catalogue (ReportCatalogue) as the window does and writes it out.
class ReportCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
