#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "support/arrangementdata.h"
#include "support/literalarrangement.h"
#include "support/tempdata.h"

#include <limits>
#include <set>

using namespace fenpai;
using fenpai::test::Pupil;
using Settings = ArrangementSettings;
using Mode = Settings::Mode;

namespace {

Settings withMode(Mode mode)
{
    Settings s;
    s.mode = mode;
    return s;
}

Pupil pupil(const QString &school, const QString &className, const QString &name, double score)
{
    return {school, className, name, score};
}

class ArrangementTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::createArrangementTables(t.db).isOk()); }

    void pupils(const std::vector<Pupil> &list) { ASSERT_TRUE(test::addPupils(t.db, list).isOk()); }
    void rooms(const QVariantList &capacities)
    {
        ASSERT_TRUE(test::addRooms(t.db, capacities).isOk());
    }

    Result<ArrangementOutcome> run(const Settings &settings)
    {
        return Arrangement::run(t.db, settings);
    }
    void runOk(const Settings &settings)
    {
        const Result<ArrangementOutcome> r = run(settings);
        ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    }

    // Names in seating order: room by room, seat by seat.
    QStringList seatingOrder()
    {
        return t.rows("SELECT 姓名 FROM 考生表 WHERE 考场 > 0 ORDER BY 考场, 座位号");
    }
    QStringList table() { return t.rows("SELECT * FROM 考生表 ORDER BY rowid"); }

    test::TempData t;
};

// Four classes of three pupils, the classes in order c1..c4, scores 9x, 8x, 7x.
std::vector<Pupil> fourClasses()
{
    std::vector<Pupil> list;
    for (int c = 1; c <= 4; ++c) {
        for (int s : {90, 80, 70})
            list.push_back(pupil("一中", QStringLiteral("c%1").arg(c),
                                 QStringLiteral("c%1-%2").arg(c).arg(s + c), s + c));
    }
    return list;
}

} // namespace

TEST_F(ArrangementTest, RoomsHoldingExactlyEveryExamineeAreEnoughOneMoreIsRefused)
{
    pupils({pupil("一中", "1班", "甲", 90),
            pupil("一中", "1班", "乙", 80),
            pupil("一中", "2班", "丙", 70),
            {"一中", "2班", {}, 60}}); // no name: not counted
    rooms({2, 1});
    runOk(withMode(Mode::ScoreOnly));

    pupils({pupil("二中", "1班", "丁", 50)});
    const QStringList before = table();
    for (Mode mode : {Mode::GroupMix, Mode::ScoreMix, Mode::ScoreOnly}) {
        const Result<ArrangementOutcome> r = run(withMode(mode));
        ASSERT_FALSE(r.isOk());
        EXPECT_EQ(r.status().kind(), Status::Kind::Refused);
        EXPECT_EQ(r.status().message(),
                  QStringLiteral("  你设置的考场数太少(2)或每个考场的考生数太少,以至不能容纳\n"
                                 "所有学生,请在原电子表格文件中修改,完成后重新导放数据"));
        EXPECT_EQ(table(), before);
    }
}

