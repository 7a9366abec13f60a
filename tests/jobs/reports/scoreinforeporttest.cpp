#include "jobs/reports/scoreinforeport.h"

#include "grid/grid.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

// The grid's rows from row 2 on (the totals, then the schools), columns 1.. joined by "|".
QStringList body(const Grid &g)
{
    QStringList rows;
    for (int r = 2; r < g.rows() - 1; ++r) {
        QStringList cells;
        for (int c = 1; c < g.cols(); ++c)
            cells.append(g.cellText(r, c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

class ScoreInfoReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // 政治 has no teacher column, 学号 and 考号 identify pupils: none of them is a subject.
        t.exec({"DROP TABLE 成绩表", "DROP TABLE 教师表",
                "CREATE TABLE 成绩表 (学校 text, 班级 text, 姓名 text, 学号 double, 语文 double, "
                "政治 double, 数学 double, 考号 double)",
                "CREATE TABLE 教师表 (学校 text, 班级 text, 数学 text, 语文 text, 考号 text)",
                // 二中: three pupils, one absent from 数学.
                "INSERT INTO 成绩表 VALUES ('二中','1班','甲',1,90,80,NULL,1)",
                "INSERT INTO 成绩表 VALUES ('二中','1班','乙',2,85,NULL,70,2)",
                "INSERT INTO 成绩表 VALUES ('二中','2班','丙',3,NULL,60,65,3)",
                // 一中: one pupil; 三中 is in no teacher row at all.
                "INSERT INTO 成绩表 VALUES ('一中','1班','丁',4,70,70,70,4)",
                "INSERT INTO 成绩表 VALUES ('三中','1班','戊',5,60,NULL,NULL,5)",
                // One 语文 teacher takes both classes of 二中.
                "INSERT INTO 教师表 VALUES ('二中','1班','王老师','李老师','x')",
                "INSERT INTO 教师表 VALUES ('二中','2班','赵老师','李老师','y')",
                "INSERT INTO 教师表 VALUES ('一中','1班','周老师','吴老师','z')"});
    }

    TempData t;
};

TEST_F(ScoreInfoReportTest, CountsPerSchoolMatchedByNameWithTotals)
{
    EXPECT_EQ(ScoreInfoReport::subjects(t.db),
              (QStringList{QStringLiteral("语文"), QStringLiteral("数学")}));
    Grid g;
    ASSERT_TRUE(ScoreInfoReport::build(t.db, g).isOk());
    EXPECT_EQ(g.fixedRows(), 2);
    EXPECT_EQ(g.cellText(0, 1), QStringLiteral("学校(3)"));
    EXPECT_EQ(g.cellText(0, 4), QStringLiteral("语文"));
    EXPECT_EQ(g.mergeAt(0, 6), (GridArea{0, 4, 0, 6}));
    // 学校 | 班级数 | 应考 | 语文 参考 缺考 教师 | 数学 参考 缺考 教师
    EXPECT_EQ(body(g), (QStringList{
                           QStringLiteral("合 计|3|5|4|1|2|3|2|3"),
                           QStringLiteral("一中|1|1|1|0|1|1|0|1"),
                           QStringLiteral("三中|0|1|1|0|0|0|1|0"),
                           QStringLiteral("二中|2|3|2|1|1|2|1|2"),
                       }));
    EXPECT_EQ(g.rows(), 7) << "one empty row follows the schools";
}

TEST_F(ScoreInfoReportTest, AMissingTableIsNamedAndTheGridKept)
{
    t.exec({"DROP TABLE 教师表"});
    Grid g;
    g.setCellText(1, 1, QStringLiteral("留着"));
    const Status s = ScoreInfoReport::build(t.db, g).status();
    EXPECT_EQ(s.message(), QStringLiteral("找不到数据表 教师表，请先导入成绩数据。"));
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("留着"));
}

// The tables a new database comes with have the usual subjects and no pupils: refused, not a
// report of zeros; one pupil is enough.
TEST_F(ScoreInfoReportTest, AnEmptyScoreTableIsRefused)
{
    TempData fresh;
    Grid g;
    g.setCellText(1, 1, QStringLiteral("留着"));
    const Status s = ScoreInfoReport::build(fresh.db, g).status();
    EXPECT_TRUE(s.isRefused());
    EXPECT_EQ(s.message(), ScoreInfoReport::noScoresMessage());
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("留着"));
    fresh.exec({"INSERT INTO 成绩表 (学校) VALUES ('一中')"});
    EXPECT_TRUE(ScoreInfoReport::build(fresh.db, g).isOk());
}

} // namespace
