#include "jobs/reports/seatchart.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/reports/mixingcheck.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"

using namespace fenpai;

namespace {

class SeatChartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, test::makeYear(58, 2, 6, 7)).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30}).isOk());
        ArrangementSettings s;
        s.mode = ArrangementSettings::Mode::ScoreOnly;
        ASSERT_TRUE(Arrangement::run(t.db, s).isOk());
    }

    test::TempData t;
};

} // namespace

TEST_F(SeatChartTest, DesksHoldNumberNameAndClassWhereTheSeatStands)
{
    Grid grid;
    Result<ReportDocument> chart = SeatChart::build(t.db, grid, {1});
    ASSERT_TRUE(chart.isOk()) << chart.status().message().toStdString();
    EXPECT_EQ(grid.cellText(2, 1), "考场地点：教学楼1");
    // Six rows of five desks from grid row 5; seat 7 stands in the front row, second column.
    EXPECT_EQ(grid.rows(), 1 + 4 + 6);
    // The room holds both schools: each desk names its examinee's.
    const QStringList seven =
        t.rows("SELECT 考号, 姓名, 学校, 班级 FROM 考生表 WHERE 考场 = 1 AND 座位号 = 7");
    ASSERT_EQ(seven.size(), 1);
    EXPECT_EQ(grid.cellText(5, 2), QString(seven[0]).replace('\t', '\n'));
    // The report titles' line stands above the chart's own title.
    ASSERT_EQ(grid.reportTitles().size(), 1);
    EXPECT_EQ(grid.reportTitles()[0].text, "XX县XX中学||2008-2009年度下学期");
    EXPECT_EQ(GridPagination::paginate(grid).pages.size(), 1);

    // Room 2 holds 28: seats 29 and 30, the back two desks of the last column, stay blank.
    ASSERT_TRUE(SeatChart::build(t.db, grid, {2}).isOk());
    EXPECT_FALSE(grid.cellText(8, 5).isEmpty());
    EXPECT_TRUE(grid.cellText(9, 5).isEmpty());
    EXPECT_TRUE(grid.cellText(10, 5).isEmpty());
    EXPECT_TRUE(grid.cellText(10, 4).contains('\n'));

    // All rooms: one page each.
    ASSERT_TRUE(SeatChart::build(t.db, grid, {0}).isOk());
    EXPECT_EQ(grid.cellText(11, 1), "第 2 考场座位表");
    EXPECT_EQ(grid.hPageBreaks(), QList<int>{11});
    EXPECT_EQ(GridPagination::paginate(grid).pages.size(), 2);

    EXPECT_EQ(SeatChart::build(t.db, grid, {3}).status().kind(), Status::Kind::Refused);
}

TEST_F(SeatChartTest, LargeRoomsShrinkToOnePageAndTheMixingCheckNamesDesks)
{
    ASSERT_TRUE(t.db.execNative("ALTER TABLE 考场表 ADD COLUMN 行数 REAL;"
                                "ALTER TABLE 考场表 ADD COLUMN 列数 REAL;"
                                "UPDATE 考场表 SET 人数 = 144, 行数 = 12, 列数 = 12 "
                                "WHERE 考场号 = 1")
                    .isOk());
    Grid grid;
    ASSERT_TRUE(SeatChart::build(t.db, grid, {1}).isOk());
    EXPECT_LT(grid.pageSetup().zoom, 100);
    EXPECT_EQ(GridPagination::paginate(grid).pages.size(), 1);

    // Two classmates in the first two seats of room 1: one behind the other.
    ASSERT_TRUE(t.db.execNative("UPDATE 考生表 SET 学校 = '三中', 班级 = '9班' WHERE 考场 = 1 "
                                "AND 座位号 IN (1, 2)")
                    .isOk());
    const Result<QStringList> findings = MixingCheck::findings(t.db);
    ASSERT_TRUE(findings.isOk());
    EXPECT_TRUE(
        findings->contains(
            QStringLiteral("在第1考场1号和2号座位的考生同班相邻%1").arg(findings->size())) ||
        findings->filter("在第1考场1号和2号座位的考生同班相邻").size() == 1)
        << findings->join('\n').toStdString();
}

TEST(SeatChartSchools, ShortenedOnlyAsFarAsTheRoomsSchoolsStayApart)
{
    const QString south = "湖滨市第一实验初级中学南校区";
    const QString north = "湖滨市第一实验初级中学北校区";
    const QString second = "湖滨市第二中学";
    const struct
    {
        QStringList schools;
        int lineLength;
        QStringList labels; // in the order of `schools`; empty: no school on the desks
    } cases[] = {
        {{south}, 12, {}},
        {{south, second}, 12, {"湖滨市第一", "湖滨市第二中学"}},
        {{south, north}, 12, {"湖滨市第一实验初级中学南", "湖滨市第一实验初级中学北"}},
        {{south, north}, 14, {south, north}},
        {{"城关中学", "城关中学分校"}, 4, {"城关中学", "城关中学分"}},
    };
    for (const auto &c : cases) {
        const QHash<QString, QString> labels = SeatChart::schoolLabels(c.schools, c.lineLength);
        QStringList got;
        for (const QString &school : c.schools) {
            if (labels.contains(school))
                got.append(labels.value(school));
        }
        EXPECT_EQ(got, c.labels) << c.schools.join(' ').toStdString();
    }
}
