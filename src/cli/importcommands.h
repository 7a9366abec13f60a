#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// Commands that bring workbooks in: import division FILE, import arrangement FILE, demo DIR.
class ImportCommands final
{
public:
    // Prints the success message (and the notice of missing columns) on out; on failure the
    // message on err and exit status 1, the previous tables untouched.
    static int import(CliContext &context, const QStringList &args);
    // Writes the demo workbooks into DIR.
    static int demo(CliContext &context, const QStringList &args);
};

} // namespace fenpai
