#pragma once

#include <QApplication>
#include <QFont>

namespace fenpai::test {

// One QApplication for the widget tests, offscreen, with the program's font substitutes.
inline void ensureApp()
{
    if (qApp)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "gridtests";
    static char *argv[] = {name, nullptr};
    // Never destroyed: Qt's own statics outlive the test functions and must not see it go.
    new QApplication(argc, argv);
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"));
    QFont::insertSubstitution(QStringLiteral("黑体"), QStringLiteral("Noto Sans CJK SC"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
}

} // namespace fenpai::test
