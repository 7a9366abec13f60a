#include "grid/outputfile.h"
#include "core/heldfiles.h"
#include "grid/gridcursor.h"
#include "grid/griddata.h"
#include "grid/gridfile.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

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

// A held file (the open database) is never replaced, whatever path names it.
TEST(OutputFile, RefusesAHeldFileByAnyName)
{
    QTemporaryDir dir;
    const QString held = dir.filePath("sujuf.mdb");
    writeFile(held, "database");
    ASSERT_TRUE(QFile::link(held, dir.filePath("x.pdf")));
    ASSERT_EQ(::link(QFile::encodeName(held).constData(),
                     QFile::encodeName(dir.filePath("second")).constData()),
              0);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const HeldFiles::Identity id = HeldFiles::hold(held);
    for (const QString &path : {held, dir.filePath("x.pdf"), QString("sujuf.mdb"),
                                QString("./sub/../sujuf.mdb"), dir.filePath("second")}) {
        QDir().mkpath("sub");
        OutputFile out(path);
        const Status s = out.open();
        EXPECT_TRUE(s.kind() == Status::Kind::Refused) << path.toStdString();
        EXPECT_EQ(s.message(), "不能把输出写到数据库文件上") << path.toStdString();
    }
    GridData data;
    EXPECT_TRUE(GridFile::save(data, {}, "x.pdf").message().contains("不能把输出写到数据库文件上"));
    EXPECT_EQ(contents(held), "database");

    // Released, the file is an ordinary target again.
    HeldFiles::release(id);
    OutputFile out(held);
    ASSERT_TRUE(out.open().isOk());
    out.device()->write("export");
    EXPECT_TRUE(out.commit().isOk());
    EXPECT_EQ(contents(held), "export");
    ASSERT_TRUE(QDir::setCurrent(before));
}

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
