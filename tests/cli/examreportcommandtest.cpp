#include "cli/cli.h"
#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QFile>

using namespace fenpai;

namespace {

using Outcome = test::CliOutcome;

class ExamReportCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, {{"一中", "1班", "甲", 90, 1, 2100001, 1},
                                           {"一中", "1班", "乙", 80, 1, 2100002, 2},
                                           {"二中", "2班", "丙", 70, 2, 2100003, 1}})
                        .isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30}).isOk());
    }

    Outcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }
    QStringList csvLines(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    test::TempData t;
};

} // namespace

// Each report takes its argument (a room, a school/class, a school) into its request; what
// the listings hold is their own tests' business.
TEST_F(ExamReportCommandTest, ListingsWithAndWithoutTheirArgument)
{
    const QString csv = t.dir.filePath("out.csv");
    Outcome r = run({"report", "room-list", "1", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "第 1 考场考生名单 → " + csv + "\n");
    EXPECT_EQ(csvLines(csv).size(), 3);
    ASSERT_EQ(run({"report", "exam-class-list", "二中/2班", "-o", csv}).status, 0);
    EXPECT_EQ(csvLines(csv).size(), 2);
    ASSERT_EQ(run({"report", "school-stats", "一中", "-o", csv}).status, 0);
    EXPECT_EQ(csvLines(csv), (QStringList{"考场,人数,第1班", "合计,2,2", "1,2,2"}));
    ASSERT_EQ(run({"report", "first-last", "-o", csv}).status, 0);

    EXPECT_EQ(run({"report", "school-stats", "-o", csv}).status, 2);
    EXPECT_EQ(run({"report", "brief-stats", "一中", "-o", csv}).status, 2);
}

// A room, school or class that is not there is refused by name and writes nothing, as the seat
// chart does; a room of 考场表 nobody sits in and a room only 考生表 knows are there.
TEST_F(ExamReportCommandTest, WhatIsNotThereIsRefusedByName)
{
    const QString csv = t.dir.filePath("out.csv");
    const struct
    {
        QStringList args;
        const char *refusal;
    } cases[] = {
        {{"room-list", "41"}, "没有第 41 考场。"},
        {{"seat-chart", "41"}, "没有第 41 考场。"},
        {{"school-stats", "没有这个学校"}, "考生表中没有学校“没有这个学校”。"},
        {{"exam-class-list", "没有/这个班"}, "考生表中没有班级“没有/这个班”。"},
        {{"exam-class-list", "一中/2班"}, "考生表中没有班级“一中/2班”。"},
    };
    for (const auto &c : cases) {
        const Outcome r = run(QStringList{"report"} + c.args + QStringList{"-o", csv});
        EXPECT_EQ(r.status, 1) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err, QString::fromUtf8(c.refusal) + "\n") << c.args.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(csv));
    }
    t.exec({"DELETE FROM 考生表 WHERE 考场=2", "INSERT INTO 考生表 (姓名, 考场) VALUES ('丁', 3)"});
    for (const char *room : {"2", "3"})
        EXPECT_EQ(run({"report", "room-list", room, "-o", csv}).status, 0) << room;
}

TEST_F(ExamReportCommandTest, MixingCheckPrintsItsFindings)
{
    Outcome r = run({"check", "mixing"});
    EXPECT_EQ(r.status, 0);
    // A finding a line, in the check's own words (its tests' business); findings are no failure.
    EXPECT_EQ(r.out.count(u'\n'), 2) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("在第1考场有没混排的1：")) << r.out.toStdString();
    t.exec({"DROP TABLE 考生表"});
    r = run({"check", "mixing"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("找不到数据表 考生表")) << r.err.toStdString();
    EXPECT_EQ(run({"check", "nothing"}).status, 2);
}
