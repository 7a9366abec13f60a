#include "jobs/reports/examlistings.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/reports/examstatistics.h"
#include "jobs/reports/mixingcheck.h"

#include "grid/grid.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::Pupil;
using fenpai::test::TempData;

namespace {

// Rows 0 .. rows - 2 (the last row is the blank one for new entries), columns 1.. joined by "|".
QStringList table(const Grid &g)
{
    QStringList rows;
    for (int r = 0; r < g.rows() - 1; ++r) {
        QStringList cells;
        for (int c = 1; c < g.cols(); ++c)
            cells.append(g.displayText(r, c));
        rows.append(cells.join(u'|'));
    }
    return rows;
}

class ExamListingsTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::createArrangementTables(t.db).isOk()); }

    // school, class, name, room, exam number, seat; sex alternates 男/女.
    void examinees(const QList<QStringList> &rows)
    {
        int i = 0;
        for (const QStringList &r : rows) {
            t.exec(
                {QStringLiteral("INSERT INTO 考生表 (学校,班级,姓名,性别,考场,考号,座位号) "
                                "VALUES ('%1','%2','%3','%4',%5,%6,%7)")
                     .arg(r[0], r[1], r[2], i++ % 2 ? QStringLiteral("女") : QStringLiteral("男"),
                          r[3], r[4], r[5])});
        }
    }
    void rooms(const QList<QStringList> &rows)
    {
        for (const QStringList &r : rows)
            t.exec({QStringLiteral("INSERT INTO 考场表 VALUES (%1,30,'%2')").arg(r[0], r[1])});
    }

    void standardYear()
    {
        examinees({{"一中", "初三(1)班", "甲", "1", "2100001", "1"},
                   {"二中", "初三(2)班", "乙", "1", "2100002", "2"},
                   {"一中", "初三(2)班", "丙", "2", "2100004", "2"},
                   {"一中", "初三(2)班", "丁", "2", "2100003", "1"},
                   {"二中", "初三(1)班", "戊", "3", "2100007", "3"},
                   {"一中", "初三(2)班", "己", "3", "2100005", "1"},
                   {"二中", "初三(2)班", "庚", "3", "2100006", "2"}});
    }

    TempData t;
    Grid g;
};

TEST_F(ExamListingsTest, RoomListAndFirstLastNumbersPerRoom)
{
    standardYear();
    rooms({{"1", "一楼"}, {"2", "二楼"}, {"3", "三楼"}});
    const Result<ReportDocument> r = ExamListings::roomList(t.db, g, 3);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_EQ(r->titleText, QStringLiteral("第 3 考场考生名单 [3]"));
    EXPECT_EQ(
        table(g),
        (QStringList{"姓名|考场|考号|座位号|性别|学校|班级", "己|3|2100005|1|女|一中|初三(2)班",
                     "庚|3|2100006|2|男|二中|初三(2)班", "戊|3|2100007|3|男|二中|初三(1)班"}));
    ASSERT_EQ(g.reportTitles().size(), 2);
    // The range stands between the report titles of the settings table.
    EXPECT_EQ(g.reportTitles()[1].text,
              QStringLiteral("XX县XX中学|2100005---2100007|2008-2009年度下学期"));
    EXPECT_EQ(g.columnMask(3), GridMask::None) << "exam numbers shown in full";
    EXPECT_EQ(t.rows("select count(*) from NewQry5"), QStringList{"3"});

    // All rooms: every examinee, no range.
    ASSERT_TRUE(ExamListings::roomList(t.db, g, 0).isOk());
    EXPECT_EQ(g.reportTitles()[1].text, QStringLiteral("XX县XX中学||2008-2009年度下学期"));
    EXPECT_EQ(g.rows() - 2, 7);

    // First and last numbers: each location on its room.
    ASSERT_TRUE(ExamListings::firstLast(t.db, g).isOk());
    EXPECT_EQ(table(g), (QStringList{"考场|首考号|尾考号|人数|考场地点", "1|2100001|2100002|2|一楼",
                                     "2|2100003|2100004|2|二楼", "3|2100005|2100007|3|三楼"}));
    EXPECT_EQ(g.columnMask(2), GridMask::None);
    EXPECT_EQ(g.columnMask(3), GridMask::None);
}