TEST(ArrangementBlocks, GroupMatrices)
{
    using Blocks = std::vector<std::vector<int>>;
    struct Case
    {
        int groups, perRoom;
        bool adjacent;
        Blocks blocks;
    };
    const std::vector<Case> cases = {
        {10, 3, true, {{0, 1, 2}, {3, 4, 5}, {6, 7, 8}, {9}}},
        {10, 3, false, {{0, 3, 6}, {1, 4, 7}, {2, 5, 8}, {9}}},
        {8, 3, false, {{0, 2, 4}, {1, 3, 5}, {6, 7}}},
        {5, 0, false, {}},
        {5, 6, true, {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Arrangement::groupBlocks(c.groups, c.perRoom, c.adjacent), c.blocks)
            << c.groups << " groups, " << c.perRoom << " per room, adjacent " << c.adjacent;

    // Every group lands in exactly one cell, and no block holds more than N.
    for (int g = 1; g <= 40; ++g) {
        for (int n = 1; n <= g; ++n) {
            for (bool adjacent : {false, true}) {
                const Blocks blocks = Arrangement::groupBlocks(g, n, adjacent);
                std::multiset<int> seen;
                for (const auto &block : blocks) {
                    EXPECT_LE(static_cast<int>(block.size()), n);
                    EXPECT_FALSE(block.empty());
                    seen.insert(block.begin(), block.end());
                }
                EXPECT_EQ(static_cast<int>(blocks.size()), (g + n - 1) / n);
                EXPECT_EQ(static_cast<int>(seen.size()), g) << g << '/' << n;
                EXPECT_EQ(static_cast<int>(std::set<int>(seen.begin(), seen.end()).size()), g);
            }
        }
    }
}

TEST_F(ArrangementTest, GroupMixAlternatesTheGroupsOfEachBlock)
{
    pupils(fourClasses());
    rooms({6, 6});
    struct Case
    {
        const char *what;
        QString perRoom;
        QStringList seating;
    };
    // The first six seats show the order of a block; the rest repeat it.
    const QStringList spread = {"c1-91", "c3-93", "c1-81", "c3-83", "c1-71", "c3-73"};
    const std::vector<Case> cases = {
        {"spread blocks {1,3} {2,4}, best first", "2", spread},
        {"N read as typed and rounded half to even: 2.5 is 2", "2.5 个", spread},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Settings s;
        s.groupsPerRoom = Settings::parseGroupsPerRoom(c.perRoom);
        runOk(s);
        EXPECT_EQ(seatingOrder().mid(0, 6), c.seating);
        EXPECT_EQ(t.rows("SELECT min(考号), max(考号), count(*) FROM 考生表 WHERE 座位号 > 0"),
                  QStringList{"2100001\t2100012\t12"});
    }
}

TEST_F(ArrangementTest, GroupCountOutOfRangeIsRefusedWithItsOwnMessage)
{
    pupils(fourClasses());
    pupils({pupil("二中", "c1", "x", 50)});
    rooms({20});
    const QString classes = QStringLiteral("错误!每个考场的班级数不能大于班级总数 (5) 或不能小于1");
    const QString schools = QStringLiteral("错误!每个考场的学校数不能大于学校总数(2)或不能小于1");
    const QStringList before = table();
    const std::vector<std::tuple<Settings::GroupKind, QString, QString>> cases = {
        {Settings::GroupKind::Class, "0.9", classes},
        {Settings::GroupKind::Class, "5.6", classes},
        {Settings::GroupKind::School, "3", schools},
    };
    for (const auto &[kind, perRoom, message] : cases) {
        Settings s;
        s.groupKind = kind;
        s.groupsPerRoom = Settings::parseGroupsPerRoom(perRoom);
        const Result<ArrangementOutcome> r = run(s);
        ASSERT_FALSE(r.isOk()) << perRoom.toStdString();
        EXPECT_EQ(r.status().kind(), Status::Kind::Refused);
        EXPECT_EQ(r.status().message(), message);
        EXPECT_EQ(table(), before);
    }
    Settings bySchool;
    bySchool.groupKind = Settings::GroupKind::School;
    bySchool.groupsPerRoom = 2;
    runOk(bySchool);
    // Schools alternate: 一中 has 12 examinees, 二中 one.
    EXPECT_EQ(seatingOrder().mid(0, 3), (QStringList{"c4-94", "x", "c3-93"}));
}

TEST(ArrangementNumbers, RoomSeatNumbers)
{
    struct Case
    {
        QString prefix;
        int room, seat;
        qint64 expected;
    };
    const std::vector<Case> cases = {
        {"210", 12, 5, 21001205},
        {"210", 1000, 100, 2101000100},
        {"0", 12, 5, 1205},
        {"1234567890123", 999, 99, 123456789012399999},
    };
    for (const Case &c : cases) {
        const Result<QString> prefix = Settings::parsePrefix(c.prefix);
        ASSERT_TRUE(prefix.isOk());
        EXPECT_EQ(Arrangement::roomSeatNumber(*prefix, c.room, c.seat), c.expected)
            << c.prefix.toStdString() << ' ' << c.room << ' ' << c.seat;
    }
}

// The start number and the prefix are read where they are typed; what they cannot number is
// known only with the data.
TEST(ArrangementNumbers, StartNumbersAndPrefixesThatCannotNumberEveryoneAreRefused)
{
    const QString start = "“起始考号”必须是不小于1的整数，只能由数字组成。";
    const QString startLong = "“起始考号”太长，最多18位。";
    const QString prefix = "“前缀固定号”只能由数字组成。";
    const QString noPrefix = "“前缀固定号”不能为空";
    const struct
    {
        Settings::Numbering numbering;
        QString text;
        QString message; // empty: accepted
    } typed[] = {
        {Settings::Numbering::Consecutive, "0", start},
        {Settings::Numbering::Consecutive, "2100001x", start},
        // Too long is said as such, counted without leading zeros.
        {Settings::Numbering::Consecutive, "99999999999999999999", startLong},
        {Settings::Numbering::Consecutive, "1000000000000000000", startLong},
        {Settings::Numbering::Consecutive, "999999999999999999", {}},
        {Settings::Numbering::Consecutive, "0000999999999999999999", {}},
        {Settings::Numbering::Consecutive, " 2100001 ", {}},
        {Settings::Numbering::RoomSeat, "21-0", prefix},
        // Without a prefix the numbers would differ in length: 101 for room 1, 10001 for 100.
        {Settings::Numbering::RoomSeat, "  ", noPrefix},
        {Settings::Numbering::RoomSeat, "0", {}},
    };
    for (const auto &c : typed) {
        const Status status = c.numbering == Settings::Numbering::Consecutive
                                  ? Settings::parseStartNumber(c.text).status()
                                  : Settings::parsePrefix(c.text).status();
        EXPECT_EQ(status.message(), c.message) << c.text.toStdString();
    }

    const QString startTooLarge = "“起始考号”太大：1200名考生的考号都不能超过18位。";
    const QString prefixTooLong = "“前缀固定号”太长：前缀、考场号和座位号合起来不能超过18位。";
    Settings s;
    s.startNumber = 999999999999998801;
    EXPECT_EQ(Arrangement::checkNumbering(s, 1200, 40, 30).message(), startTooLarge);
    s.startNumber = 999999999999998800; // the last one is 999999999999999999
    EXPECT_TRUE(Arrangement::checkNumbering(s, 1200, 40, 30).isOk());
    s.numbering = Settings::Numbering::RoomSeat;
    s.prefix = "1234567890123"; // 13 + 3 + 2 digits
    EXPECT_TRUE(Arrangement::checkNumbering(s, 1200, 40, 30).isOk());
    s.prefix = "12345678901234";
    EXPECT_EQ(Arrangement::checkNumbering(s, 1200, 40, 30).message(), prefixTooLong);
    // Rooms past 999 and seats past 99 take more digits.
    s.prefix = "123456789012";
    EXPECT_TRUE(Arrangement::checkNumbering(s, 10, 999, 99).isOk());
    EXPECT_EQ(Arrangement::checkNumbering(s, 10, 1000, 100).message(), prefixTooLong);
}

TEST_F(ArrangementTest, RefusedNumberingsLeaveTheTableAsItWas)
{
    pupils(fourClasses());
    rooms({20});
    const QStringList before = table();
    for (Mode mode : {Mode::GroupMix, Mode::ScoreMix, Mode::ScoreOnly}) {
        Settings s = withMode(mode);
        s.startNumber = 999999999999999995; // 12 examinees would need 19 digits
        const Result<ArrangementOutcome> r = run(s);
        ASSERT_FALSE(r.isOk());
        EXPECT_EQ(r.status().kind(), Status::Kind::Refused);
        EXPECT_EQ(table(), before);
    }
}

TEST_F(ArrangementTest, EighteenDigitNumbersAreStoredExactly)
{
    // The import gives 考号 NUMERIC; a REAL column cannot keep 18 digits.
    ASSERT_TRUE(t.db.execNative("DROP TABLE 考生表; CREATE TABLE 考生表 (学校 TEXT, 班级 TEXT, "
                                "姓名 TEXT, 性别 TEXT, 成绩 REAL, 考场 REAL, 考号 NUMERIC, "
                                "座位号 REAL)")
                    .isOk());
    pupils(fourClasses());
    rooms({5, 5, 5});
    Settings s = withMode(Mode::ScoreOnly);
    s.startNumber = 900000000000000001;
    runOk(s);
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected.append(QStringLiteral("9000000000000000%1").arg(i, 2, 10, QLatin1Char('0')));
    EXPECT_EQ(t.rows("SELECT 考号 FROM 考生表 ORDER BY 考场, 座位号"), expected);
    EXPECT_EQ(t.rows("SELECT count(DISTINCT 考号), typeof(考号) FROM 考生表"),
              QStringList{"12	integer"});

    s.numbering = Settings::Numbering::RoomSeat;
    s.prefix = "1234567890123";
    runOk(s);
    EXPECT_EQ(t.rows("SELECT 考号 FROM 考生表 ORDER BY 考场, 座位号").mid(4, 2),
              (QStringList{"123456789012300105", "123456789012300201"}));

    // A REAL column would round them: the run says so instead of storing wrong numbers.
    test::TempData real;
    ASSERT_TRUE(test::createArrangementTables(real.db).isOk());
    ASSERT_TRUE(test::addPupils(real.db, fourClasses()).isOk());
    ASSERT_TRUE(test::addRooms(real.db, {20}).isOk());
    const Result<ArrangementOutcome> r = Arrangement::run(real.db, s);
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().message(),
              "考号123456789012300112超过15位，考生表的“考号”列是小数列，存不下这么长的整数，"
              "请重新导入考生表后再编排。");
}

TEST_F(ArrangementTest, TwoExamineesWithOneNumberAreRefused)
{
    // Room 100 seat 101 and room 1001 seat 1 both read 9100101 after the prefix 9.
    QVariantList capacities(1001, 0);
    capacities[99] = 101;
    capacities[1000] = 1;
    rooms(capacities);
    std::vector<Pupil> list;
    for (int i = 0; i < 102; ++i)
        list.push_back(pupil("一中", "1班", QStringLiteral("考生%1").arg(i), 100 - i % 50));
    pupils(list);
    const QStringList before = table();
    Settings s = withMode(Mode::ScoreOnly);
    s.numbering = Settings::Numbering::RoomSeat;
    s.prefix = "9";
    const Result<ArrangementOutcome> r = run(s);
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().message(), "有两名考生的考号都是9100101，考生表未改动。");
    EXPECT_EQ(table(), before);
}

