#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai seats: the seat chart of one room or of every room (one page each) as PDF, xlsx or
// HTML.
class SeatsCommand final
{
public:
    static int run(CliContext &context, const QStringList &args);
};

} // namespace fenpai
