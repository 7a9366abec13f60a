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

    // A page of the manual (help/PAGE), by default its first.
    QString manualPath(const QString &page = QStringLiteral("index.html")) const;
    // Opens the manual's page in the user's browser, or in showManualWindow() when none can be
    // started; false when the page is not there (the caller says so).
    bool showManual(QWidget *parent, const QString &page = QStringLiteral("index.html")) const;
    // The manual in the program's own viewer, centred on the parent's screen.
    void showManualWindow(QWidget *parent,
                          const QString &page = QStringLiteral("index.html")) const;
    // The About box: version and the libraries the program links, with their licences.
    static void showAbout(QWidget *parent);

private:
    QString m_programDir;
};

} // namespace fenpai