// The reference walks compare blank rows in every mode; this fault was mended in the group walk.
TEST_F(ArrangementTest, ABlankRowWithoutAGroupDoesNotEndTheGroupWalk)
{
    pupils({pupil("一中", "X", "A", 90),
            pupil("一中", "X", "B", 80),
            {"", "", {}, 85, {}, {}, {}},
            {"一中", "Y", "C", 70, 9, 99, 9},
            {"一中", "Y", "D", 60, 9, 98, 8}});
    rooms({5});
    // A blank row that belongs to no group gets no key; its empty number must not put it first
    // and end the seating before anybody sat down. The keyed rows are all seated.
    ASSERT_TRUE(t.db.execNative("UPDATE 考生表 SET 班级 = NULL, 考场 = NULL, 考号 = NULL, "
                                "座位号 = NULL WHERE rowid = 3")
                    .isOk());
    runOk(withMode(Mode::GroupMix));
    EXPECT_EQ(t.rows("SELECT 姓名, 考场, 座位号, 考号 FROM 考生表 ORDER BY rowid"),
              (QStringList{"A\t1\t1\t2100001", "B\t1\t3\t2100003", "\t\t\t", "C\t1\t2\t2100002",
                           "D\t1\t4\t2100004"}));
}

TEST_F(ArrangementTest, RowsPastTheSeatsStayUnseated)
{
    const Pupil empty{};
    // More rows than seats (the capacity check counts names only): the rest stay unseated.
    pupils({pupil("一中", "X", "A", 90), pupil("一中", "X", "B", 80), empty,
            pupil("一中", "Y", "C", 70), empty});
    rooms({2, 1});
    for (const auto &[mode, leftOver] : std::vector<std::pair<Mode, QString>>{
             {Mode::ScoreOnly, ""}, {Mode::ScoreMix, ""}, {Mode::GroupMix, "B"}}) {
        Settings s = withMode(mode);
        s.groupsPerRoom = 1;
        const Result<ArrangementOutcome> r = run(s);
        ASSERT_TRUE(r.isOk());
        EXPECT_EQ(r->seated, 3);
        EXPECT_EQ(r->unseated, 2);
        EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 考场 > 2"), QStringList{"0"});
        const QStringList unseated =
            t.rows("SELECT 姓名, 座位号 FROM 考生表 WHERE 考场 = 0 ORDER BY rowid");
        EXPECT_EQ(unseated.size(), 2);
        EXPECT_TRUE(unseated.contains(leftOver + "\t0")) << unseated.join('|').toStdString();
    }
}

