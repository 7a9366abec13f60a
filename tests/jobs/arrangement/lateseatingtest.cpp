#include "jobs/arrangement/lateseating.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/reports/mixingcheck.h"

#include "grid/grid.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::Pupil;
using Settings = ArrangementSettings;
using Mode = Settings::Mode;

namespace {

class LateSeatingTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::createArrangementTables(t.db).isOk()); }

    void pupils(const std::vector<Pupil> &list) { ASSERT_TRUE(test::addPupils(t.db, list).isOk()); }
    void rooms(const QVariantList &capacities)
    {
        ASSERT_TRUE(test::addRooms(t.db, capacities).isOk());
    }
    void arrange(const Settings &settings)
    {
        const Result<ArrangementOutcome> r = Arrangement::run(t.db, settings);
        ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    }
    SeatingOutcome seatLate(const std::optional<Settings> &settings = std::nullopt)
    {
        Result<SeatingOutcome> r = LateSeating::run(t.db, settings);
        EXPECT_TRUE(r.isOk()) << r.status().message().toStdString();
        return r ? *r : SeatingOutcome();
    }
    // Room, seat and number of every row, by rowid.
    QStringList results()
    {
        return t.rows("SELECT rowid, 考场, 座位号, 考号 FROM 考生表 ORDER BY rowid");
    }
    QStringList seatOf(const QString &name)
    {
        return t.rows("SELECT 考场, 座位号, 考号 FROM 考生表 WHERE 姓名 = '" + name + "'");
    }

    test::TempData t;
};

Settings scoreOnly(qint64 start = 1001)
{
    Settings s;
    s.mode = Mode::ScoreOnly;
    s.startNumber = start;
    return s;
}

// n examinees of class `className` with scores from `top` down.
std::vector<Pupil> classOf(const QString &className, int n, int top)
{
    std::vector<Pupil> list;
    for (int i = 0; i < n; ++i)
        list.push_back({"一中", className, className + QString::number(i + 1), double(top - i)});
    return list;
}

} // namespace

TEST_F(LateSeatingTest, NumbersFollowTheSchemeAndNobodyElseChanges)
{
    for (Settings::Numbering numbering :
         {Settings::Numbering::Consecutive, Settings::Numbering::RoomSeat}) {
        SCOPED_TRACE(static_cast<int>(numbering));
        t.exec({"DELETE FROM 考生表", "DELETE FROM 考场表"});
        pupils(classOf("1班", 10, 100));
        rooms({4, 4, 4});
        Settings s = scoreOnly();
        s.numbering = numbering;
        arrange(s);
        // Two withdraw from room 1 (seats 2 and 3), two register late.
        t.exec({"DELETE FROM 考生表 WHERE 姓名 IN ('1班2', '1班3')"});
        const QStringList before = results();
        pupils({{"一中", "1班", "迟到甲", 99.5}, {"一中", "1班", "迟到乙", 10}});

        const SeatingOutcome out = seatLate();
        ASSERT_EQ(out.seated.size(), 2u);
        EXPECT_EQ(out.freeSeatsLeft, 2);
        EXPECT_EQ(out.settings.numbering, numbering);
        QStringList after = results();
        after.removeLast();
        after.removeLast();
        EXPECT_EQ(after, before);
        if (numbering == Settings::Numbering::Consecutive) {
            // After the highest number held (1010), in room and seat order. Room 3's last seat
            // has no classmate beside it.
            EXPECT_EQ(seatOf("迟到甲"), QStringList{"1\t2\t1011"});
            EXPECT_EQ(seatOf("迟到乙"), QStringList{"3\t4\t1012"});
        } else {
            EXPECT_EQ(seatOf("迟到甲"), QStringList{"1\t2\t21000102"});
            EXPECT_EQ(seatOf("迟到乙"), QStringList{"3\t4\t21000304"});
        }
    }
}

