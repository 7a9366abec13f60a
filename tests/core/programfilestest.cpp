#include "core/programfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

struct Layout
{
    const char *name;
    QStringList folders;     // made below the scratch folder
    const char *programDir;  // the binary's folder
    const char *sharedDir;   // expected; "" for none
    const char *resourceDir; // expected
    const char *file = "";   // a plain file made where a folder might be
};

} // namespace

TEST(ProgramFiles, FindsTheManualAndTemplatesInEachLayout)
{
    const Layout layouts[] = {
        {"build folder", {"build/src/help", "build/src/zkzmb"}, "build/src", "", "build/src"},
        {"installed prefix",
         {"p/bin", "p/share/fenpai/help", "p/share/fenpai/zkzmb"},
         "p/bin",
         "p/share/fenpai",
         "p/share/fenpai"},
        {"prefix of the earlier layout",
         {"p/bin/help", "p/share/fenpai/demo"},
         "p/bin",
         "p/share/fenpai",
         "p/bin"},
        {"stale manual beside the binary",
         {"p/bin/help", "p/share/fenpai/help"},
         "p/bin",
         "p/share/fenpai",
         "p/share/fenpai"},
        {"bin without a shared folder", {"p/bin"}, "p/bin", "", "p/bin"},
        {"trailing separator",
         {"p/bin", "p/share/fenpai/help"},
         "p/bin/",
         "p/share/fenpai",
         "p/share/fenpai"},
        {"shared name but not a folder",
         {"p/bin", "p/share"},
         "p/bin",
         "",
         "p/bin",
         "p/share/fenpai"},
    };
    for (const Layout &l : layouts) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        for (const QString &folder : l.folders)
            ASSERT_TRUE(QDir(root.path()).mkpath(folder));
        if (*l.file) {
            QFile file(root.filePath(QString::fromUtf8(l.file)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const QString programDir = root.path() + '/' + QString::fromUtf8(l.programDir);
        const auto expected = [&](const char *relative) {
            return *relative ? QDir::cleanPath(root.filePath(QString::fromUtf8(relative)))
                             : QString();
        };
        const QString resource = ProgramFiles::resourceDir(programDir);
        EXPECT_EQ(ProgramFiles::sharedDir(programDir), expected(l.sharedDir)) << l.name;
        EXPECT_EQ(QDir::cleanPath(resource), expected(l.resourceDir)) << l.name;
    }
    EXPECT_EQ(ProgramFiles::sharedDir(QString()), QString());
    EXPECT_EQ(ProgramFiles::resourceDir(QString()), QString());
}

TEST(ProgramFiles, TheSystemTreeIsUsrHoweverItIsReached)
{
    const struct
    {
        QString dir;
        bool system;
    } cases[] = {
        {"/usr", true},
        {"/usr/", true},
        {"/usr/bin", true},
        {"/usr/local/share/fenpai", true}, // need not exist
        {"/tmp/../usr/share", true},
        {"/usrlocal/fenpai", false},
        {"/opt/fenpai", false},
        {"/", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ProgramFiles::isInSystemTree(c.dir), c.system) << c.dir.toStdString();

    // A link elsewhere that leads into /usr, as /bin does on a merged /usr.
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    ASSERT_TRUE(QFile::link("/usr/share", root.filePath("share")));
    EXPECT_TRUE(ProgramFiles::isInSystemTree(root.filePath("share")));
    EXPECT_FALSE(ProgramFiles::isInSystemTree(root.path()));
}