TEST_F(ArrangementTest, NamesWithQuotesAndRepeatedRunsAreSafe)
{
    std::vector<Pupil> list = test::makeYear(60, 3, 6, 5);
    for (size_t i = 0; i < list.size(); i += 3) {
        list[i].school = QStringLiteral("O'Brien 中学");
        list[i].className = QStringLiteral("初三'%1'班");
    }
    pupils(list);
    rooms({25, 25, 25});
    for (Mode mode : {Mode::GroupMix, Mode::ScoreMix, Mode::ScoreOnly}) {
        for (auto kind : {Settings::GroupKind::Class, Settings::GroupKind::School}) {
            Settings s = withMode(mode);
            s.groupKind = kind;
            s.groupsPerRoom = 2;
            runOk(s);
            const QStringList first = table();
            runOk(s);
            EXPECT_EQ(table(), first);
            EXPECT_EQ(t.rows("SELECT count(*) FROM 考生表 WHERE 座位号 > 0"), QStringList{"60"});
        }
    }
}

TEST_F(ArrangementTest, MatchesTheStepByStepWalks)
{
    // Awkward tables: ties, a null score, a null school, a null class, entirely null rows, rooms
    // of no or unreadable capacity, a blank row with stale results after it.
    auto build = [](Database &db, unsigned seed, bool withBlank) {
        std::vector<Pupil> list = test::makeYear(90, 3, 7, seed);
        list[5].score = QVariant();
        list[8].school = QVariant();
        list[13].className = QVariant();
        list.insert(list.begin() + 20, Pupil{});
        list.push_back(Pupil{});
        if (withBlank) {
            list.insert(list.begin() + 70, Pupil{"", QVariant(), {}, 55});
            for (size_t i = 71; i < list.size(); i += 2)
                list[i].room = 2, list[i].number = 7, list[i].seat = 1;
        }
        EXPECT_TRUE(
            db.execNative("DROP TABLE IF EXISTS 考生表; DROP TABLE IF EXISTS 考场表").isOk());
        EXPECT_TRUE(test::createArrangementTables(db).isOk());
        EXPECT_TRUE(test::addPupils(db, list).isOk());
        EXPECT_TRUE(test::addRooms(db, {20, 0, "abc", 17, 30, 40}).isOk());
    };
    std::vector<Settings> settings;
    for (Mode mode : {Mode::GroupMix, Mode::ScoreMix, Mode::ScoreOnly}) {
        for (auto order : {Settings::ScoreOrder::Similar, Settings::ScoreOrder::Random,
                           Settings::ScoreOrder::Spread}) {
            for (bool adjacent : {false, true}) {
                Settings s = withMode(mode);
                s.scoreOrder = order;
                s.adjacentGroups = adjacent;
                s.groupsPerRoom = adjacent ? 3 : 2;
                s.groupKind = order == Settings::ScoreOrder::Random ? Settings::GroupKind::School
                                                                    : Settings::GroupKind::Class;
                s.numbering =
                    adjacent ? Settings::Numbering::RoomSeat : Settings::Numbering::Consecutive;
                settings.push_back(s);
                if (mode != Mode::GroupMix)
                    break;
            }
            if (mode != Mode::GroupMix)
                break;
        }
    }
    test::TempData fast;
    test::TempData walked;
    for (Database *db : {&fast.db, &walked.db})
        ASSERT_TRUE(
            db->execNative("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY").isOk());
    for (unsigned seed : {1u, 2u}) {
        for (bool withBlank : {false, true}) {
            for (const Settings &s : settings) {
                SCOPED_TRACE(testing::Message()
                             << "seed " << seed << " blank " << withBlank << " mode "
                             << static_cast<int>(s.mode) << " order "
                             << static_cast<int>(s.scoreOrder) << " adjacent " << s.adjacentGroups);
                build(fast.db, seed, withBlank);
                build(walked.db, seed, withBlank);
                const Result<ArrangementOutcome> r = Arrangement::run(fast.db, s);
                ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
                const Status w = LiteralArrangement::run(walked.db, s, false);
                ASSERT_TRUE(w.isOk()) << w.message().toStdString();
                const QString all = "SELECT * FROM 考生表 ORDER BY rowid";
                EXPECT_EQ(fast.rows(all), walked.rows(all));
            }
        }
    }
}

