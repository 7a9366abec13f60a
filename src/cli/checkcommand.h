#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai check mixing: the mixing check of the arrangement, one finding a line, or 全部混排.
class CheckCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
