#pragma once

#include <QString>

class QWidget;

namespace fenpai {

// The manual and the About box. The manual is help/index.html among the program's files:
// PREFIX/share/fenpai when installed, else the program's directory (ProgramFiles).
class HelpWindows final
{
public:
    explicit HelpWindows(const QString &programDir)
        : m_programDir(programDir)
    {}

    QString manualPath() const;
    // Opens the manual in the user's browser, or in showManualWindow() when none can be
    // started; false when the manual is not there (the caller says so).
    bool showManual(QWidget *parent) const;
    // The manual in the program's own viewer, centred on the parent's screen.
    void showManualWindow(QWidget *parent) const;
    // The About box: version and the libraries the program links, with their licences.
    static void showAbout(QWidget *parent);

private:
    QString m_programDir;
};

} // namespace fenpai