TEST_F(ArrangementTest, AFailedOrCancelledRunLeavesTheTableAsItWas)
{
    pupils(test::makeYear(50, 2, 4, 3));
    rooms({30, 30});
    const QStringList before = table();

    int calls = 0;
    const Result<ArrangementOutcome> cancelled =
        Arrangement::run(t.db, withMode(Mode::ScoreMix), [&](int done, int total) {
            ++calls;
            EXPECT_LE(done, total);
            return false;
        });
    ASSERT_FALSE(cancelled.isOk());
    EXPECT_EQ(cancelled.status().kind(), Status::Kind::Cancelled);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(table(), before);

    ASSERT_TRUE(t.db.execNative("CREATE TRIGGER stop BEFORE UPDATE ON 考生表 WHEN old.rowid = 40 "
                                "BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                    .isOk());
    const Result<ArrangementOutcome> failed = run(withMode(Mode::ScoreOnly));
    ASSERT_FALSE(failed.isOk());
    EXPECT_TRUE(failed.status().message().startsWith(QStringLiteral("编排失败，考生表未改动：")))
        << failed.status().message().toStdString();
    EXPECT_EQ(table(), before);
    EXPECT_FALSE(t.db.inTransaction());
    // The larger page cache of a run is the connection's own setting again afterwards.
    EXPECT_EQ(t.rows("PRAGMA cache_size"), QStringList{"-2000"});
}

TEST_F(ArrangementTest, EmptyAndMissingTablesAndColumnsAreNamed)
{
    rooms({20});
    for (Mode mode : {Mode::GroupMix, Mode::ScoreMix, Mode::ScoreOnly})
        EXPECT_EQ(run(withMode(mode)).status().message(), "考生表中没有考生");

    test::TempData empty;
    Result<ArrangementOutcome> r = Arrangement::run(empty.db, Settings());
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().message(), QStringLiteral("找不到数据表 考生表，请先导入考场编排数据。"));

    ASSERT_TRUE(empty.db
                    .execNative("CREATE TABLE 考生表 (学校 TEXT, 班级 TEXT, 姓名 TEXT, 成绩 "
                                "REAL, 考场 REAL, 座位号 REAL); CREATE TABLE 考场表 (a, b)")
                    .isOk());
    r = Arrangement::run(empty.db, Settings());
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().kind(), Status::Kind::MissingColumn);
    EXPECT_TRUE(r.status().message().contains(QStringLiteral("考号")));
    EXPECT_FALSE(ArrangementCounts::read(empty.db).isOk());
}

