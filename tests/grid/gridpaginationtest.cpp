#include "grid/gridpagination.h"
#include "grid/grid.h"

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A square sheet of 960 × 960 grid pixels with 48-pixel margins: 864 pixels for the table.
PageSetup squareSheet()
{
    PageSetup p;
    p.paperKind = PageSetup::customPaperKind();
    p.paperWidth = 25.4;
    p.paperHeight = 25.4;
    p.leftMargin = p.rightMargin = p.topMargin = p.bottomMargin = 1.27;
    p.printFixedRow = true;
    return p;
}

// Header row 0 and `dataRows` rows of 20 pixels, `cols` columns of 72.
void build(Grid &g, int dataRows, int cols = 4)
{
    g.setRows(1 + dataRows);
    g.setCols(cols);
    g.setPageSetup(squareSheet());
}

QList<int> range(int first, int last)
{
    QList<int> out;
    for (int i = first; i <= last; ++i)
        out.append(i);
    return out;
}

QList<int> rowsPerPage(const GridPageLayout &layout)
{
    QList<int> out;
    for (const GridPage &p : layout.pages)
        out.append(int(p.rows.size()));
    return out;
}

} // namespace

TEST(GridPagination, RowsPerPageFromRowHeightsMarginsAndZoom)
{
    struct Case
    {
        const char *name;
        std::function<void(Grid &)> change;
        QList<int> rowsPerPage; // including the repeated rows
    };
    // 864 pixels: the header row (20) and 42 rows of 20 per page.
    const QList<Case> cases = {
        {"plain", [](Grid &) {}, {43, 43, 17}},
        {"no fixed row", [](Grid &g) { g.pageSetup().printFixedRow = false; }, {43, 43, 14}},
        {"taller rows",
         [](Grid &g) {
             for (int r = 1; r <= 20; ++r)
                 g.setRowHeight(r, 40);
         },
         {23, 43, 37}},
        {"hidden rows",
         [](Grid &g) {
             for (int r = 1; r <= 50; ++r)
                 g.setRowHeight(r, 0);
         },
         {43, 9}},
        {"half zoom", [](Grid &g) { g.pageSetup().zoom = 50; }, {86, 16}},
        {"bigger top margin", [](Grid &g) { g.pageSetup().topMargin = 1.27 + 2.54; }, {38, 38, 27}},
        {"bottom title row", [](Grid &g) { g.pageSetup().printBottomTitleRows = 1; }, {43, 43, 19}},
    };
    for (const Case &c : cases) {
        Grid g;
        build(g, 100);
        c.change(g);
        const GridPageLayout layout = GridPagination::paginate(g);
        EXPECT_EQ(rowsPerPage(layout), c.rowsPerPage) << c.name;
        EXPECT_DOUBLE_EQ(layout.pageWidth, 960) << c.name;
    }
}

TEST(GridPagination, RepeatedRowsTitlesAndBreaks)
{
    Grid g;
    build(g, 100);
    g.pageSetup().printTitleRows = 2;
    g.pageSetup().printBottomTitleRows = 1;
    GridPageLayout layout = GridPagination::paginate(g);
    ASSERT_GE(layout.pages.size(), 2);
    // Rows 0 and 1 head every page, row 100 closes every page, data rows appear once.
    QList<int> seen;
    for (const GridPage &p : layout.pages) {
        EXPECT_EQ(p.rows.mid(0, 2), (QList<int>{0, 1}));
        EXPECT_EQ(p.rows.last(), 100);
        seen += p.rows.mid(2, p.rows.size() - 3);
    }
    EXPECT_EQ(seen, range(2, 99));

    // A break before row 10 starts a new page there; a break on a hidden row moves down.
    Grid b;
    build(b, 100);
    b.addHPageBreak(10);
    b.setRowHeight(30, 0);
    b.addHPageBreak(30);
    layout = GridPagination::paginate(b);
    ASSERT_GE(layout.pages.size(), 3);
    EXPECT_EQ(layout.pages.at(0).rows, QList<int>{0} + range(1, 9));
    EXPECT_EQ(layout.pages.at(1).rows, QList<int>{0} + range(10, 29));
    EXPECT_EQ(layout.pages.at(2).rows.at(1), 31);

    // The header stands over its table only: from titleRowsEnd on, pages go without it and hold
    // one row more.
    Grid e;
    build(e, 100);
    e.addHPageBreak(10);
    e.setTitleRowsEnd(10);
    layout = GridPagination::paginate(e);
    ASSERT_EQ(layout.pages.size(), 4);
    EXPECT_EQ(layout.pages.at(0).rows, QList<int>{0} + range(1, 9));
    EXPECT_EQ(layout.pages.at(1).rows, range(10, 52));
    EXPECT_EQ(layout.pages.at(3).rows, range(96, 100));

    // Titles: all on the first page, only those for every page later; they take room.
    Grid t;
    build(t, 100);
    t.addReportTitle(
        ReportTitle{QStringLiteral("标题"), GridFont{QStringLiteral("宋体"), 14}, 0, true});
    t.addReportTitle(
        ReportTitle{QStringLiteral("||"), GridFont{QStringLiteral("Arial"), 10}, 1, false});
    layout = GridPagination::paginate(t);
    ASSERT_GE(layout.pages.size(), 2);
    EXPECT_EQ(layout.pages.at(0).titles, (QList<int>{0, 1}));
    EXPECT_EQ(layout.pages.at(1).titles, QList<int>{0});
    const int room0 = 864 - 20 - GridPagination::titleHeight(t.reportTitles().at(0)) -
                      GridPagination::titleHeight(t.reportTitles().at(1));
    EXPECT_EQ(layout.pages.at(0).rows.size() - 1, room0 / 20);
    const int room1 = 864 - 20 - GridPagination::titleHeight(t.reportTitles().at(0));
    EXPECT_EQ(layout.pages.at(1).rows.size() - 1, room1 / 20);
}

