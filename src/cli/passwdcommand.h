#pragma once

#include <QStringList>

namespace fenpai {

class CliContext;

// fenpai passwd USER: changes a user's password, reading the old and the new password (twice)
// from standard input, without echo when it is a terminal.
class PasswdCommand final
{
public:
    static int run(CliContext &context, const QStringList &args);
};

} // namespace fenpai
