#include "jobs/reports/classreports.h"

#include "grid/grid.h"
#include "support/divisiontestdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;
using Band = ClassReports::Band;

namespace {

int column(const Grid &g, const QString &header)
{
    for (int c = 1; c < g.cols(); ++c) {
        if (g.cellText(0, c) == header)
            return c;
    }
    return -1;
}

TEST(ClassReportBands, EdgesOfTheWidthAndTheTop)
{
    EXPECT_EQ(ClassReports::bands(98).back(), (Band{10, 20}));
    EXPECT_EQ(ClassReports::bands(100).front(), (Band{100, 110}));
    EXPECT_EQ(ClassReports::bands(119).size(), 11u);
    EXPECT_EQ(ClassReports::bands(120), (std::vector<Band>{{100, 150}, {50, 100}}));
    const std::vector<Band> wide = ClassReports::bands(586);
    EXPECT_EQ(wide.front(), (Band{550, 600}));
    EXPECT_EQ(wide.size(), 11u);
    EXPECT_TRUE(ClassReports::bands(9.5).empty());
}

class ClassReportsTest : public ::testing::Test
{
protected:
    void pupils()
    {
        // Class 1 scores 90, 80, 20; class 2 scores 5, 79.5 and 100, the last from a school whose
        // name holds a quote.
        d.add({{"男", 90, "一中", "甲"}, {"女", 80, "一中", "乙"}, {"男", 20, "二中", "丙"}}, 1);
        d.add({{"女", 5, "三中", "丁"}, {"男", 79.5, "二中", "戊"}, {"女", 100, "It's", "己"}}, 2);
    }

    DivisionData d;
    Grid g;
};

TEST_F(ClassReportsTest, NewClassAndAdjustmentStatisticsCountBandsAndSchools)
{
    pupils();
    const Result<ReportDocument> listing = ClassReports::newClassStats(d.db, g);
    ASSERT_TRUE(listing.isOk()) << listing.status().message().toStdString();
    ASSERT_EQ(g.rows(), 5); // header, totals, two classes, blank row
    EXPECT_EQ(g.cellText(3, 1), "2");
    EXPECT_EQ(g.cellText(1, column(g, "学生数")), "6");
    EXPECT_EQ(g.cellText(1, column(g, "男生")), "3");
    EXPECT_EQ(g.cellText(3, column(g, "最高分")), "100");

    // Shown without 分 and 段. M = 100: bands 100-110 down to 10-20; 80 counts in 80-90, 79.5 in
    // 70-80, 5 in none.
    const auto band = [&](const char *name, int r) {
        const int c = column(g, name);
        return c > 0 ? g.cellText(r, c) : QStringLiteral("missing");
    };
    EXPECT_EQ(band("100_110", 1), "1");
    EXPECT_EQ(band("80_90", 2), "1");
    EXPECT_EQ(band("70_80", 3), "1");
    EXPECT_EQ(band("20_30", 1), "1");
    EXPECT_EQ(band("0_10", 1), "missing");
    int banded = 0;
    for (int c = 1; c < g.cols(); ++c) {
        if (g.cellText(0, c).contains(u'_'))
            banded += g.cellText(1, c).toInt();
    }
    EXPECT_EQ(banded, 5); // everyone but the pupil with 5

    // One column per school, the quote in a name kept, totals equal the school counts.
    EXPECT_EQ(band("一中", 1), "2");
    EXPECT_EQ(band("It's", 1), "1");
    EXPECT_EQ(band("It's", 3), "1");
    EXPECT_EQ(band("一中", 3), "0");
    EXPECT_TRUE(d.db.query("select * from NewQry3").isOk());

    // The adjustment variant has no average.
    ASSERT_TRUE(ClassReports::adjustmentStats(d.db, g).isOk());
    EXPECT_EQ(column(g, "平均分"), -1);
}

TEST_F(ClassReportsTest, SourceSchoolStatisticsPerSchool)
{
    pupils();
    const Result<ReportDocument> listing = ClassReports::sourceSchoolStats(d.db, g);
    ASSERT_TRUE(listing.isOk()) << listing.status().message().toStdString();
    ASSERT_EQ(g.rows(), 7); // header, totals, four schools, blank row
    EXPECT_EQ(g.cellText(1, 2), "6");
    QStringList schools;
    for (int r = 2; r < 6; ++r)
        schools.append(g.cellText(r, 1));
    schools.sort();
    EXPECT_EQ(schools, (QStringList{"It's", "一中", "三中", "二中"}));
}

TEST_F(ClassReportsTest, ClassListByScoreAndAllClassesAfterDivision)
{
    pupils();
    Result<ReportDocument> listing = ClassReports::classList(d.db, g, 2);
    ASSERT_TRUE(listing.isOk()) << listing.status().message().toStdString();
    EXPECT_EQ(g.cellText(1, 1), "己");
    EXPECT_EQ(g.cellText(2, 1), "戊");
    EXPECT_EQ(g.cellText(3, 1), "丁");

    listing = ClassReports::classList(d.db, g, 0);
    ASSERT_TRUE(listing.isOk());
    EXPECT_EQ(listing->title, "0班");
    EXPECT_EQ(g.rows(), 2); // header and the blank row
}

TEST_F(ClassReportsTest, ManyBandsAndSchoolsPrintLandscape)
{
    d.add({{"男", 35, "一中"}, {"女", 25, "一中"}}, 1);
    ASSERT_TRUE(ClassReports::newClassStats(d.db, g).isOk());
    EXPECT_FALSE(g.pageSetup().isLandscape());

    // Scores up to 119 give eleven bands, and twelve schools add as many columns.
    std::vector<PupilRow> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back({"男", 10 + 9 * i + 0.5, QString("第%1中学").arg(i + 1)});
    d.add(rows, 2);
    ASSERT_TRUE(ClassReports::newClassStats(d.db, g).isOk());
    EXPECT_TRUE(g.pageSetup().isLandscape());
}

TEST_F(ClassReportsTest, MissingTableIsNamed)
{
    d.exec({"DROP TABLE 分班数据表"});
    const Result<ReportDocument> listing = ClassReports::newClassStats(d.db, g);
    ASSERT_FALSE(listing.isOk());
    EXPECT_TRUE(listing.status().message().contains("分班数据表"));
}

} // namespace
