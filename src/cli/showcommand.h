#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai show SOURCE [--title T] [--report statistics|plain] [--format csv|xlsx|html|pdf] -o FILE:
// fills a document from a table or saved query as the window does and writes it out.
class ShowCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
