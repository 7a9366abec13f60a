#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// Commands that bring workbooks in: import division FILE, import arrangement FILE, demo DIR.
class ImportCommands final
{
public:
    // import division|arrangement|scores FILE [FILE2] with --sheet, --sheet2 and --map for
    // workbooks of other layouts. Prints the rows, the sheets and columns used when not the
    // usual ones, and the success message on out (the notice of columns left empty on err); on
    // failure the message, with the option that answers it, on err and exit status 1, the
    // previous tables untouched.
    static const CommandLine::Syntax &importSyntax();
    static int import(CliContext &context, const CommandLine &line);
    // Writes the demo workbooks into DIR.
    static const CommandLine::Syntax &demoSyntax();
    static int demo(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
