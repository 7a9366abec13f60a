#include "cli/cli.h"
#include "ui/main/application.h"

#include <QStringList>

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (fenpai::Cli::wantsCommandLine(args))
        return fenpai::Cli::main(argc, argv);
    return fenpai::Application::run(argc, argv);
}
