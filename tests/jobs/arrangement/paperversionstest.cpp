#include "jobs/arrangement/paperversions.h"
#include "grid/grid.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/examswap.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/reports/examlistings.h"
#include "jobs/reports/mixingcheck.h"
#include "jobs/reports/seatchart.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/tickettemplates.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>
#include <optional>
#include <random>

using namespace fenpai;
using fenpai::test::Pupil;
using Settings = ArrangementSettings;

namespace {

// The desks of each version among the occupied seats.
std::array<int, 4> countsOf(const std::vector<int> &versions)
{
    std::array<int, 4> counts{};
    for (int v : versions) {
        if (v >= 0)
            ++counts[static_cast<size_t>(v)];
    }
    return counts;
}

int spreadOf(const std::vector<int> &versions, int count)
{
    const std::array<int, 4> c = countsOf(versions);
    return *std::max_element(c.begin(), c.begin() + count) -
           *std::min_element(c.begin(), c.begin() + count);
}

// The most even spread any valid laying of `count` versions reaches, found by trying them all.
int bestSpread(const DeskLayout &layout, const std::vector<bool> &occupied, int count)
{
    std::vector<int> seats;
    for (int s = 1; s <= static_cast<int>(occupied.size()); ++s) {
        if (occupied[static_cast<size_t>(s) - 1])
            seats.push_back(s);
    }
    std::vector<int> version(occupied.size(), -1);
    int best = 1 << 20;
    const std::function<void(size_t)> place = [&](size_t i) {
        if (i == seats.size()) {
            best = std::min(best, spreadOf(version, count));
            return;
        }
        for (int v = 0; v < count; ++v) {
            version[static_cast<size_t>(seats[i]) - 1] = v;
            if (layout.equalPairs(version, count == 4).empty())
                place(i + 1);
        }
        version[static_cast<size_t>(seats[i]) - 1] = -1;
    };
    place(0);
    return best;
}

std::vector<bool> firstSeats(int seats, int occupied)
{
    std::vector<bool> out(static_cast<size_t>(seats), false);
    std::fill(out.begin(), out.begin() + occupied, true);
    return out;
}

} // namespace

// Hand-drawn rooms: the neighbour rule always holds, the counts are as even as the room allows
// (two versions always within one; for four, `best` is what a search over every laying reaches:
// in a full block every 2 × 2 square needs all four), empty desks stay without a version and
// the first seat gets A.
TEST(PaperVersionsTest, HandDrawnRoomsKeepTheRuleAndEvenCounts)
{
    const struct
    {
        const char *what;
        int rows, cols, occupied;
        SeatOrder order;
        int best; // of four versions
    } rooms[] = {
        {"odd rows and columns", 5, 5, 25, SeatOrder::ByColumn, 3},
        {"partly filled, snake", 7, 5, 31, SeatOrder::ByColumnSnake, 2},
        {"partly filled row", 4, 7, 24, SeatOrder::ByRow, 2},
        {"one column", 7, 1, 7, SeatOrder::ByColumn, 1},
        {"a room of one", 6, 5, 1, SeatOrder::ByColumn, 1},
        {"large hall", 20, 15, 293, SeatOrder::ByColumn, 1},
    };
    for (const auto &room : rooms) {
        const DeskLayout layout(room.rows, room.cols, room.rows * room.cols, room.order);
        const std::vector<bool> occupied = firstSeats(layout.seats(), room.occupied);
        for (int count : {2, 4}) {
            SCOPED_TRACE(std::string(room.what) + ", versions " + std::to_string(count));
            const std::vector<int> v = PaperVersions::assign(layout, occupied, count);
            ASSERT_EQ(v.size(), static_cast<size_t>(layout.seats()));
            EXPECT_EQ(v[0], 0);
            for (size_t s = 0; s < v.size(); ++s)
                EXPECT_EQ(v[s] >= 0, bool(occupied[s])) << "seat " << s + 1;
            EXPECT_TRUE(layout.equalPairs(v, count == 4).empty());
            EXPECT_EQ(spreadOf(v, count), count == 2 ? room.occupied % 2 : room.best);
        }
    }
}

