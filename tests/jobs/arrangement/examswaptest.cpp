#include "jobs/arrangement/examswap.h"

#include "grid/grid.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

class ExamSwapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        t.exec({"INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('一中','1班','甲',1,2100005,5)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('一中','2班','乙',2,2100036,6)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('二中','1班','丙',1,2100001,1)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('二中','2班','丁',0,0,0)"});
    }

    QStringList seats() { return t.rows("select 姓名,考场,考号,座位号 from 考生表 ORDER BY 姓名"); }

    TempData t;
};

TEST_F(ExamSwapTest, TwoExamineesExchangeRoomNumberAndSeat)
{
    EXPECT_EQ(ExamSwap::rooms(t.db).value(), (QStringList{"0", "1", "2"}));
    const ExamSwap::Pick a{1, 2100005}, b{2, 2100036};
    ASSERT_TRUE(ExamSwap::swap(t.db, a, b).isOk());
    const QStringList swapped = {"丁\t0\t0\t0", "丙\t1\t2100001\t1", "乙\t1\t2100005\t5",
                                 "甲\t2\t2100036\t6"};
    EXPECT_EQ(seats(), swapped);

    // The same picks again find the other examinee on each seat and swap them back, twice over.
    ASSERT_TRUE(ExamSwap::swap(t.db, a, b).isOk());
    EXPECT_EQ(seats(), (QStringList{"丁\t0\t0\t0", "丙\t1\t2100001\t1", "乙\t2\t2100036\t6",
                                    "甲\t1\t2100005\t5"}));
    ASSERT_TRUE(ExamSwap::swap(t.db, a, b).isOk());
    EXPECT_EQ(seats(), swapped);

    Grid g;
    ASSERT_TRUE(ExamSwap::fillRoom(t.db, g, QStringLiteral("NewQry4"), 1).isOk());
    EXPECT_EQ(g.cellText(1, 3), QStringLiteral("丙"));
    EXPECT_EQ(g.cellText(2, 3), QStringLiteral("乙")) << "rows in exam number order";
    EXPECT_EQ(g.cellText(2, 5), QStringLiteral("2100005"));
}

TEST_F(ExamSwapTest, WithinOneRoomExamNumberAndSeatChange)
{
    ASSERT_TRUE(ExamSwap::swap(t.db, {1, 2100005}, {1, 2100001}).isOk());
    EXPECT_EQ(seats(), (QStringList{"丁\t0\t0\t0", "丙\t1\t2100005\t5", "乙\t2\t2100036\t6",
                                    "甲\t1\t2100001\t1"}));
}

TEST_F(ExamSwapTest, IncompleteOrStalePicksWriteNothing)
{
    const QStringList before = seats();
    // An unarranged examinee has exam number 0, which means nobody picked.
    Status s = ExamSwap::swap(t.db, {0, 0}, {1, 2100005});
    EXPECT_EQ(s.message(), QStringLiteral("在两个考场中各选一个考生，再对调"));
    // The left picker changed to room 2 after 甲 was picked in room 1.
    s = ExamSwap::swap(t.db, {1, 2100001}, {1, 2100036});
    EXPECT_EQ(s.kind(), Status::Kind::Refused);
    EXPECT_EQ(s.message(), ExamSwap::stalePickMessage());
    s = ExamSwap::swap(t.db, {2, 2100005}, {1, 2100001});
    EXPECT_EQ(s.message(), ExamSwap::stalePickMessage());
    EXPECT_EQ(seats(), before);
    EXPECT_FALSE(t.db.inTransaction());
}

} // namespace
