#include "jobs/documents/reportformat.h"
#include "grid/grid.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

Grid *statisticsGrid(const QStringList &headers, int width)
{
    auto *grid = new Grid;
    grid->setCols(int(headers.size()) + 1);
    grid->setRows(3);
    for (int c = 1; c <= headers.size(); ++c) {
        grid->setCellText(0, c, headers[c - 1]);
        grid->setColumnWidth(c, width);
    }
    return grid;
}

} // namespace

TEST(ReportFormat, RewritesBandHeaders)
{
    const struct
    {
        const char *in, *out;
    } cases[] = {
        {"分600_700段", "600_700"},
        {"分700分以上", "700分以上"},
        {"分90_100段", "90_100"},
        {"学生数", "学生数"},
        {"段", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ReportFormat::bandHeader(QString::fromUtf8(c.in)), QString::fromUtf8(c.out))
            << c.in;
}

TEST(ReportFormat, StatisticsVariantFormatsColumnsAndPage)
{
    std::unique_ptr<Grid> grid(statisticsGrid(
        {"新分班", "学生数", "总分", "及格率", "平均分", "综合分", "分600_700段"}, 50));
    ReportFormat::apply(*grid, ReportFormat::Variant::Statistics, "新分班基本情况表 [6]",
                        {"XX中学", "2025学年", false});
    EXPECT_EQ(grid->cellText(0, 4), "及格率%");
    EXPECT_EQ(grid->cellText(0, 7), "600_700");
    for (int c = 3; c <= 7; ++c)
        EXPECT_EQ(grid->columnMask(c), GridMask::Numeric) << c;
    EXPECT_NE(grid->columnMask(1), GridMask::Numeric);
    const PageSetup &page = grid->pageSetup();
    EXPECT_FALSE(page.isLandscape()) << "7 × 50 / 38 × 1.01 is below 20";
    EXPECT_EQ(page.printTitleRows, 1);
    ASSERT_EQ(grid->reportTitles().size(), 2);
    EXPECT_EQ(grid->reportTitles()[1].text, "XX中学||2025学年");
}

TEST(ReportFormat, LandscapeWhenTheColumnsAreWide)
{
    // The widths before formatting decide: 20 columns of 38 give 20 × 1.01 > 20.
    QStringList headers;
    for (int i = 0; i < 20; ++i)
        headers.append(QString("列%1").arg(i));
    std::unique_ptr<Grid> wide(statisticsGrid(headers, 38));
    ReportFormat::apply(*wide, ReportFormat::Variant::Statistics, "t", {});
    EXPECT_TRUE(wide->pageSetup().isLandscape());
    std::unique_ptr<Grid> narrow(statisticsGrid(headers.mid(0, 19), 38));
    ReportFormat::apply(*narrow, ReportFormat::Variant::Statistics, "t", {});
    EXPECT_FALSE(narrow->pageSetup().isLandscape());
}

TEST(ReportFormat, PlainVariantKeepsHiddenColumnsHidden)
{
    std::unique_ptr<Grid> grid(statisticsGrid({"学校", "班级", "姓名", "性别", "成绩", "序"}, 60));
    grid->setColumnWidth(6, 0);
    ReportFormat::apply(*grid, ReportFormat::Variant::Plain, "一中成绩表", {});
    EXPECT_EQ(grid->columnWidth(5), 38);
    EXPECT_EQ(grid->columnMask(5), GridMask::Numeric);
    EXPECT_EQ(grid->columnWidth(6), 0);
    EXPECT_EQ(grid->columnMask(6), GridMask::Numeric);
    EXPECT_NE(grid->columnMask(4), GridMask::Numeric);
    EXPECT_EQ(grid->pageSetup().printTitleRows, 0);
    EXPECT_EQ(grid->reportTitles()[1].text, "||");
}

TEST(ReportFormat, SubtitleComesFromTheSettingsTable)
{
    fenpai::test::TempData t;
    ReportFormat::Subtitle s = ReportFormat::subtitleFrom(t.db);
    EXPECT_EQ(s.left, "XX县XX中学");
    EXPECT_EQ(s.right, "2008-2009年度下学期");
    EXPECT_FALSE(s.showDate);
    t.exec({"DELETE FROM bsxtable"});
    s = ReportFormat::subtitleFrom(t.db);
    EXPECT_TRUE(s.left.isEmpty());
}
