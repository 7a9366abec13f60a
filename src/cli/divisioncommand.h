#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai divide: the class division without a window.
class DivisionCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    // divide --classes N | --layers A,B,C,D  [--sex] [--school]
    static int divide(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