TEST_F(ExamListingsTest, ClassListFiltersOneClassAndQuotesNames)
{
    standardYear();
    examinees({{"O''中", "初三(2)班", "辛", "1", "2100008", "3"}});
    Result<ReportDocument> r =
        ExamListings::classList(t.db, g, QStringLiteral("一中"), QStringLiteral("初三(2)班"));
    ASSERT_TRUE(r.isOk());
    EXPECT_EQ(r->title, QStringLiteral("一中 初三(2)班 考场考号表"));
    EXPECT_EQ(
        table(g),
        (QStringList{"姓名|考场|考号|座位号|性别|学校|班级", "丁|2|2100003|1|女|一中|初三(2)班",
                     "丙|2|2100004|2|男|一中|初三(2)班", "己|3|2100005|1|女|一中|初三(2)班"}));
    EXPECT_EQ(g.reportTitles()[1].text, QStringLiteral("XX县XX中学||2008-2009年度下学期"));

    const auto [school, cls] = ExamListings::splitClassCaption(QStringLiteral("O'中/初三(2)班"));
    r = ExamListings::classList(t.db, g, school, cls);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_EQ(g.rows() - 2, 1);
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("辛"));

    ASSERT_TRUE(ExamListings::classList(t.db, g, {}, {}).isOk());
    EXPECT_EQ(g.rows() - 2, 8);
    EXPECT_EQ(g.cellText(1, 6), QStringLiteral("O'中")) << "ordered by school, then class";
}

TEST_F(ExamListingsTest, RoomNumbersThatDifferFromTheOrdinalFollowTheStoredOrder)
{
    // The arrangement seats room ordinal r in the r-th stored row, whatever its number.
    standardYear();
    rooms({{"140", "北楼"}, {"101", "南楼"}, {"120", "东楼"}});
    const Result<ReportDocument> r = ExamListings::roomList(t.db, g, 3);
    ASSERT_TRUE(r.isOk());
    EXPECT_EQ(r->title, QStringLiteral("第 3 考场考生名单（考场号 120）"));
    ASSERT_TRUE(ExamListings::firstLast(t.db, g).isOk());
    EXPECT_EQ(table(g), (QStringList{"考场|首考号|尾考号|人数|考场号|考场地点",
                                     "1|2100001|2100002|2|140|北楼", "2|2100003|2100004|2|101|南楼",
                                     "3|2100005|2100007|3|120|东楼"}));

    // A room without a row in 考场表 gets no location.
    t.exec({"DELETE FROM 考场表 WHERE 考场号=120"});
    ASSERT_TRUE(ExamListings::firstLast(t.db, g).isOk());
    EXPECT_EQ(table(g).last(), QStringLiteral("3|2100005|2100007|3||"));
}

TEST_F(ExamListingsTest, AMissingTableIsNamed)
{
    t.exec({"DROP TABLE 考生表"});
    for (const Status &s :
         {ExamListings::roomList(t.db, g, 1).status(), ExamListings::firstLast(t.db, g).status(),
          ExamStatistics::brief(t.db, g).status(), MixingCheck::findings(t.db).status()})
        EXPECT_EQ(s.message(), QStringLiteral("找不到数据表 考生表，请先导入考场编排数据。"));
}

TEST_F(ExamListingsTest, BriefStatisticsCountsPerRoomAndSchoolUnderATotalsRow)
{
    examinees({{"A", "1班", "甲", "1", "1", "1"},
               {"B", "1班", "乙", "1", "2", "2"},
               {"A", "2班", "丙", "2", "3", "1"},
               {"A", "2班", "丁", "2", "4", "2"},
               {"B", "2班", "戊", "2", "5", "3"}});
    Result<ReportDocument> r = ExamStatistics::brief(t.db, g);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_EQ(table(g), (QStringList{"考场|人数|A|B", "合计|5|3|2", "1|2|1|1", "2|3|2|1"}));
}

TEST_F(ExamListingsTest, SchoolStatisticsNamesClassColumnsByTheirNumber)
{
    examinees({{"一中", "初一(12)班", "甲", "1", "1", "1"},
               {"一中", "初一(1)班", "乙", "1", "2", "2"},
               {"一中", "初一(12)班", "丙", "2", "3", "1"},
               {"二中", "初一(1)班", "丁", "2", "4", "2"}});
    Result<ReportDocument> r = ExamStatistics::school(t.db, g, QStringLiteral("一中"));
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_EQ(r->title, QStringLiteral("一中考场编排统计表"));
    EXPECT_EQ(table(g),
              (QStringList{"考场|人数|第1班|第12班", "合计|3|1|2", "1|2|1|1", "2|1|0|1"}));
}