TEST_F(ArrangementTest, CountsInOrderOfFirstAppearance)
{
    pupils({pupil("二中", "2班", "a", 1),
            pupil("一中", "1班", "b", 2),
            pupil("二中", "1班", "c", 3),
            pupil("二中", "2班", "d", 4),
            {"一中", "1班", {}, 5}});
    rooms({30, QVariant(), "abc", 12.5, 13.5, -3, " 7 "});
    const Result<ArrangementCounts> counts = ArrangementCounts::read(t.db);
    ASSERT_TRUE(counts.isOk());
    EXPECT_EQ(counts->examinees, 4);
    EXPECT_EQ(counts->schools, (QList<QVariant>{"二中", "一中"}));
    ASSERT_EQ(counts->classCount(), 3);
    EXPECT_EQ(counts->classes[1].school, "一中");
    EXPECT_EQ(counts->classes[2].className, "1班");
    EXPECT_EQ(counts->capacities, (std::vector<int>{30, 0, 0, 12, 14, 0, 7}));
    EXPECT_EQ(counts->roomCaption(), "考场数 7 (1--7)");

    test::TempData empty;
    ASSERT_TRUE(test::createArrangementTables(empty.db).isOk());
    Result<ArrangementCounts> none = ArrangementCounts::read(empty.db);
    ASSERT_TRUE(none.isOk());
    EXPECT_EQ(none->roomCaption(), "考场数 0");
    EXPECT_FALSE(none->roomsTooSmall());
    ASSERT_TRUE(test::addPupils(empty.db, {pupil("一中", "1班", "a", 1)}).isOk());
    EXPECT_TRUE(ArrangementCounts::read(empty.db)->roomsTooSmall());
}

