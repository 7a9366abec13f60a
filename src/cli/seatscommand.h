#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai seats: the seat chart of one room or of every room (one page each) as PDF, xlsx or
// HTML.
class SeatsCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
