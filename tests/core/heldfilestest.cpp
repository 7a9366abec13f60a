#include "core/heldfiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using fenpai::HeldFiles;

// Two connections hold one file: it stays held until both let go; a name that is no file is
// never held.
TEST(HeldFiles, HoldsAreCountedPerFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.db");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    const HeldFiles::Identity first = HeldFiles::hold(path);
    const HeldFiles::Identity second = HeldFiles::hold(dir.path() + "/./a.db");
    EXPECT_TRUE(first.valid);
    EXPECT_EQ(first, second);
    HeldFiles::release(first);
    EXPECT_TRUE(HeldFiles::isHeld(path));
    HeldFiles::release(second);
    EXPECT_FALSE(HeldFiles::isHeld(path));

    EXPECT_FALSE(HeldFiles::hold(dir.filePath("missing")).valid);
    EXPECT_FALSE(HeldFiles::isHeld(dir.filePath("missing")));
    EXPECT_FALSE(HeldFiles::isHeld(QString()));
}
