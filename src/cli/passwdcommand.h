#pragma once

#include "cli/commandline.h"

namespace fenpai {

class CliContext;

// fenpai passwd USER: changes a user's password, reading the old and the new password (twice)
// from standard input, without echo when it is a terminal.
class PasswdCommand final
{
public:
    static const CommandLine::Syntax &syntax();
    static int run(CliContext &context, const CommandLine &line);
};

} // namespace fenpai