// Rooms with empty desks anywhere (examinees moved by hand, seats left free): as even as the
// room allows, which a search over every laying tells.
TEST(PaperVersionsTest, IrregularRoomsAreAsEvenAsTheyAllow)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 60; ++trial) {
        const int rows = 2 + static_cast<int>(random() % 3);
        const int cols = 2 + static_cast<int>(random() % 3);
        const DeskLayout layout(rows, cols, rows * cols, SeatOrder::ByColumn);
        std::vector<bool> occupied(static_cast<size_t>(layout.seats()));
        for (size_t s = 0; s < occupied.size(); ++s)
            occupied[s] = random() % 4 != 0;
        if (std::count(occupied.begin(), occupied.end(), true) > 11)
            continue;
        for (int count : {2, 4}) {
            SCOPED_TRACE("trial " + std::to_string(trial) + ", versions " + std::to_string(count));
            const std::vector<int> v = PaperVersions::assign(layout, occupied, count);
            EXPECT_TRUE(layout.equalPairs(v, count == 4).empty());
            EXPECT_EQ(spreadOf(v, count), bestSpread(layout, occupied, count));
        }
    }
}

TEST(PaperVersionsTest, LettersAndNeighbourPairs)
{
    EXPECT_EQ(PaperVersions::letter(4), "");
    EXPECT_EQ(PaperVersions::fromLetter(" b "), 1);
    EXPECT_EQ(PaperVersions::fromLetter("AB"), -1);

    // 3 × 3 by columns:   A B A
    //                     B A B     no side or front pair; diagonals 1-5, 5-9, 3-5, 5-7 ...
    //                     A B A
    const DeskLayout room(3, 3, 9, SeatOrder::ByColumn);
    const std::vector<int> chess = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    EXPECT_TRUE(room.equalPairs(chess, false).empty());
    using Pairs = std::vector<std::pair<int, int>>;
    EXPECT_EQ(room.equalPairs(chess, true),
              (Pairs{{1, 5}, {2, 4}, {2, 6}, {3, 5}, {4, 8}, {5, 7}, {5, 9}, {6, 8}}));
}

TEST(ArrangementSettingsTest, VersionsAsTyped)
{
    const struct
    {
        const char *text;
        std::optional<Settings::Versions> versions;
    } cases[] = {
        {"", Settings::Versions::None},
        {" 无 ", Settings::Versions::None},
        {"AB卷", Settings::Versions::AB},
        {"4", Settings::Versions::ABCD},
        {"3", std::nullopt},
        {"2.0", std::nullopt},
    };
    for (const auto &c : cases) {
        const Result<Settings::Versions> v = Settings::parseVersions(QString::fromUtf8(c.text));
        EXPECT_EQ(v.isOk(), c.versions.has_value()) << c.text;
        if (v && c.versions) {
            EXPECT_EQ(*v, *c.versions) << c.text;
        }
        if (!v) {
            EXPECT_EQ(v.status().message(), "“试卷版本”只能是 2（AB卷）或 4（ABCD卷）。");
        }
    }
    Settings s;
    s.versions = static_cast<Settings::Versions>(3);
    EXPECT_TRUE(s.check().isRefused());
}

