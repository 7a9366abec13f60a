#include "core/fileerrortext.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using fenpai::FileErrorText;

// Where Qt would say "file to open is a directory" or "No such file or directory", the user
// reads Chinese.
TEST(FileErrorText, CommonFailuresInWords)
{
    QTemporaryDir dir;
    const struct
    {
        QString path;
        QIODevice::OpenMode mode;
        const char *words;
    } cases[] = {
        {dir.path(), QIODevice::ReadOnly, "这是一个文件夹，不是文件"},
        {dir.filePath("missing.cel"), QIODevice::ReadOnly, "文件或文件夹不存在"},
        {dir.filePath("no/such/folder.cel"), QIODevice::WriteOnly, "文件或文件夹不存在"},
    };
    for (const auto &c : cases) {
        QFile file(c.path);
        errno = 0;
        ASSERT_FALSE(file.open(c.mode)) << c.path.toStdString();
        EXPECT_EQ(FileErrorText::describe(file, errno), QString::fromUtf8(c.words))
            << c.path.toStdString();
    }
    EXPECT_EQ(FileErrorText::forErrno(ENOSPC), "磁盘空间不足");
    EXPECT_EQ(FileErrorText::forErrno(EROFS), "磁盘是只读的");
    EXPECT_EQ(FileErrorText::forErrno(0), "");
    // Without a reason from the system, the kind of failure speaks.
    QFile unnamed;
    EXPECT_EQ(FileErrorText::describe(unnamed, 0), "文件操作失败");
}
