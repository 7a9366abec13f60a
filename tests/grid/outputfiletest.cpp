#include "grid/outputfile.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

QByteArray contents(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// A disk that fills while the export writes: the commit fails and says why, the old file stays
// and no temporary file is left beside it. Small writes end in QSaveFile's buffer, which only
// reaches the disk when the file closes; one large write goes straight through.
TEST(OutputFile, AFullDiskKeepsTheOldFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.csv");
    writeFile(path, "old,good\n");
    for (const bool smallWrites : {true, false}) {
        Status committed;
        {
            test::FileSizeLimit limit(4096);
            OutputFile out(path);
            ASSERT_TRUE(out.open().isOk());
            const QByteArray line(100, 'x');
            if (smallWrites) {
                for (int i = 0; i < 60; ++i)
                    out.device()->write(line);
            } else {
                out.device()->write(QByteArray(100000, 'y'));
            }
            committed = out.commit();
        }
        EXPECT_FALSE(committed.isOk()) << smallWrites;
        EXPECT_EQ(committed.message(), "文件超过了允许的大小，无法写完文件，原来的文件未改动");
        EXPECT_EQ(contents(path), "old,good\n") << smallWrites;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"});
    }
}
