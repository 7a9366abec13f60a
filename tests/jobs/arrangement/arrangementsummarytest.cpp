#include "jobs/arrangement/arrangementsummary.h"
#include "jobs/arrangement/arrangement.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

using namespace fenpai;
using fenpai::test::Pupil;
using Settings = ArrangementSettings;

namespace {

// Every field, numbers with their stored type: a real and an integer print alike but are not.
QString describe(const ArrangementSummary &s)
{
    const auto number = [](const QVariant &v) {
        return v.isNull() ? QStringLiteral("-")
                          : QStringLiteral("%1:%2").arg(v.typeName(), v.toString());
    };
    QStringList lines;
    for (const ArrangementSummary::Room &r : s.rooms)
        lines << QStringLiteral("%1: %2 examinees, %3 classes, %4 pairs, %5..%6")
                     .arg(r.room)
                     .arg(r.examinees)
                     .arg(r.classes)
                     .arg(r.classmatePairs)
                     .arg(number(r.firstNumber), number(r.lastNumber));
    lines << QStringLiteral("neighbours %1, pairs %2")
                 .arg(s.sameClassNeighbours)
                 .arg(s.classmatePairs);
    return lines.join(u'\n');
}

// A year with entirely null rows the rooms have no seat for; with `stale`, a blank row after
// which rows keep what an earlier run or a hand left: a taken desk, a room between two, a room
// past the table, a room and an exam number that are texts.
std::vector<Pupil> year(bool stale)
{
    std::vector<Pupil> list = test::makeYear(100, 3, 8, 11);
    list.insert(list.begin() + 10, Pupil{});
    list.push_back(Pupil{});
    if (stale) {
        list.insert(list.begin() + 80, Pupil{"", QVariant(), {}, 55});
        const QVariantList rooms = {2, 2.5, 99, QStringLiteral("第一考场"), 1};
        const QVariantList numbers = {7, 8, 9, 10, QStringLiteral("A1")};
        for (int k = 0; k < rooms.size(); ++k) {
            Pupil &p = list[static_cast<size_t>(81 + 2 * k)];
            p.room = rooms[k];
            p.number = numbers[k];
            p.seat = k + 1;
        }
    }
    return list;
}

} // namespace

// The run's summary comes from its rows in memory; it must be what reading the written table
// back gives, whatever the result columns are declared as (a text 考号 is read back).
TEST(ArrangementSummaryTest, TheRunsSummaryIsTheWrittenTables)
{
    const QStringList declarations = {"REAL, REAL, REAL", "REAL, NUMERIC, REAL",
                                      "REAL, TEXT, REAL"};
    std::vector<Settings> settings(4);
    settings[0].mode = Settings::Mode::ScoreOnly;
    settings[0].separateClassmates = true;
    settings[1].mode = Settings::Mode::ScoreMix;
    settings[1].separateClassmates = true;
    settings[1].numbering = Settings::Numbering::RoomSeat;
    settings[1].seatOrder = SeatOrder::ByColumnSnake;
    settings[2].scoreOrder = Settings::ScoreOrder::Spread;
    settings[2].seatOrder = SeatOrder::ByRow;
    settings[3].groupKind = Settings::GroupKind::School;
    settings[3].groupsPerRoom = 2;
    settings[3].adjacentGroups = true;
    settings[3].separateClassmates = true;
    settings[3].startNumber = 98;

    test::TempData t;
    ASSERT_TRUE(t.db.execNative("PRAGMA synchronous = OFF; PRAGMA journal_mode = MEMORY").isOk());
    int unseated = 0;
    int pairsLeft = 0;
    for (const QString &declared : declarations) {
        for (bool stale : {false, true}) {
            for (const Settings &s : settings) {
                SCOPED_TRACE(testing::Message()
                             << declared.toStdString() << (stale ? ", stale rows" : "") << ", mode "
                             << static_cast<int>(s.mode));
                const QStringList types = declared.split(u',');
                ASSERT_TRUE(
                    t.db.execNative(QStringLiteral("DROP TABLE IF EXISTS 考生表; DROP TABLE IF "
                                                   "EXISTS 考场表; CREATE TABLE 考生表 (学校 TEXT, "
                                                   "班级 TEXT, 姓名 TEXT, 性别 TEXT, 成绩 REAL, "
                                                   "考场 %1, 考号 %2, 座位号 %3); CREATE TABLE "
                                                   "考场表 (考场号 REAL, 人数 REAL, 考场地点 TEXT)")
                                        .arg(types[0], types[1], types[2]))
                        .isOk());
                ASSERT_TRUE(test::addPupils(t.db, year(stale)).isOk());
                // Exactly a seat for every named row, one room without any.
                ASSERT_TRUE(test::addRooms(t.db, {30, 0, 25, 30, 15}).isOk());
                const Result<ArrangementOutcome> r = Arrangement::run(t.db, s);
                ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
                const Result<ArrangementSummary> read = ArrangementSummary::read(t.db, s.seatOrder);
                ASSERT_TRUE(read.isOk()) << read.status().message().toStdString();
                EXPECT_EQ(describe(r->summary), describe(*read));
                unseated += r->unseated;
                pairsLeft += read->classmatePairs;
            }
        }
    }
    // The cases reach what they are meant to.
    EXPECT_GT(unseated, 0);
    EXPECT_GT(pairsLeft, 0);
}
