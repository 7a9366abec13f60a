#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai tickets ... and fenpai labels ...: admission tickets from the working template and
// desk labels for one room, written out as the window would print them.
class TicketCommands final
{
public:
    static int tickets(CliContext &context, const QStringList &args);
    static int labels(CliContext &context, const QStringList &args);
};

} // namespace fenpai
