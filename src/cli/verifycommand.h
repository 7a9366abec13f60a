#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai verify CODE: whose ticket (or sign-in row) a scanned QR code belongs to, and whether its
// check value fits; "-" reads the codes line by line from standard input.
class VerifyCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
