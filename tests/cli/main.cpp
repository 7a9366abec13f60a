#include <QGuiApplication>

#include <gtest/gtest.h>

// PDF pages need fonts, and fonts a GUI application, as the command line makes one for them.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(argc, argv); // never destroyed: Qt's statics outlive the tests
    return RUN_ALL_TESTS();
}