namespace {

class VersionRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        // Two rooms of 5 rows × 6 columns, 30 and 27 examinees of three classes in score blocks,
        // so mode 3 seats classmates side by side.
        std::vector<Pupil> pupils;
        for (int i = 0; i < 57; ++i)
            pupils.push_back({"一中", QStringLiteral("%1班").arg(i / 19 + 1),
                              QStringLiteral("考生%1").arg(i), double(100 - i)});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30}).isOk());
        ASSERT_TRUE(t.db.execNative("ALTER TABLE 考场表 ADD COLUMN 行数 REAL;"
                                    "UPDATE 考场表 SET 行数 = 5")
                        .isOk());
    }

    Result<ArrangementOutcome> run(Settings::Versions versions, bool separate)
    {
        Settings s;
        s.mode = Settings::Mode::ScoreOnly;
        s.versions = versions;
        s.separateClassmates = separate;
        return Arrangement::run(t.db, s);
    }

    // Every room's versions by seat, as the desks hold them now.
    std::vector<std::vector<int>> versionsBySeat()
    {
        std::vector<std::vector<int>> out;
        Result<std::vector<SeatedRoom>> rooms = RoomSeating::read(t.db, SeatOrder::ByColumn);
        EXPECT_TRUE(rooms.isOk());
        for (const SeatedRoom &room : *rooms) {
            std::vector<int> v;
            for (const SeatedExaminee &e : room.seats)
                v.push_back(e.classId < 0 ? -1 : PaperVersions::fromLetter(e.version));
            out.push_back(v);
        }
        return out;
    }

    test::TempData t;
};

} // namespace

// The versions come after the classmates are parted and move nobody: the seats, numbers and
// classmate pairs are those of the same run without versions.
TEST_F(VersionRunTest, VersionsFollowTheClassmateStepAndMoveNobody)
{
    const Result<ArrangementOutcome> plain = run(Settings::Versions::None, true);
    ASSERT_TRUE(plain.isOk()) << plain.status().message().toStdString();
    EXPECT_FALSE(t.db.columns("考生表").contains("试卷")); // no column without versions
    const QStringList seats = t.rows("SELECT 姓名, 考场, 座位号, 考号 FROM 考生表 ORDER BY rowid");

    for (auto versions : {Settings::Versions::AB, Settings::Versions::ABCD}) {
        const int count = static_cast<int>(versions);
        const Result<ArrangementOutcome> r = run(versions, true);
        ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
        EXPECT_EQ(t.rows("SELECT 姓名, 考场, 座位号, 考号 FROM 考生表 ORDER BY rowid"), seats);
        EXPECT_EQ(r->classmatePairs, plain->classmatePairs);
        EXPECT_LT(r->classmatePairs, r->classmatePairsBefore);
        EXPECT_EQ(r->versionPairs, 0);
        ASSERT_EQ(r->versionCounts.size(), static_cast<size_t>(count));
        EXPECT_EQ(std::accumulate(r->versionCounts.begin(), r->versionCounts.end(), 0), 57);

        const std::vector<std::vector<int>> rooms = versionsBySeat();
        ASSERT_EQ(rooms.size(), 2u);
        // Room 1 is full (30 desks), room 2 holds 27: five columns and two desks, which take four
        // versions 8, 7, 6, 6 at best.
        const DeskLayout layout(5, 6, 30, SeatOrder::ByColumn);
        for (size_t r = 0; r < rooms.size(); ++r) {
            EXPECT_TRUE(layout.equalPairs(rooms[r], count == 4).empty());
            EXPECT_EQ(spreadOf(rooms[r], count), static_cast<int>(count == 2 ? r : r + 1));
        }
        EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 试卷 IS NULL OR 试卷 NOT IN "
                         "('A', 'B', 'C', 'D')"),
                  QStringList{"0"});
    }
    // Run again without versions: the column stays, emptied.
    ASSERT_TRUE(run(Settings::Versions::None, false).isOk());
    EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 试卷 IS NOT NULL"), QStringList{"0"});
}