TEST_F(LateSeatingTest, GroupMixingPrefersARoomThatHoldsTheClass)
{
    std::vector<Pupil> list;
    for (const char *c : {"c1", "c2", "c3", "c4"}) {
        const std::vector<Pupil> one = classOf(c, 3, 90);
        list.insert(list.end(), one.begin(), one.end());
    }
    pupils(list);
    rooms({5, 5, 5});
    Settings s;
    s.groupsPerRoom = 2;
    s.adjacentGroups = true; // blocks {c1, c2}, {c3, c4}: rooms 1 and 2, then 2 and 3
    arrange(s);
    ASSERT_EQ(t.rows("SELECT DISTINCT 班级 FROM 考生表 WHERE 考场 = 1 ORDER BY 1"),
              (QStringList{"c1", "c2"}));
    t.exec({"DELETE FROM 考生表 WHERE rowid = (SELECT min(rowid) FROM 考生表 WHERE 考场 = 1 AND "
            "班级 = 'c1')"});
    pupils({{"一中", "c4", "晚c4", 50}, {"一中", "c1", "晚c1", 50}, {"一中", "c1", "又晚c1", 50}});
    const SeatingOutcome out = seatLate();
    ASSERT_EQ(out.seated.size(), 3u);
    EXPECT_EQ(seatOf("晚c1").value(0).section('\t', 0, 0), "1"); // the seat left in room 1
    EXPECT_EQ(seatOf("晚c4").value(0).section('\t', 0, 0), "3");
    EXPECT_EQ(seatOf("又晚c1").value(0).section('\t', 0, 0), "3"); // room 1 is full again
}

TEST_F(LateSeatingTest, ScoreModesPreferTheRoomOfNearestScores)
{
    for (Mode mode : {Mode::ScoreMix, Mode::ScoreOnly}) {
        SCOPED_TRACE(static_cast<int>(mode));
        t.exec({"DELETE FROM 考生表", "DELETE FROM 考场表"});
        std::vector<Pupil> list = classOf("1班", 6, 100);
        const std::vector<Pupil> other = classOf("2班", 6, 94);
        list.insert(list.end(), other.begin(), other.end());
        pupils(list);
        rooms({4, 4, 4, 4}); // 100-97, 96-93, 92-89, room 4 empty
        Settings s = scoreOnly();
        s.mode = mode;
        arrange(s);
        t.exec({"DELETE FROM 考生表 WHERE 成绩 IN (99, 90)"});
        pupils({{"一中", "3班", "高分", 98.5},
                {"一中", "3班", "低分", 20},
                {"一中", "3班", "次高", 97}});
        seatLate();
        EXPECT_EQ(seatOf("高分").value(0).section('\t', 0, 0), "1");
        EXPECT_EQ(seatOf("低分").value(0).section('\t', 0, 0), "3");
        // Rooms 1 and 3 are full again: the room nobody sits in comes last, but it comes.
        EXPECT_EQ(seatOf("次高").value(0).section('\t', 0, 0), "4");
    }
}

TEST_F(LateSeatingTest, TooFewFreeSeatsAreRefusedAndNothingChanges)
{
    pupils(classOf("1班", 7, 100));
    rooms({4, 4});
    arrange(scoreOnly());
    pupils({{"一中", "1班", "甲", 1}, {"一中", "1班", "乙", 2}, {"一中", "1班", "丙", 3}});
    const QStringList before = results();
    const Result<SeatingOutcome> r = LateSeating::run(t.db);
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().message(),
              "考场空座位不够：新增考生3人，空座位只有1个，还缺2个座位。考生表未改动。");
    EXPECT_EQ(results(), before);
    EXPECT_EQ(LateSeating::lateExamineeCount(t.db).value(), 3);
}

TEST_F(LateSeatingTest, TheFreeSeatBesideNoClassmateIsTaken)
{
    // One room of 10 desks, 2 rows × 5 columns numbered by column: seat 7 stands beside seat 5,
    // seat 8 beside seat 6.
    std::vector<Pupil> list = classOf("乙班", 6, 100);
    list[4].className = "甲班";
    pupils(list);
    rooms({10});
    arrange(scoreOnly());
    pupils({{"一中", "甲班", "晚甲", 1}, {"一中", "乙班", "晚乙", 1}});
    const SeatingOutcome out = seatLate();
    ASSERT_EQ(out.seated.size(), 2u);
    EXPECT_EQ(seatOf("晚甲").value(0).section('\t', 1, 1), "8");
    EXPECT_FALSE(out.seated[1].besideClassmate);
    // 晚乙 then takes seat 7: both its neighbours hold 甲班.
    EXPECT_EQ(seatOf("晚乙").value(0).section('\t', 1, 1), "7");
}