TEST(GridPagination, ColumnBandsAndOrientation)
{
    // A4 with 2 cm side margins: portrait 642 pixels wide, landscape 971.
    Grid g;
    g.setRows(101);
    g.setCols(31);
    g.column(5).setWidth(0);
    PageSetup p;
    p.leftMargin = p.rightMargin = 2;
    p.printFixedColumn = true;
    g.setPageSetup(p);
    GridPageLayout portrait = GridPagination::paginate(g);
    g.pageSetup().orientation = PageSetup::Orientation::Landscape;
    GridPageLayout landscape = GridPagination::paginate(g);
    EXPECT_GT(landscape.pages.first().cols.size(), portrait.pages.first().cols.size());
    EXPECT_EQ(portrait.pages.first().cols.first(), 0);

    for (const GridPageLayout *layout : {&portrait, &landscape}) {
        // Every shown column once per row chunk, column 0 on every page, down then over.
        QList<int> seen;
        int lastBand = 0;
        for (const GridPage &page : layout->pages) {
            EXPECT_EQ(page.cols.first(), 0);
            EXPECT_GE(page.band, lastBand);
            lastBand = page.band;
            double width = 0;
            for (int c : page.cols)
                width += g.columnWidth(c);
            EXPECT_LE(width, layout->content.width());
            if (page.rows.contains(1))
                seen += page.cols.mid(1);
        }
        QList<int> expected = range(1, 30);
        expected.removeOne(5);
        EXPECT_EQ(seen, expected);
    }

    // Title columns repeat in each band.
    g.pageSetup().printTitleColumns = 2;
    const GridPageLayout titled = GridPagination::paginate(g);
    for (const GridPage &page : titled.pages)
        EXPECT_EQ(page.cols.mid(0, 3), (QList<int>{0, 1, 2}));
}

TEST(GridPagination, PageFieldsAndTitleParts)
{
    const struct
    {
        const char *text;
        int page;
        int count;
        const char *expected;
    } fields[] = {
        {"共&n页  第&p页", 2, 7, "共7页  第2页"},
        {"&P/&N", 3, 3, "3/3"},
        {"A&&B &x &", 1, 1, "A&B &x &"},
        {"", 1, 1, ""},
    };
    for (const auto &f : fields) {
        EXPECT_EQ(GridPagination::expandPageFields(QString::fromUtf8(f.text), f.page, f.count),
                  QString::fromUtf8(f.expected));
    }
    EXPECT_EQ(GridPagination::titleParts(QStringLiteral("左||右")), (QStringList{"左", "", "右"}));
    EXPECT_EQ(GridPagination::titleParts(QStringLiteral("标题")), (QStringList{"", "标题", ""}));
    EXPECT_EQ(GridPagination::titleParts(QStringLiteral("a|b|c|d")),
              (QStringList{"a", "b", "c|d"}));
}

TEST(GridPagination, TheTypingRowAtTheEndAndTheOuterFiveMillimetresStayOffThePaper)
{
    Grid g;
    build(g, 3);
    g.setCellText(1, 1, QStringLiteral("甲"));
    g.setCellText(2, 1, QStringLiteral("乙"));
    // Row 3 is the blank row a filled document ends with.
    GridPageLayout layout = GridPagination::paginate(g);
    ASSERT_EQ(layout.pages.size(), 1);
    EXPECT_EQ(layout.pages[0].rows, (QList<int>{0, 1, 2}));

    // A form of blank rows prints them all; so does a blank row with a border.
    g.setCellText(2, 1, QString());
    EXPECT_EQ(GridPagination::paginate(g).pages[0].rows, (QList<int>{0, 1, 2, 3}));
    g.setCellText(2, 1, QStringLiteral("乙"));
    g.setBorder(GridArea{3, 1, 3, 1}, GridBorder::Edge::Bottom, GridBorder::Style::Thin);
    EXPECT_EQ(GridPagination::paginate(g).pages[0].rows, (QList<int>{0, 1, 2, 3}));

    // Margins of nothing are moved 5 mm in.
    g.pageSetup().leftMargin = g.pageSetup().topMargin = 0;
    g.pageSetup().rightMargin = 0.2;
    layout = GridPagination::paginate(g);
    const double five = GridPagination::cmToPixels(0.5);
    EXPECT_NEAR(layout.content.left(), five, 1e-9);
    EXPECT_NEAR(layout.content.top(), five, 1e-9);
    EXPECT_NEAR(layout.pageWidth - layout.content.right(), five, 1e-9);
    EXPECT_NEAR(GridPagination::tableWidth(g), layout.content.width(), 1e-9);
}
