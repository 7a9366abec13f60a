#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// Commands that bring workbooks in: import division FILE, import arrangement FILE, demo DIR.
class ImportCommands final
{
public:
    // Prints the success message (and the notice of missing columns) on out; on failure the
    // message on err and exit status 1, the previous tables untouched.
    static const CommandLine::Spec &importSpec();
    static int import(CliContext &context, const CommandLine &line);
    // Writes the demo workbooks into DIR.
    static const CommandLine::Spec &demoSpec();
    static int demo(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