TEST(ExamStatisticsAliasTest, ClassAliasesAreUnique)
{
    EXPECT_EQ(ExamStatistics::classAliases({"初三(2)班", "2011级(3)班"}),
              (QStringList{"第2班", "第3班"}))
        << "the last run of digits";
    // No digits, or a number already taken: the class name itself.
    EXPECT_EQ(ExamStatistics::classAliases({"甲班", "乙班"}), (QStringList{"甲班", "乙班"}));
    EXPECT_EQ(ExamStatistics::classAliases({"一(1)班", "二(1)班", "考场"}),
              (QStringList{"第1班", "二(1)班", "考场_2"}));
}

TEST_F(ExamListingsTest, OverviewsByClassAndBySchool)
{
    standardYear();
    Result<ReportDocument> r = ExamStatistics::byClass(t.db, g);
    ASSERT_TRUE(r.isOk());
    EXPECT_EQ(table(g), (QStringList{"学校|班级|学生数|男生|女生", "合计||7|4|3",
                                     "一中|初三(1)班|1|1|0", "一中|初三(2)班|3|1|2",
                                     "二中|初三(1)班|1|1|0", "二中|初三(2)班|2|1|1"}));
    ASSERT_TRUE(ExamStatistics::bySchool(t.db, g).isOk());
    EXPECT_EQ(table(g),
              (QStringList{"学校|学生数|男生|女生", "合计|7|4|3", "一中|4|2|2", "二中|3|2|1"}));
}

TEST_F(ExamListingsTest, MixingCheckFindsNeighboursOfOneClass)
{
    EXPECT_EQ(MixingCheck::findings(t.db).value(), QStringList()) << "an empty table is mixed";

    // The best ten share one class, so a score-order arrangement seats them side by side.
    std::vector<Pupil> year;
    for (int i = 0; i < 30; ++i) {
        const QString cls = i < 10 ? QStringLiteral("1班") : QStringLiteral("%1班").arg(2 + i % 2);
        year.push_back({QStringLiteral("一中"), cls, QStringLiteral("生%1").arg(i), 100.0 - i});
    }
    ASSERT_TRUE(test::addPupils(t.db, year).isOk());
    ASSERT_TRUE(test::addRooms(t.db, {10, 10, 10}).isOk());
    ArrangementSettings settings;
    settings.mode = ArrangementSettings::Mode::ScoreOnly;
    ASSERT_TRUE(Arrangement::run(t.db, settings).isOk());

    const Result<QStringList> found = MixingCheck::findings(t.db);
    ASSERT_TRUE(found.isOk());
    // Each names the examinee and the one numbered before, 生n after 生n-1.
    EXPECT_EQ(
        found->value(8),
        QStringLiteral("在第1考场有没混排的9：考号 2100010 生9 与 考号 2100009 生8（一中 1班）"));
    // Then the desks, two rows of five a room: room 1 is one class (13 pairs); rooms 2 and 3
    // alternate two classes down the columns, so each row repeats them side by side (8 each).
    EXPECT_EQ(found->size(), 9 + 13 + 8 + 8);
    EXPECT_EQ(found->value(9), QStringLiteral("在第1考场1号和2号座位的考生同班相邻10：考号 2100001 "
                                              "生0 与 考号 2100002 生1（一中 1班）"));
    EXPECT_EQ(found->value(22),
              QStringLiteral("在第2考场1号和3号座位的考生同班相邻23：考号 2100011 "
                             "生10 与 考号 2100013 生12（一中 2班）"));
}

// Class names repeat across schools: 一中's 1班 next to 二中's 1班 is mixed, in the exam-number
// walk and on the desks alike (one room of five columns, seats numbered down each column).
TEST_F(ExamListingsTest, MixingCheckTellsSchoolsApart)
{
    examinees({{"一中", "1班", "甲", "1", "2100001", "1"},
               {"二中", "1班", "乙", "1", "2100002", "2"},
               {"二中", "1班", "丙", "1", "2100003", "3"},
               {"二中", "2班", "丁", "1", "2100004", "7"}});
    rooms({{"1", "一楼"}});
    const Result<QStringList> found = MixingCheck::findings(t.db);
    ASSERT_TRUE(found.isOk()) << found.status().message().toStdString();
    EXPECT_EQ(*found,
              (QStringList{"在第1考场有没混排的1：考号 2100003 丙 与 考号 2100002 乙（二中 1班）",
                           "在第1考场2号和3号座位的考生同班相邻2：考号 2100002 乙 与 考号 2100003 "
                           "丙（二中 1班）"}));
}

} // namespace
