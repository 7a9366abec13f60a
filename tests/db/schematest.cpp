#include "db/schema.h"
#include "db/datadirectory.h"
#include "db/maintenance.h"
#include "support/tempdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

TEST(DataDirectory, PathRuleUsesOneSeparator)
{
    EXPECT_EQ(DataDirectory::databasePath("/opt/fenpai"), "/opt/fenpai/suju/sujuf.mdb");
    EXPECT_EQ(DataDirectory::databasePath("/opt/fenpai/"), "/opt/fenpai/suju/sujuf.mdb");
    EXPECT_EQ(DataDirectory::databasePath("C:\\"), "C:\\suju/sujuf.mdb");
}

TEST(DataDirectory, ExplicitDirectoryWinsThenEnvironment)
{
    qputenv("FENPAI_DATA_DIR", "/from/env");
    EXPECT_EQ(DataDirectory::resolve("/explicit", "/prog"), "/explicit");
    EXPECT_EQ(DataDirectory::resolve("", "/prog"), "/from/env");
    qunsetenv("FENPAI_DATA_DIR");
    QTemporaryDir writable;
    EXPECT_EQ(DataDirectory::resolve("", writable.path()), writable.path());
    EXPECT_EQ(DataDirectory::resolve("", "/proc/no-such-program-dir"), DataDirectory::userDir());
    EXPECT_FALSE(DataDirectory::userDir().isEmpty());

    // A database in the per-user folder of earlier versions keeps being used.
    const QString earlier =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .filePath("fenpai");
    if (QFileInfo::exists(DataDirectory::databasePath(earlier)))
        GTEST_SKIP() << "this account keeps data in " << earlier.toStdString();
    EXPECT_NE(DataDirectory::userDir(), earlier);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(DataDirectory::databasePath(earlier)).path()));
    QFile db(DataDirectory::databasePath(earlier));
    ASSERT_TRUE(db.open(QIODevice::WriteOnly));
    db.close();
    EXPECT_EQ(DataDirectory::userDir(), earlier);
    QDir(earlier).removeRecursively();
}

TEST(DataDirectory, InstalledProgramKeepsItsDataBelowThePrefix)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(QDir().mkpath(prefix.filePath("bin")));
    // Without share/fenpai the bin folder is just a program directory.
    EXPECT_EQ(DataDirectory::resolve("", prefix.filePath("bin")), prefix.filePath("bin"));
    ASSERT_TRUE(QDir().mkpath(prefix.filePath("share/fenpai")));
    EXPECT_EQ(DataDirectory::resolve("", prefix.filePath("bin")), prefix.filePath("share/fenpai"));
    // A program directory not named bin is never taken for an installed tree.
    EXPECT_EQ(DataDirectory::installedDir(prefix.path()), QString());
}

TEST(DataDirectory, NothingIsWrittenBelowUsrEvenByRoot)
{
    // Root may write to /usr/bin and /usr/share/fenpai; the data still goes to the user's own
    // folder, or it would outlive the package's removal.
    qunsetenv("FENPAI_DATA_DIR");
    const QString user = DataDirectory::userDir();
    ASSERT_FALSE(user.startsWith("/usr/"));
    for (const char *programDir : {"/usr/bin", "/usr/local/bin", "/usr/lib/fenpai"})
        EXPECT_EQ(DataDirectory::resolve("", programDir), user) << programDir;
    // Reached through a link, as /bin is on a merged /usr.
    QTemporaryDir links;
    ASSERT_TRUE(QFile::link("/usr/bin", links.filePath("bin")));
    EXPECT_EQ(DataDirectory::resolve("", links.filePath("bin")), user);
    // A prefix of the user's own still holds the data.
    ASSERT_TRUE(QDir().mkpath(links.filePath("p/share/fenpai")));
    ASSERT_TRUE(QDir().mkpath(links.filePath("p/bin")));
    EXPECT_EQ(DataDirectory::resolve("", links.filePath("p/bin")),
              links.filePath("p/share/fenpai"));
}

TEST(DataDirectory, UnwritableDirectoryGivesAMessage)
{
    Database db;
    const Status s = DataDirectory("/proc/fenpai-cannot-be-here").openDatabase(db);
    EXPECT_FALSE(s.isOk());
    EXPECT_TRUE(s.message().contains("/proc/fenpai-cannot-be-here"));
}

TEST(Schema, NewFileComesWithItsTables)
{
    TempData t;
    for (const char *table : {"ustarv", "成绩表", "教师表", "xtsztable", "bsxtable"})
        EXPECT_TRUE(t.db.hasTable(QString::fromUtf8(table))) << table;
    const QStringList users = t.rows("select feld1,feld2 from ustarv");
    ASSERT_EQ(users.size(), 1);
    EXPECT_TRUE(users[0].startsWith("admin\t$argon2id$")) << "never a readable password";
    EXPECT_EQ(t.rows("select count(*) from 成绩表"), QStringList({"0"}));
    EXPECT_EQ(Schema::version(t.db), Schema::currentVersion);
}

// Repair restores exactly the default rows, numbered afresh, and makes tables that are gone.
TEST(Maintenance, RepairRestoresExactlyTheDefaultRowsWithNewIds)
{
    TempData t;
    t.exec({"UPDATE xtsztable SET 数值=99 WHERE 项目='优秀'", "DELETE FROM xtsztable WHERE id=1",
            "INSERT INTO xtsztable (项目,数值,类别) VALUES ('自定义',1,1)",
            "UPDATE bsxtable SET 主标题='改过'"});
    ASSERT_TRUE(Maintenance::repairSystemTables(t.db).isOk());
    EXPECT_EQ(t.rows("select id,项目,数值,类别 from xtsztable order by id"),
              QStringList({"1\t平均分\t40\t1", "2\t优秀\t20\t1", "3\t优良\t20\t1", "4\t及格\t20\t1",
                           "5\t单科段\t20\t2", "6\t总分段\t20\t2"}));
    EXPECT_EQ(
        t.rows(
            "select 学校,学年度,年级段,考试类型,主标题,副左标题,副右标题,显示日期 from bsxtable"),
        QStringList({"XX县XX中学\t2008-2009年度下学期\t高一年级\t中期考试\t高一年级中期考试\tXX县XX"
                     "中学\t2008-2009年度下学期\t0"}));

    t.exec({"DROP TABLE xtsztable", "DROP TABLE bsxtable"});
    ASSERT_TRUE(Maintenance::repairSystemTables(t.db).isOk());
    EXPECT_EQ(t.rows("select count(*) from xtsztable"), QStringList({"6"}));
    EXPECT_EQ(t.rows("select count(*) from bsxtable"), QStringList({"1"}));
}
