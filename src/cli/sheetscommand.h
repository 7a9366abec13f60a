#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai sheets: the sign-in sheet or the door sheet of one room or of every room (one room to
// a page) as PDF, xlsx or HTML.
class SheetsCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
