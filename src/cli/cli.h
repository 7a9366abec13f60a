#pragma once

#include "cli/commandline.h"

#include <QString>
#include <QStringList>

#include <vector>

class QTextStream;

namespace fenpai {

class CliContext;

// The command line: fenpai [--data-dir DIR] COMMAND [ARGS...]. Exit status 0 on success, 1 when
// the job failed (its message on stderr), 2 on bad usage (the reason, then the usage).
class Cli final
{
public:
    struct Command
    {
        // What the command takes and how help explains it.
        const CommandLine::Syntax &(*syntax)();
        bool needsGui; // needs fonts and painting (PDF output); runs offscreen when headless
        // Runs with the arguments read against the syntax; returns the exit status.
        int (*run)(CliContext &context, const CommandLine &line);
    };

    // Every command, in the order help lists them.
    static const std::vector<Command> &commands();
    static const Command *find(const QString &name);

    // True when the arguments name a command (or ask for help), i.e. no window is wanted.
    static bool wantsCommandLine(const QStringList &args);

    // Runs one command line (without the program name) against the given streams.
    static int run(const QStringList &args, QTextStream &out, QTextStream &err,
                   QTextStream *in = nullptr);

    // The process entry for the command line: makes the application object, runs, returns the
    // exit status.
    static int main(int argc, char **argv);

    // The program's help: how to call it and every command's summary.
    static QString usage();

    // Keeps the program's log (SQLite's and Qt's own words, in English) off stderr, which on the
    // command line is the user's: only critical messages pass, or all of them when the
    // environment variable FENPAI_DEBUG is set. main() installs it.
    static void quietenLog();
};

} // namespace fenpai
