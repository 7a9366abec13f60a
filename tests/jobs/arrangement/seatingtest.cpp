#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementsummary.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/seatseparation.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <set>

using namespace fenpai;
using fenpai::test::Pupil;
using Settings = ArrangementSettings;

TEST(DeskLayoutTest, DefaultsSeatOrdersAndNeighbours)
{
    using Pos = DeskPosition;
    const DeskLayout standard = DeskLayout::forRoom(30, {}, {}, SeatOrder::ByColumn);
    EXPECT_EQ(std::pair(standard.rows(), standard.cols()), std::pair(6, 5));
    EXPECT_EQ(DeskLayout::forRoom(31, QString(), {}, SeatOrder::ByColumn).rows(), 7);
    EXPECT_EQ(DeskLayout::forRoom(30, {}, 6, SeatOrder::ByColumn).rows(), 5);
    EXPECT_EQ(DeskLayout::forRoom(30, "abc", -2, SeatOrder::ByColumn).cols(), 5);
    EXPECT_FALSE(DeskLayout::forRoom(30, 5, 5, SeatOrder::ByColumn).fits());
    // A hall without rows and columns in the table always has its desks.
    EXPECT_TRUE(DeskLayout::forRoom(6000, {}, {}, SeatOrder::ByColumn).fits());
    EXPECT_EQ(DeskLayout::forRoom(6000, 1e6, {}, SeatOrder::ByColumn).rows(), 1000);

    // Seat 7 of a room of 6 rows and 5 columns.
    EXPECT_EQ(standard.position(7), (Pos{1, 2}));
    const DeskLayout snake(6, 5, 30, SeatOrder::ByColumnSnake);
    EXPECT_EQ(snake.position(7), (Pos{6, 2})); // up the second column from the back
    EXPECT_EQ(DeskLayout(6, 5, 30, SeatOrder::ByRow).position(7), (Pos{2, 2}));
    for (SeatOrder order : {SeatOrder::ByColumn, SeatOrder::ByColumnSnake, SeatOrder::ByRow}) {
        const DeskLayout l(6, 5, 28, order);
        for (int s = 1; s <= 30; ++s)
            EXPECT_EQ(l.seatAt(l.position(s).row, l.position(s).col), s);
        EXPECT_EQ(l.position(31), Pos{});
        EXPECT_EQ(l.seatAt(0, 1), 0);
        EXPECT_EQ(DeskLayout::seatOrderFromName(DeskLayout::seatOrderName(order)), order);
    }

    // A 3 × 3 room seen from the front, seats down the columns:
    //   A B A
    //   A A B      side by side: 2-5, 6-9; one behind the other: 1-2, 8-9;
    //   C B B      the diagonal A-A of seats 1 and 5 does not count.
    const DeskLayout small(3, 3, 9, SeatOrder::ByColumn);
    std::vector<int> classes = {0, 0, 2, 1, 0, 1, 0, 1, 1};
    using Pairs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(small.classmatePairs(classes), (Pairs{{1, 2}, {2, 5}, {6, 9}, {8, 9}}));
    classes[8] = -1; // seat 9 empty
    EXPECT_EQ(small.classmatePairCount(classes), 2);
}

// The exchanges stop after the rounds they are allowed, and whatever they reached is still every
// examinee on one occupied desk. A room of 3 rows × 4 columns seen from the front:
//   0 0 . 2
//   2 . 2 0      three pairs of class 0 (1-4, 9-12, 11-12), which only more than one round
//   . 2 0 0      of exchanges parts completely.
TEST(SeatSeparationTest, ACappedSearchStillSeatsEveryExamineeOnce)
{
    const DeskLayout room(3, 4, 12, SeatOrder::ByColumn);
    const std::vector<int> classes = {0, 2, -1, 0, -1, 2, -1, 2, 0, 2, 0, 0};
    ASSERT_EQ(room.classmatePairCount(classes), 3);
    const struct
    {
        int maxRounds;
        int pairs;
    } cases[] = {{0, 2}, {1, 1}, {std::numeric_limits<int>::max(), 0}};
    for (const auto &c : cases) {
        const std::vector<int> from = SeatSeparation::separate(room, classes, c.maxRounds);
        std::vector<int> seats = from;
        std::sort(seats.begin(), seats.end());
        std::vector<int> each(classes.size());
        std::iota(each.begin(), each.end(), 0);
        EXPECT_EQ(seats, each) << "rounds " << c.maxRounds;
        std::vector<int> moved(classes.size());
        for (size_t s = 0; s < from.size(); ++s) {
            moved[s] = classes[static_cast<size_t>(from[s])];
            EXPECT_EQ(moved[s] < 0, classes[s] < 0) << "seat " << s + 1;
        }
        EXPECT_EQ(room.classmatePairCount(moved), c.pairs) << "rounds " << c.maxRounds;
    }
}

