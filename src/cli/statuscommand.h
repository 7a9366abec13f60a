#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai status: where the year stands in the database (imports, division, arrangement, scores)
// and the last run of every job, as the window's start page shows it.
class StatusCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
