#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai titles: sets the report titles every report prints under its title (the left and
// right texts, the date on or off) and prints them; without options only prints them.
class TitlesCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
