#include "jobs/division/classadjustment.h"
#include "jobs/reports/classreports.h"

#include "grid/grid.h"
#include "support/divisiontestdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::DivisionData;

namespace {

class ClassAdjustmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        d.add({{"男", 70, "一中", "甲"}, {"女", 99, "二中", "乙"}, {"男", 60, "一中", "甲"}}, 2);
        d.add({{"女", 80, "一中", "丙"}}, 5);
    }
    int count(const QString &where)
    {
        return d.column("SELECT count(*) FROM 分班数据表 WHERE " + where).front();
    }

    DivisionData d;
    Grid g;
};

TEST_F(ClassAdjustmentTest, ListsByScoreWithTheirRowids)
{
    Result<std::vector<qint64>> rowids = ClassAdjustment::fillClass(d.db, g, "NewQry5", 2, true);
    ASSERT_TRUE(rowids.isOk()) << rowids.status().message().toStdString();
    EXPECT_EQ(*rowids, (std::vector<qint64>{2, 1, 3}));
    EXPECT_EQ(g.cellText(1, 1), "乙");
    EXPECT_EQ(g.rows(), 5); // header, three pupils, blank row

    rowids = ClassAdjustment::fillClass(d.db, g, "NewQry4", 2, false);
    ASSERT_TRUE(rowids.isOk());
    EXPECT_EQ(g.cols(), 5) << "姓名, 新分班, 成绩, 性别 after the fixed column";
}

TEST_F(ClassAdjustmentTest, MovingTheBestPupilUpdatesStatisticsAndLists)
{
    Result<std::vector<qint64>> rowids = ClassAdjustment::fillClass(d.db, g, "NewQry4", 2, false);
    ASSERT_TRUE(rowids.isOk());
    ASSERT_TRUE(ClassAdjustment::move(d.db, rowids->front(), 5).isOk());

    ASSERT_TRUE(ClassReports::adjustmentStats(d.db, g).isOk());
    EXPECT_EQ(g.cellText(2, 1), "2");
    EXPECT_EQ(g.cellText(2, 2), "2");
    EXPECT_EQ(g.cellText(3, 2), "2");
    ASSERT_TRUE(ClassAdjustment::fillClass(d.db, g, "NewQry4", 2, false).isOk());
    EXPECT_EQ(g.cellText(1, 1), "甲");
    ASSERT_TRUE(ClassAdjustment::fillClass(d.db, g, "NewQry5", 5, true).isOk());
    EXPECT_EQ(g.cellText(1, 1), "乙");
    EXPECT_EQ(g.cellText(2, 1), "丙");
}

TEST_F(ClassAdjustmentTest, OfTwoSameNamedPupilsExactlyTheChosenOneMoves)
{
    // Both 甲 are boys of class 2 from 一中; the list shows the one with 60 second.
    Result<std::vector<qint64>> rowids = ClassAdjustment::fillClass(d.db, g, "NewQry4", 2, false);
    ASSERT_TRUE(rowids.isOk());
    ASSERT_EQ(g.cellText(3, 3), "60");
    ASSERT_TRUE(ClassAdjustment::move(d.db, (*rowids)[2], 5).isOk());
    EXPECT_EQ(count("姓名='甲' AND 新分班=5 AND 成绩=60"), 1);
    EXPECT_EQ(count("姓名='甲' AND 新分班=2 AND 成绩=70"), 1);
    EXPECT_EQ(count("新分班=2"), 2);
}

} // namespace
