#pragma once

#include <QString>
#include <QStringList>

namespace fenpai {

// The window program: splash, main window, event loop.
class Application final
{
public:
    static int run(int argc, char **argv);

    // The data directory the arguments name, "--data-dir DIR" or "--data-dir=DIR" as the command
    // line takes it; empty when none. args[0] is the program.
    static QString dataDirArgument(const QStringList &args);
};

} // namespace fenpai