// A refused run adds no column; a swap takes each desk's version along with its seat; the mixing
// check names neighbours with one version.
TEST_F(VersionRunTest, SwapsKeepTheDesksVersionAndTheCheckFindsTwins)
{
    ASSERT_TRUE(t.db.execNative("UPDATE 考场表 SET 人数 = 20").isOk());
    ASSERT_TRUE(run(Settings::Versions::AB, false).status().isRefused());
    EXPECT_FALSE(t.db.columns("考生表").contains("试卷"));
    ASSERT_TRUE(t.db.execNative("UPDATE 考场表 SET 人数 = 30").isOk());

    ASSERT_TRUE(run(Settings::Versions::AB, false).isOk());
    const QStringList bySeat = t.rows("SELECT 考场, 座位号, 试卷 FROM 考生表 ORDER BY 1, 2");
    const QStringList a = t.rows("SELECT 考场, 考号 FROM 考生表 WHERE 考场 = 1 AND 座位号 = 1");
    const QStringList b = t.rows("SELECT 考场, 考号 FROM 考生表 WHERE 考场 = 2 AND 座位号 = 2");
    const auto pick = [](const QString &row) {
        const QStringList f = row.split('\t');
        return ExamSwap::Pick{f[0].toLongLong(), f[1].toLongLong()};
    };
    ASSERT_TRUE(ExamSwap::swap(t.db, pick(a[0]), pick(b[0])).isOk());
    EXPECT_EQ(t.rows("SELECT 考场, 座位号, 试卷 FROM 考生表 ORDER BY 1, 2"), bySeat);

    Result<QStringList> clean = MixingCheck::findings(t.db);
    ASSERT_TRUE(clean.isOk());
    EXPECT_FALSE(clean->join('\n').contains("试卷")) << clean->join('\n').toStdString();
    // Seat 1 takes seat 2's version: 1-2 behind each other, 1-6 side by side.
    ASSERT_TRUE(
        t.db.execNative("UPDATE 考生表 SET 试卷 = 'B' WHERE 考场 = 1 AND 座位号 = 1").isOk());
    Result<QStringList> found = MixingCheck::findings(t.db);
    ASSERT_TRUE(found.isOk());
    const QStringList twins = found->filter("试卷");
    ASSERT_EQ(twins.size(), 2) << found->join('\n').toStdString();
    EXPECT_TRUE(twins[0].startsWith("在第1考场1号和2号座位的考生试卷相同"));
    EXPECT_TRUE(twins[1].startsWith("在第1考场1号和6号座位的考生试卷相同"));
}

// Every output that names a desk names its version: the seat chart's desks, the seat and exam
// number labels, the room list's column and the ticket's seat.
TEST_F(VersionRunTest, TheOutputsNameEachDesksVersion)
{
    ASSERT_TRUE(run(Settings::Versions::AB, false).isOk());
    const QStringList seat6 =
        t.rows("SELECT 考号, 试卷 FROM 考生表 WHERE 考场 = 1 AND 座位号 = 6")[0].split('\t');
    ASSERT_EQ(seat6[1], "B"); // beside seat 1 in the front row

    Grid chart;
    ASSERT_TRUE(SeatChart::build(t.db, chart, {1, SeatOrder::ByColumn}).isOk());
    bool found = false;
    for (int r = 1; r < chart.rows(); ++r)
        found = found || chart.cellText(r, 2).startsWith(seat6[0] + " B卷\n");
    EXPECT_TRUE(found);

    Grid labels;
    DeskLabelSettings s;
    s.room = "1";
    ASSERT_TRUE(DeskLabels::build(t.db, s, labels).isOk());
    EXPECT_EQ(labels.cellText(2, 1), "06 B");
    s.kind = DeskLabelSettings::Kind::ExamNumber;
    ASSERT_TRUE(DeskLabels::build(t.db, s, labels).isOk());
    EXPECT_EQ(labels.cellText(3, 2), seat6[0] + " B"); // the sixth number

    Grid list;
    ASSERT_TRUE(ExamListings::roomList(t.db, list, 1).isOk());
    EXPECT_EQ(list.cellText(1, 5), "A");

    Grid ticketTemplate;
    TicketTemplates::build(ticketTemplate, TicketSettings::Layout::Standard);
    TicketSettings tickets;
    tickets.grouping = TicketSettings::Grouping::ByRoom;
    tickets.groups = {"1"};
    Grid doc;
    ASSERT_TRUE(TicketProduction::build(t.db, ticketTemplate, tickets, doc).isOk());
    EXPECT_EQ(doc.cellText(11 * 5 + 6, 4), "6（B卷）"); // block 6, the seat's row
    tickets.rowFields[5] = "试卷";
    ASSERT_TRUE(TicketProduction::build(t.db, ticketTemplate, tickets, doc).isOk());
    EXPECT_EQ(doc.cellText(9, 11), "A");
}
