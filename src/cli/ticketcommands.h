#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai tickets ... and fenpai labels ...: admission tickets from the working template and
// desk labels for one room, written out as the window would print them.
class TicketCommands final
{
public:
    static const CommandLine::Spec &ticketsSpec();
    static int tickets(CliContext &context, const CommandLine &line);
    static const CommandLine::Spec &labelsSpec();
    static int labels(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