namespace {

class SeatingTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::createArrangementTables(t.db).isOk()); }

    // Room 1: classes of 15, 10 and 5 (a chessboard takes them all apart); room 2: one class
    // of 18 beside twelve pupils of four classes. Scores put each class in a block, so mode 3
    // seats classmates together.
    void fill()
    {
        std::vector<Pupil> pupils;
        int score = 100;
        const auto add = [&](const QString &school, const QString &cls, int count) {
            for (int i = 0; i < count; ++i)
                pupils.push_back({school, cls, QStringLiteral("%1%2-%3").arg(school, cls).arg(i),
                                  double(score--)});
        };
        add("一中", "1班", 15);
        add("一中", "2班", 10);
        add("二中", "1班", 5);
        add("二中", "2班", 18);
        for (const char *cls : {"3班", "4班", "5班", "6班"})
            add("二中", cls, 3);
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30}).isOk());
    }

    Result<ArrangementOutcome> run(Settings s, const ArrangementProgress &progress = {})
    {
        s.mode = Settings::Mode::ScoreOnly;
        return Arrangement::run(t.db, s, progress);
    }

    QStringList table() { return t.rows("SELECT * FROM 考生表 ORDER BY rowid"); }

    test::TempData t;
};

} // namespace

TEST_F(SeatingTest, SeparationStaysInEachRoomAndLeavesFewestPairs)
{
    fill();
    Settings s;
    s.numbering = Settings::Numbering::RoomSeat;
    ASSERT_TRUE(run(s).isOk());
    const QStringList plainRooms = t.rows("SELECT 姓名, 考场 FROM 考生表 ORDER BY rowid");
    const QStringList plainSeats = t.rows("SELECT 考场, 座位号, 考号 FROM 考生表 ORDER BY 1, 2");
    Result<ArrangementSummary> before = ArrangementSummary::read(t.db);
    ASSERT_TRUE(before.isOk());
    EXPECT_GT(before->rooms[0].classmatePairs, 0);

    s.separateClassmates = true;
    const Result<ArrangementOutcome> r = run(s);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_EQ(r->classmatePairsBefore, before->classmatePairs);
    // Nobody changes room; the seats and their numbers are the same set, each used once.
    EXPECT_EQ(t.rows("SELECT 姓名, 考场 FROM 考生表 ORDER BY rowid"), plainRooms);
    EXPECT_EQ(t.rows("SELECT 考场, 座位号, 考号 FROM 考生表 ORDER BY 1, 2"), plainSeats);
    EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 考号 <> 210 * 100000 + 考场 * 100 + "
                     "座位号"),
              QStringList{"0"});

    Result<ArrangementSummary> after = ArrangementSummary::read(t.db);
    ASSERT_TRUE(after.isOk());
    EXPECT_EQ(after->rooms[0].classmatePairs, 0);
    // 18 of 30 in one class: 15 on one colour, the other 3 on the two back corners (2
    // neighbours each) and an edge desk (3): 7 pairs at the least.
    EXPECT_EQ(after->rooms[1].classmatePairs, 7);
    EXPECT_EQ(r->classmatePairs, 7);

    // The same data and settings give the same seats.
    const QStringList first = table();
    ASSERT_TRUE(run(s).isOk());
    EXPECT_EQ(table(), first);

    // Consecutive numbers follow the final seats, room by room.
    s.numbering = Settings::Numbering::Consecutive;
    ASSERT_TRUE(run(s).isOk());
    EXPECT_EQ(t.rows("SELECT min(考号), max(考号) FROM 考生表"), QStringList{"2100001\t2100060"});
    EXPECT_EQ(
        t.rows("SELECT count(*) FROM 考生表 WHERE 考号 <> 2100000 + (考场 - 1) * 30 + 座位号"),
        QStringList{"0"});

    // Snake order: a different neighbourhood, still no pair in the mixable room.
    s.seatOrder = SeatOrder::ByColumnSnake;
    ASSERT_TRUE(run(s).isOk());
    after = ArrangementSummary::read(t.db, SeatOrder::ByColumnSnake);
    ASSERT_TRUE(after.isOk());
    EXPECT_EQ(after->rooms[0].classmatePairs, 0);
}

TEST_F(SeatingTest, RefusedOrCancelledRunsLeaveTheTable)
{
    fill();
    ASSERT_TRUE(t.db.execNative("ALTER TABLE 考场表 ADD COLUMN 行数 REAL;"
                                "ALTER TABLE 考场表 ADD COLUMN 列数 REAL;"
                                "UPDATE 考场表 SET 行数 = 5, 列数 = 6;"
                                "UPDATE 考场表 SET 列数 = 5 WHERE 考场号 = 2")
                    .isOk());
    const QStringList before = table();
    Settings s;
    s.separateClassmates = true;
    Result<ArrangementOutcome> r = run(s);
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().kind(), Status::Kind::Refused);
    EXPECT_TRUE(r.status().message().startsWith("第2考场的考场人数(30)多于行数×列数(5×5)"))
        << r.status().message().toStdString();
    EXPECT_EQ(table(), before);

    ASSERT_TRUE(t.db.execNative("UPDATE 考场表 SET 列数 = 6").isOk());
    r = run(s, [](int done, int) { return done == 0; }); // cancelled while writing
    EXPECT_EQ(r.status().kind(), Status::Kind::Cancelled);
    EXPECT_EQ(table(), before);

    // Five rows of six: the step works on the layout of the table.
    ASSERT_TRUE(run(s).isOk());
    const Result<ArrangementSummary> summary = ArrangementSummary::read(t.db);
    ASSERT_TRUE(summary.isOk());
    EXPECT_EQ(summary->rooms[0].classmatePairs, 0);
}
