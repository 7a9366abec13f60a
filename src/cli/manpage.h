#pragma once

#include "cli/commandline.h"

#include <QString>

namespace fenpai {

// The manual page fenpai(1), written from the same command table that `fenpai help` prints, so
// the two cannot drift apart: every command with its usage, options, notes and examples, then
// the program's options, exit status, environment and files.
class ManPage final
{
public:
    // The whole page in the man macros, UTF-8 text.
    static QString render(const QString &version);

    // One command as a subsection.
    static QString command(const CommandLine::Syntax &syntax);

    // Text made safe for a line of the page: a backslash printed as itself, "-" as the ASCII
    // hyphen-minus one types, a leading "." or "'" not taken for a request, and a break point
    // after each Chinese character. Each line of a text of several lines is treated alone.
    static QString escape(const QString &text);
};

} // namespace fenpai