TEST(ArrangementSettingsTest, TheStoredSettingsComeBackAndDamageIsRefused)
{
    Settings a;
    Settings b;
    b.mode = Mode::ScoreMix;
    b.groupKind = Settings::GroupKind::School;
    b.groupsPerRoom = 7;
    b.adjacentGroups = true;
    b.scoreOrder = Settings::ScoreOrder::Spread;
    b.numbering = Settings::Numbering::RoomSeat;
    b.startNumber = 123456789012345;
    b.prefix = "0210";
    b.separateClassmates = true;
    b.seatOrder = SeatOrder::ByColumnSnake;
    b.versions = Settings::Versions::ABCD;
    for (const Settings &s : {a, b}) {
        const Result<Settings> back = Settings::fromStored(s.stored());
        ASSERT_TRUE(back.isOk()) << back.status().message().toStdString();
        EXPECT_EQ(back->mode, s.mode);
        EXPECT_EQ(back->groupKind, s.groupKind);
        EXPECT_EQ(back->groupsPerRoom, s.groupsPerRoom);
        EXPECT_EQ(back->adjacentGroups, s.adjacentGroups);
        EXPECT_EQ(back->scoreOrder, s.scoreOrder);
        EXPECT_EQ(back->numbering, s.numbering);
        EXPECT_EQ(back->startNumber, s.startNumber);
        EXPECT_EQ(back->prefix, s.prefix);
        EXPECT_EQ(back->separateClassmates, s.separateClassmates);
        EXPECT_EQ(back->seatOrder, s.seatOrder);
        EXPECT_EQ(back->versions, s.versions);
    }
    // A record kept before paper versions came has none.
    QMap<QString, QString> older = b.stored();
    older.remove("试卷版本");
    EXPECT_EQ(Settings::fromStored(older)->versions, Settings::Versions::None);
    const std::vector<std::pair<QString, QString>> damage = {
        {"编排方式", "4"}, {"起始考号", "0"}, {"前缀", " 210"}, {"试卷版本", "AB"}};
    for (const auto &[key, value] : damage) {
        QMap<QString, QString> values = a.stored();
        values[key] = value;
        EXPECT_EQ(Settings::fromStored(values).status().message(),
                  "数据库中保存的上次编排设置已损坏。")
            << key.toStdString();
    }
}
