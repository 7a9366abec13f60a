#include "jobs/arrangement/swapneighbours.h"

#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using test::Pupil;

namespace {

// Rooms of ten desks, two rows of five, seats down each column: seat 1 has seat 2 behind it and
// seat 3 beside it. Room 1: 甲 1班, 乙 2班, 丙 3班, 丁 4班. Room 2: 戊 1班, 己 5班. Room 3: 庚
// and 辛 of 6班 already side by side, 壬 7班.
class SwapNeighboursTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {10, 10, 10}).isOk());
        const struct
        {
            const char *name, *cls;
            int room, seat;
        } rows[] = {{"甲", "1班", 1, 1}, {"乙", "2班", 1, 2}, {"丙", "3班", 1, 3},
                    {"丁", "4班", 1, 4}, {"戊", "1班", 2, 1}, {"己", "5班", 2, 2},
                    {"庚", "6班", 3, 1}, {"辛", "6班", 3, 2}, {"壬", "7班", 3, 3}};
        std::vector<Pupil> pupils;
        for (const auto &r : rows)
            pupils.push_back({QStringLiteral("一中"), QString::fromUtf8(r.cls),
                              QString::fromUtf8(r.name), 60, r.room, number(r.room, r.seat),
                              r.seat});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
    }
    static qint64 number(int room, int seat) { return 2100000 + room * 100 + seat; }

    test::TempData t;
};

TEST_F(SwapNeighboursTest, NamesOnlyThePairsTheSwapMakes)
{
    const struct
    {
        int leftRoom, leftSeat, rightRoom, rightSeat;
        QStringList expected;
    } cases[] = {
        // 戊 takes 乙's desk behind 甲, a classmate.
        {1, 2, 2, 1, {"第1考场 1号座位 甲 和 2号座位 戊（一中 1班）"}},
        // Classmates trading places make no new pair.
        {1, 1, 2, 1, {}},
        // Inside one room: 乙 and 丙 change desks, neither next to a classmate.
        {1, 2, 1, 3, {}},
        // 庚 and 辛 sat together before: still together, not new.
        {3, 3, 2, 2, {}},
        // 辛 goes to room 1 and 乙 to room 3: neither finds a classmate.
        {3, 2, 1, 2, {}},
        // 戊 to room 3 beside nobody of 1班, 壬 to room 2: none; the reverse pick the same.
        {2, 1, 3, 3, {}},
    };
    for (const auto &c : cases) {
        const ExamSwap::Pick left{c.leftRoom, number(c.leftRoom, c.leftSeat)};
        const ExamSwap::Pick right{c.rightRoom, number(c.rightRoom, c.rightSeat)};
        const Result<QStringList> made =
            SwapNeighbours::created(t.db, left, right, SeatOrder::ByColumn);
        ASSERT_TRUE(made.isOk()) << made.status().message().toStdString();
        EXPECT_EQ(*made, c.expected)
            << c.leftRoom << '/' << c.leftSeat << " ↔ " << c.rightRoom << '/' << c.rightSeat;
        const Result<QStringList> back =
            SwapNeighbours::created(t.db, right, left, SeatOrder::ByColumn);
        EXPECT_EQ(back->size(), c.expected.size()) << "either side first";
    }
}

TEST_F(SwapNeighboursTest, TheDesksFollowTheSeatOrderAndStrayPicksNameNothing)
{
    // By row, seat 2 stands beside seat 1 as well: 戊 there is still 甲's neighbour; seat 4 is
    // beside seat 3 and seat 6 behind seat 1, so 戊 at seat 6 is too.
    const ExamSwap::Pick yi{1, number(1, 2)}, wu{2, number(2, 1)};
    EXPECT_EQ(SwapNeighbours::created(t.db, yi, wu, SeatOrder::ByRow)->size(), 1);
    t.exec({"UPDATE 考生表 SET 座位号 = 6, 考号 = 2100106 WHERE 姓名 = '乙'"});
    const ExamSwap::Pick yiAt6{1, number(1, 6)};
    EXPECT_EQ(*SwapNeighbours::created(t.db, yiAt6, wu, SeatOrder::ByRow),
              QStringList{"第1考场 1号座位 甲 和 6号座位 戊（一中 1班）"});
    EXPECT_TRUE(SwapNeighbours::created(t.db, yiAt6, wu, SeatOrder::ByColumn)->isEmpty());

    const ExamSwap::Pick nobody{1, 99};
    EXPECT_TRUE(SwapNeighbours::created(t.db, nobody, wu, SeatOrder::ByColumn)->isEmpty());
    EXPECT_EQ(SwapNeighbours::question({"第1考场 1号座位 甲 和 2号座位 戊（一中 1班）"}),
              "对调后这些同班考生会坐在相邻座位：\n第1考场 1号座位 甲 和 2号座位 戊（一中 "
              "1班）\n仍要对调吗？");
}

} // namespace
