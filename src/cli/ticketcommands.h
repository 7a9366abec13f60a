#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai tickets ... and fenpai labels ...: admission tickets from the working template and
// desk labels for one room, written out as the window would print them.
class TicketCommands final
{
public:
    static const CommandLine::Syntax &ticketsSyntax();
    static int tickets(CliContext &context, const CommandLine &line);
    static const CommandLine::Syntax &labelsSyntax();
    static int labels(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