TEST_F(LateSeatingTest, SettingsComeFromTheLastRunOrAreRefused)
{
    pupils(classOf("1班", 3, 100));
    rooms({4});
    pupils({{"一中", "1班", "晚", 1}});
    // Nothing arranged: no settings, and with settings nobody to continue from.
    Result<SeatingOutcome> r = LateSeating::run(t.db);
    EXPECT_EQ(r.status().message(), LateSeating::noSettingsMessage());
    r = LateSeating::run(t.db, scoreOnly());
    EXPECT_EQ(r.status().message(), "考生表中还没有编排好的考生，请先编排。");

    Settings s = scoreOnly(7001);
    s.separateClassmates = true;
    s.seatOrder = SeatOrder::ByRow;
    arrange(s); // seats everyone, 晚 included
    const Result<std::optional<Settings>> last = LateSeating::lastSettings(t.db);
    ASSERT_TRUE(last.isOk());
    ASSERT_TRUE(last->has_value());
    EXPECT_EQ((*last)->startNumber, 7001);
    EXPECT_TRUE((*last)->separateClassmates);
    EXPECT_EQ((*last)->seatOrder, SeatOrder::ByRow);

    // A prefix unlike the numbers held cannot continue them.
    t.exec({"UPDATE 考生表 SET 考场 = 0 WHERE 姓名 = '晚'"});
    Settings prefix = scoreOnly();
    prefix.numbering = Settings::Numbering::RoomSeat;
    r = LateSeating::run(t.db, prefix);
    EXPECT_EQ(
        r.status().message(),
        "已编排考生的考号都不是“210+考场号+座位号”，与上次编排的考号生成方式不符，无法接着编号。");
    // Nobody late: nothing to do, nothing refused.
    t.exec({"DELETE FROM 考生表 WHERE 姓名 = '晚'"});
    EXPECT_TRUE(seatLate().seated.empty());
}

// After a run with paper versions, a late examinee's desk takes the version its neighbours leave
// free, the least used of those; the others keep theirs.
TEST_F(LateSeatingTest, LateSeatsTakeTheVersionTheirNeighboursLeave)
{
    // One room of 2 rows × 5 columns by column, 7 seated on a chessboard of versions; seats 8, 9
    // and 10 are free, each beside desks of one version only.
    pupils(classOf("1班", 7, 100));
    rooms({10});
    Settings s = scoreOnly();
    s.versions = Settings::Versions::AB;
    arrange(s);
    const QStringList before = t.rows("SELECT 座位号, 试卷 FROM 考生表 ORDER BY 座位号");
    pupils({{"一中", "2班", "晚一", 1}, {"一中", "3班", "晚二", 1}});
    ASSERT_EQ(seatLate().seated.size(), 2u);
    QStringList after = t.rows("SELECT 座位号, 试卷 FROM 考生表 ORDER BY 座位号");
    for (const QString &row : before)
        EXPECT_TRUE(after.removeOne(row)) << row.toStdString();
    // The late ones got the free seats the version rule allows, and the rule holds.
    ASSERT_EQ(after.size(), 2);
    Result<QStringList> found = MixingCheck::findings(t.db);
    ASSERT_TRUE(found.isOk());
    EXPECT_TRUE(found->filter("试卷").isEmpty()) << found->join('\n').toStdString();
    EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 试卷 IS NULL"), QStringList{"0"});
}

TEST_F(LateSeatingTest, TheListNamesEveryNewSeat)
{
    SeatingOutcome out;
    out.seated.push_back({1, "一中", "1班", "张三", 2, "教学楼2", 5, 2100055, false});
    Grid grid;
    LateSeating::fillList(grid, out, {});
    ASSERT_EQ(grid.rows(), 3) << "the header, one examinee, the blank row";
    QStringList cells;
    for (int c = 1; c < grid.cols(); ++c)
        cells.append(grid.cellText(1, c));
    EXPECT_EQ(cells, (QStringList{"一中", "1班", "张三", "2", "5", "2100055", "教学楼2"}));
}
