#include "cli/cli.h"

#include <QStringList>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (fenpai::Cli::wantsCommandLine(args))
        return fenpai::Cli::main(argc, argv);
    // The window arrives with the main window; until then the command line explains itself.
    std::fputs(fenpai::Cli::usage().toLocal8Bit().constData(), stderr);
    return 2;
}
