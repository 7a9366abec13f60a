#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai arrange: the exam room arrangement without a window, with the dialog's defaults for
// every option left out; prints "编排完成!" and one line per room.
class ArrangeCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
