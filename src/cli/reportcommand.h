#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai report NAME [ARGUMENT] [--format csv|xlsx|html|pdf] -o FILE: builds one of the program's
// reports as the window does and writes it out. New reports add a row to the table in
// reportcommand.cpp; a report that takes an argument (a room, a class, a school) says so there.
class ReportCommand final
{
public:
    static int run(CliContext &context, const QStringList &args);
    // The report names, for the usage text.
    static QStringList names();
};

} // namespace fenpai
