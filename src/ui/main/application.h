#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

namespace fenpai {

// The window program: splash, main window, event loop.
class Application final
{
public:
    static int run(int argc, char **argv);
    // Loads Qt's own Chinese texts (standard buttons, file dialogs); false when they are not
    // installed, and the program goes on in English there.
    static bool installQtTranslations(QCoreApplication &app);

    // The data directory the arguments name, "--data-dir DIR" or "--data-dir=DIR" as the command
    // line takes it; empty when none. args[0] is the program.
    static QString dataDirArgument(const QStringList &args);
};

} // namespace fenpai
