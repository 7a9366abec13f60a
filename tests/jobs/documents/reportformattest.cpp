#include "jobs/documents/reportformat.h"
#include "grid/grid.h"
#include "jobs/documents/reporttitles.h"
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
        {"学生数", "学生数"},
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

TEST(ReportTitles, WrittenReadBackAndToldFromTheFactoryRow)
{
    fenpai::test::TempData t;
    EXPECT_TRUE(ReportTitles::isFactory(ReportTitles::read(t.db)));
    const ReportFormat::Subtitle mine{"湖滨市第一中学", "2025学年第一学期", true};
    ASSERT_TRUE(ReportTitles::write(t.db, mine).isOk());
    const ReportFormat::Subtitle back = ReportTitles::read(t.db);
    EXPECT_EQ(back.left, mine.left);
    EXPECT_EQ(back.right, mine.right);
    EXPECT_TRUE(back.showDate);
    EXPECT_FALSE(ReportTitles::isFactory(back));
    EXPECT_EQ(t.rows("select 显示日期, 学校 from bsxtable"), QStringList{"1\tXX县XX中学"})
        << "only the three fields change";

    // One placeholder left is still the factory text.
    EXPECT_TRUE(ReportTitles::isFactory({"湖滨市第一中学", "2008-2009年度下学期", false}));

    // An emptied or dropped table is made again, then written.
    for (const char *sql : {"DELETE FROM bsxtable", "DROP TABLE bsxtable"}) {
        t.exec({sql});
        ASSERT_TRUE(ReportTitles::write(t.db, mine).isOk()) << sql;
        EXPECT_EQ(ReportTitles::read(t.db).left, mine.left) << sql;
        EXPECT_EQ(t.rows("select count(*) from bsxtable"), QStringList{"1"}) << sql;
    }

    // Longer than the columns hold: refused, nothing written.
    const Status refused = ReportTitles::write(t.db, {QString(51, u'校'), "x", false});
    EXPECT_EQ(refused.kind(), Status::Kind::Refused);
    EXPECT_EQ(ReportTitles::read(t.db).left, mine.left);
}

TEST(ReportTitles, DocumentsAlreadyMadeTakeTheNewTitlesTheirCentreKept)
{
    Grid grid;
    const ReportFormat::Subtitle factory = ReportTitles::factory();
    ReportFormat::setPrintTitles(grid, "第 1 考场考生名单", factory, {16, 12, "1---30"});
    EXPECT_TRUE(ReportTitles::printsFactory(grid));
    const ReportFormat::Subtitle mine{"湖滨市第一中学", "期中考试", false};
    EXPECT_TRUE(ReportTitles::renew(grid, factory, mine));
    EXPECT_EQ(grid.reportTitles()[0].text, "第 1 考场考生名单");
    EXPECT_EQ(grid.reportTitles()[1].text, "湖滨市第一中学|1---30|期中考试");
    EXPECT_EQ(grid.reportTitles()[1].font.size, 12);
    EXPECT_FALSE(ReportTitles::printsFactory(grid));
    // A title line made from other texts is left alone.
    EXPECT_FALSE(ReportTitles::renew(grid, factory, mine));
}
