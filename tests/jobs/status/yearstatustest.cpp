#include "jobs/status/yearstatus.h"

#include "db/runlog.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/division/classdivision.h"
#include "jobs/division/classplacement.h"
#include "jobs/import/demoimport.h"
#include "support/tempdata.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

YearStatus statusOf(Database &db)
{
    Result<YearStatus> s = YearStatus::read(db);
    EXPECT_TRUE(s.isOk()) << s.status().message().toStdString();
    return s ? *s : YearStatus();
}

std::string text(const QString &s)
{
    return s.toStdString();
}

} // namespace

// One year in one database: nothing, the demo data, a division, a late pupil placed, an
// arrangement. Each state is read from the tables and the run log, and said in words.
TEST(YearStatus, FollowsTheYearFromAnEmptyDatabaseToItsResults)
{
    TempData data;
    YearStatus s = statusOf(data.db);
    EXPECT_EQ(text(s.divisionText()), "未分班");
    EXPECT_TRUE(s.runs.empty());
    // Reading made nothing.
    EXPECT_FALSE(data.db.hasTable(RunLog::tableName()));

    QTemporaryDir folder;
    const Result<std::vector<ImportReport>> imported = DemoImport::run(data.db, folder.path());
    ASSERT_TRUE(imported.isOk()) << imported.status().message().toStdString();
    ASSERT_EQ(imported->size(), 3u);
    s = statusOf(data.db);
    const qint64 pupils = data.rows("select count(*) from 分班数据表").value(0).toLongLong();
    ASSERT_GT(pupils, 100);
    EXPECT_EQ(s.division.pupils, pupils);
    const QString day = YearStatus::when(QDateTime::currentDateTime(), QDate::currentDate());
    EXPECT_TRUE(s.divisionDataText().startsWith(
        QStringLiteral("分班数据表 %1 名学生（来自 分班数据.xlsx，%2")
            .arg(pupils)
            .arg(day.left(day.indexOf(u' ')))))
        << text(s.divisionDataText());
    EXPECT_TRUE(s.examDataText().startsWith(
        QStringLiteral("考生表 1200 名考生 · 考场表 40 个考场（来自 考场编排数据.xlsx，")))
        << text(s.examDataText());
    EXPECT_EQ(s.runs.size(), 3u);
    EXPECT_EQ(text(s.divisionText()), "未分班");

    DivisionSettings division;
    division.classes = 12;
    division.balanceSex = true;
    ASSERT_TRUE(ClassDivision::run(data.db, division).isOk());
    s = statusOf(data.db);
    EXPECT_EQ(s.division.classes, 12);
    EXPECT_EQ(s.division.placed, pupils);
    EXPECT_TRUE(s.divisionText().startsWith(QStringLiteral("已分 12 个班（")))
        << text(s.divisionText());
    ASSERT_TRUE(s.division.division.has_value());
    EXPECT_TRUE(
        s.division.division->settings.contains(QStringLiteral("均衡分班 12 个班，男女均衡")))
        << text(s.division.division->settings);

    // A late pupil is counted as not placed until the placement, which then names itself.
    data.exec(
        {"insert into 分班数据表 (姓名, 性别, 成绩, 原学校) values ('晚到', '男', 88, '一小')"});
    EXPECT_TRUE(statusOf(data.db).divisionText().endsWith(QStringLiteral("，1 名学生未分班")));
    ASSERT_TRUE(ClassPlacement::run(data.db, PlacementSettings{}).isOk());
    s = statusOf(data.db);
    EXPECT_TRUE(s.divisionText().startsWith(QStringLiteral("已分 12 个班（安置新增学生 ")))
        << text(s.divisionText());

    ArrangementSettings arrangement;
    arrangement.mode = ArrangementSettings::Mode::ScoreOnly;
    ASSERT_TRUE(Arrangement::run(data.db, arrangement).isOk());
    s = statusOf(data.db);
    EXPECT_TRUE(s.arrangementText().startsWith(QStringLiteral("已编排 1200 名考生（")))
        << text(s.arrangementText());
    EXPECT_EQ(s.runs.size(), 6u);
    EXPECT_EQ(s.runs.front().settings, QStringLiteral("编排方式3，起始考号 2100001"));
    EXPECT_TRUE(s.lines().value(1).contains(QStringLiteral(" → 已编排 1200 名考生")));
}

TEST(YearStatus, TimesNameTheYearOnlyWhenItIsAnother)
{
    const QDate today(2026, 12, 7);
    EXPECT_EQ(text(YearStatus::when(QDateTime(QDate(2026, 9, 1), QTime(8, 5)), today)),
              "9月1日 08:05");
    EXPECT_EQ(text(YearStatus::when(QDateTime(QDate(2025, 12, 31), QTime(23, 59)), today)),
              "2025年12月31日 23:59");
    EXPECT_TRUE(YearStatus::when(QDateTime(), today).isEmpty());
}

// The three demo imports are one job: when the last cannot be written, the first two are undone
// and no run is recorded.
TEST(DemoImport, AFailedImportLeavesEveryTableAsItWas)
{
    TempData data;
    data.exec({"create table 分班数据表 (姓名 text)", "insert into 分班数据表 values ('原来的')"});
    // The scores' run cannot be recorded: the last import fails after the first two went in.
    for (const char *sql :
         {"create table 运行记录 (任务 TEXT NOT NULL PRIMARY KEY, 时间 TEXT, 文件 TEXT, 设置 TEXT)",
          "create trigger 不许 before insert on 运行记录 when new.任务 = '导入成绩数据' "
          "begin select raise(abort, '不许'); end"})
        ASSERT_TRUE(data.db.execNative(QString::fromUtf8(sql)).isOk()) << sql;
    QTemporaryDir folder;
    const Result<std::vector<ImportReport>> imported = DemoImport::run(data.db, folder.path());
    ASSERT_FALSE(imported.isOk());
    EXPECT_EQ(data.rows("select * from 分班数据表"), QStringList{"原来的"});
    EXPECT_FALSE(data.db.hasTable(QStringLiteral("考生表")));
    EXPECT_EQ(data.rows("select count(*) from 运行记录"), QStringList{"0"});
    EXPECT_FALSE(data.db.inTransaction());
}
