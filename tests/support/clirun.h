#pragma once

#include "cli/cli.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace fenpai::test {

// What one command line printed and returned.
struct CliOutcome
{
    int status = 0;
    QString out;
    QString err;
};

// Runs a command line as `fenpai ARGS...` would, with `input` as its standard input.
inline CliOutcome runCli(const QStringList &args, const QString &input = QString())
{
    CliOutcome r;
    QString inText = input;
    QTextStream in(&inText);
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = Cli::run(args, out, err, &in);
    out.flush();
    err.flush();
    return r;
}

} // namespace fenpai::test
