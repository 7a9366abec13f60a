#include "grid/grid.h"
#include "grid/gridselection.h"

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A document-like grid: header row, columns 1..n, one row per AddItem.
void fill(Grid &g, int cols, const QStringList &rows)
{
    g.setRows(1);
    g.setCols(cols + 1);
    for (const QString &r : rows)
        g.addItem(r);
}

QStringList columnTexts(const Grid &g, int col)
{
    QStringList out;
    for (int r = g.fixedRows(); r < g.rows(); ++r)
        out << g.cellText(r, col);
    return out;
}

} // namespace

TEST(GridSize, AddItemSplitsAtTabsIntoColumnsFromOne)
{
    Grid g;
    fill(g, 3,
         {QStringLiteral("张三\t男\t90"), QStringLiteral("李四\t\t85\textra"),
          QStringLiteral("only")});
    ASSERT_EQ(g.rows(), 4);
    EXPECT_EQ(g.cellText(1, 0), QString());
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("张三"));
    EXPECT_EQ(g.cellText(1, 3), QStringLiteral("90"));
    EXPECT_EQ(g.cellText(2, 2), QString());
    EXPECT_EQ(g.cellText(2, 3), QStringLiteral("85")); // "extra" has no column
    EXPECT_EQ(g.cellText(3, 1), QStringLiteral("only"));
    // Outside the grid reads empty and writes nothing.
    g.setCellText(99, 1, QStringLiteral("x"));
    EXPECT_EQ(g.cellText(99, 1), QString());
}

TEST(GridSize, DisplayRowIndexNumbersDataRowsBelowTheFixedRows)
{
    Grid g;
    fill(g, 1, {QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(g.displayText(1, 0), QString());
    g.setDisplayRowIndex(true);
    EXPECT_EQ(g.displayText(0, 0), QString());
    EXPECT_EQ(g.displayText(1, 0), QStringLiteral("1"));
    EXPECT_EQ(g.displayText(2, 0), QStringLiteral("2"));
    g.setFixedRows(2);
    EXPECT_EQ(g.displayText(2, 0), QStringLiteral("1"));
}

TEST(GridSize, InsertAndDeleteKeepMergesSane)
{
    struct Case
    {
        const char *name;
        std::function<void(Grid &)> op;
        QList<GridArea> merges;
    };
    // Start: a block rows 2..4, cols 1..2 and a block row 6, cols 1..3 in a 10 × 5 grid.
    const QList<Case> cases = {
        {"insert above", [](Grid &g) { g.insertRows(1, 2); }, {{4, 1, 6, 2}, {8, 1, 8, 3}}},
        {"insert inside", [](Grid &g) { g.insertRows(3, 1); }, {{2, 1, 5, 2}, {7, 1, 7, 3}}},
        {"insert below", [](Grid &g) { g.insertRows(7, 1); }, {{2, 1, 4, 2}, {6, 1, 6, 3}}},
        {"delete inside", [](Grid &g) { g.deleteRows(3, 1); }, {{2, 1, 3, 2}, {5, 1, 5, 3}}},
        {"delete top part", [](Grid &g) { g.deleteRows(1, 2); }, {{1, 1, 2, 2}, {4, 1, 4, 3}}},
        {"delete to one row", [](Grid &g) { g.deleteRows(3, 2); }, {{2, 1, 2, 2}, {4, 1, 4, 3}}},
        {"delete whole block", [](Grid &g) { g.deleteRows(2, 3); }, {{3, 1, 3, 3}}},
        {"insert col inside", [](Grid &g) { g.insertCols(2, 1); }, {{2, 1, 4, 3}, {6, 1, 6, 4}}},
        {"delete cols to one cell", [](Grid &g) { g.deleteCols(2, 2); }, {{2, 1, 4, 1}}},
        {"shrink rows", [](Grid &g) { g.setRows(5); }, {{2, 1, 4, 2}}},
        {"shrink rows into block", [](Grid &g) { g.setRows(4); }, {{2, 1, 3, 2}}},
    };
    for (const Case &c : cases) {
        Grid g;
        g.setRows(10);
        g.setCols(5);
        g.range(2, 1, 4, 2).merge();
        g.range(6, 1, 6, 3).merge();
        c.op(g);
        EXPECT_EQ(g.merges(), c.merges) << c.name;
    }
}

TEST(GridSize, InsertAndDeleteMoveCellsPageBreaksAndSelection)
{
    Grid g;
    fill(g, 2, {QStringLiteral("a\t1"), QStringLiteral("b\t2"), QStringLiteral("c\t3")});
    g.addHPageBreak(3);
    g.setTitleRowsEnd(3);
    g.insertRows(1);
    EXPECT_EQ(g.cellText(1, 1), QString());
    EXPECT_EQ(g.cellText(2, 1), QStringLiteral("a"));
    EXPECT_EQ(g.hPageBreaks(), QList<int>{4});
    EXPECT_EQ(g.titleRowsEnd(), 4);
    g.insertCols(2, 1);
    EXPECT_EQ(g.cols(), 4);
    EXPECT_EQ(g.cellText(2, 3), QStringLiteral("1"));
    EXPECT_EQ(g.columnWidth(2), GridColumnInfo{}.width);
    g.deleteRows(4, 1); // the break row goes with its row
    EXPECT_EQ(g.hPageBreaks(), QList<int>{});
    EXPECT_EQ(g.titleRowsEnd(), 4); // the row after the one removed
    Grid h;
    fill(h, 2, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    h.setTitleRowsEnd(3);
    h.deleteRows(1, 1);
    EXPECT_EQ(h.titleRowsEnd(), 2);
    EXPECT_EQ(columnTexts(g, 1), (QStringList{"", "a", "b"}));

    // The selection-based forms never delete the fixed row or column 0.
    GridSelection sel(&g);
    sel.select(0, 0, 1, 1);
    sel.range().deleteByRow();
    EXPECT_EQ(g.cellText(0, 0), QString());
    EXPECT_EQ(g.rows(), 3);
    sel.select(0, 0, 3, 1);
    sel.range().deleteByCol();
    EXPECT_EQ(g.cols(), 3);
    EXPECT_EQ(g.columnWidth(0), 40);
    // Selection follows the shrinking grid.
    sel.select(2, 2, 2, 2);
    g.setRows(2);
    g.setCols(2);
    EXPECT_EQ(sel.activeRow(), 1);
    EXPECT_EQ(sel.activeCol(), 1);
}

TEST(GridSort, NumbersTextsAndEmpties)
{
    struct Case
    {
        QStringList input;
        int order;
        QStringList expected;
    };
    const QList<Case> cases = {
        {{"90", "85", "100", "", "9.5"}, 0, {"9.5", "85", "90", "100", ""}},
        {{"90", "85", "100", "", "9.5"}, 1, {"100", "90", "85", "9.5", ""}},
        // Numbers before texts ascending; texts in pinyin order (李 li < 王 wang < 张 zhang).
        {{"张", "", "10", "王", "2", "李"}, 0, {"2", "10", "李", "王", "张", ""}},
        {{"张", "", "10", "王", "2", "李"}, 1, {"张", "王", "李", "10", "2", ""}},
        {{"", " ", "1"}, 1, {"1", "", " "}},
    };
    for (const Case &c : cases) {
        Grid g;
        g.setRows(1);
        g.setCols(2);
        for (const QString &t : c.input)
            g.addItem(t);
        g.sortByColumn(1, c.order);
        EXPECT_EQ(columnTexts(g, 1), c.expected) << c.input.join(u',').toStdString();
    }
}

TEST(GridSort, StableAndWholeRowsMoveWithFormatsAndTags)
{
    Grid g;
    fill(g, 3,
         {QStringLiteral("a\t90"), QStringLiteral("b\t85"), QStringLiteral("c\t90"),
          QStringLiteral("d\t"), QStringLiteral("")});
    for (int r = 1; r <= 4; ++r)
        g.cell(r, 0).setTag(QStringLiteral("U%1").arg(r));
    g.range(2, 1, 2, 1).setFontBold(true);
    g.setRowHeight(2, 33);
    g.range(3, 2, 3, 3).merge();
    g.range(1, 1, 2, 1).merge(); // spans two sorted rows: dissolved by sorting
    g.column(2).sort(1);
    EXPECT_EQ(columnTexts(g, 1), (QStringList{"a", "c", "b", "d", ""}));
    EXPECT_EQ(columnTexts(g, 2), (QStringList{"90", "90", "85", "", ""}));
    EXPECT_EQ(g.cellTag(3, 0), QStringLiteral("U2"));
    EXPECT_TRUE(g.cell(3, 1).font().bold);
    EXPECT_FALSE(g.cell(2, 1).font().bold);
    EXPECT_EQ(g.rowHeight(3), 33);
    EXPECT_EQ(g.merges(), (QList<GridArea>{{2, 2, 2, 3}}));
    // Fixed rows stay.
    g.setCellText(0, 2, QStringLiteral("成绩"));
    g.sortByColumn(2, 0);
    EXPECT_EQ(g.cellText(0, 2), QStringLiteral("成绩"));
}

TEST(GridRange, MergeAndUnmerge)
{
    Grid g;
    g.setRows(6);
    g.setCols(6);
    GridRange r = g.range(3, 3, 1, 1); // corners in any order
    EXPECT_EQ(r.firstRow(), 1);
    EXPECT_EQ(r.lastCol(), 3);
    r.merge();
    EXPECT_TRUE(g.range(1, 1, 3, 3).mergeCells());
    EXPECT_EQ(g.mergeAt(2, 2), (GridArea{1, 1, 3, 3}));
    EXPECT_EQ(g.mergeAt(4, 4), (GridArea{4, 4, 4, 4}));
    // A new block over part of an old one swallows it.
    g.range(3, 3, 4, 4).merge();
    EXPECT_EQ(g.merges(), (QList<GridArea>{{1, 1, 4, 4}}));
    g.range(2, 2, 2, 2).setMergeCells(false);
    EXPECT_TRUE(g.merges().isEmpty());
    // A single cell is no block.
    g.range(5, 5, 5, 5).merge();
    EXPECT_TRUE(g.merges().isEmpty());
}

TEST(GridRange, FormattingSettersApplyToEveryCell)
{
    Grid g;
    g.setRows(4);
    g.setCols(4);
    g.setCellText(1, 1, QStringLiteral("x"));
    GridSelection selection(&g);
    selection.select(1, 1, 2, 2);
    GridRange sel = selection.range();
    sel.setFontName(QStringLiteral("黑体"));
    sel.setFontItalic(true);
    sel.setBackColor(QColor(255, 255, 0));
    sel.setAlignment(GridAlign::CenterMiddle);
    sel.setLocked(true);
    for (int r = 1; r <= 2; ++r) {
        for (int c = 1; c <= 2; ++c) {
            EXPECT_EQ(g.cellFont(r, c).name, QStringLiteral("黑体"));
            EXPECT_TRUE(g.cellFont(r, c).italic);
            EXPECT_EQ(g.cell(r, c).backColor(), QColor(255, 255, 0));
            EXPECT_EQ(g.cellAlignment(r, c), GridAlign::CenterMiddle);
            EXPECT_TRUE(g.cell(r, c).locked());
        }
    }
    EXPECT_EQ(g.cellFont(3, 3).name, QStringLiteral("宋体"));
    EXPECT_FALSE(g.cell(3, 3).locked());
    EXPECT_EQ(g.cellText(1, 1), QStringLiteral("x"));
    // Column alignment applies where the cell has none.
    g.column(3).setAlignment(GridAlign::RightTop);
    EXPECT_EQ(g.cellAlignment(3, 3), GridAlign::RightTop);
    EXPECT_EQ(g.cellAlignment(1, 1), GridAlign::CenterMiddle);
    // A size below 1 cannot be drawn.
    g.range(3, 3, 3, 3).setFontSize(0);
    EXPECT_EQ(g.cellFont(3, 3).size, 1);
}

TEST(GridRange, RowsGrowWithALargerFontAndNeverShrink)
{
    Grid g;
    g.setRows(5);
    g.setCols(3);
    g.setRowHeight(4, 0);
    g.setRowHeight(3, 200);
    g.range(1, 1, 4, 2).setFontSize(20);
    const int grown = g.rowHeight(1);
    EXPECT_GE(grown, int(20 * 96 / 72.0 * 1.2)) << "the text's line fits";
    EXPECT_EQ(g.rowHeight(2), grown);
    EXPECT_EQ(g.rowHeight(3), 200) << "a taller row stays";
    EXPECT_EQ(g.rowHeight(4), 0) << "a hidden row stays hidden";
    EXPECT_EQ(g.rowHeight(0), g.defaultRowHeight()) << "rows outside the range";
    g.range(1, 1, 1, 2).setFontSize(9);
    EXPECT_EQ(g.rowHeight(1), grown) << "a smaller font does not shrink the row";
    g.range(0, 0, 0, 0).setFontSize(9);
    EXPECT_EQ(g.rowHeight(0), g.defaultRowHeight()) << "the default size fits the default row";
}

TEST(GridRange, BordersSetBothSidesOfAShapedLine)
{
    Grid g;
    g.setRows(5);
    g.setCols(5);
    using enum GridBorder::Edge;
    using enum GridBorder::Style;
    g.range(1, 1, 2, 2).setBorder(Right, Thick);
    EXPECT_EQ(g.cellStyle(1, 2).borders[2], Thick);
    EXPECT_EQ(g.cellStyle(2, 3).borders[0], Thick); // the neighbour's left side
    EXPECT_EQ(g.cellStyle(1, 1).borders[2], None);
    g.range(1, 1, 2, 2).setBorder(InsideHorizontal, Thin);
    EXPECT_EQ(g.cellStyle(1, 1).borders[3], Thin);
    EXPECT_EQ(g.cellStyle(2, 2).borders[1], Thin);
    EXPECT_EQ(g.cellStyle(2, 2).borders[3], None);
    g.range(1, 1, 2, 2).setBorder(DiagonalUp, Thin);
    EXPECT_EQ(g.cellStyle(2, 2).borders[5], Thin);
    // Pattern 0: every edge off removes the line from the neighbour as well.
    for (int edge = 0; edge < 8; ++edge)
        g.range(1, 1, 2, 2).setBorder(GridBorder::Edge(edge), None);
    EXPECT_EQ(g.cellStyle(2, 3).borders[0], None);
    EXPECT_EQ(g.cellStyle(1, 1), CellStyle{});
}

TEST(GridRange, ClearTextKeepsFormatsClearTakesAll)
{
    Grid g;
    fill(g, 2, {QStringLiteral("a\tb"), QStringLiteral("c\td")});
    g.range(1, 1, 2, 2).setFontBold(true);
    g.range(1, 1, 1, 2).merge();
    g.range(1, 1, 1, 2).clearText();
    EXPECT_EQ(g.cellText(1, 1), QString());
    EXPECT_TRUE(g.cellFont(1, 1).bold);
    EXPECT_EQ(g.merges().size(), 1);
    g.range(1, 1, 2, 2).clear();
    EXPECT_FALSE(g.cellFont(2, 2).bold);
    EXPECT_TRUE(g.merges().isEmpty());
}

TEST(GridColumns, MaskFormatAndAutoFit)
{
    Grid g;
    fill(g, 3, {QStringLiteral("1234.5\t0517\t甲"), QStringLiteral("abc\t\t乙乙乙乙")});
    g.column(1).setFormatString(QStringLiteral("##,##0.00"));
    EXPECT_EQ(g.displayText(1, 1), QStringLiteral("1234.5")); // mask 0: as stored
    g.column(1).setMask(GridMask::Numeric);
    EXPECT_EQ(g.displayText(1, 1), QStringLiteral("1,234.50"));
    EXPECT_EQ(g.displayText(2, 1), QStringLiteral("abc"));
    g.column(2).setMask(GridMask::Numeric);
    EXPECT_EQ(g.displayText(1, 2), QStringLiteral("0517")); // no format string: as stored
    EXPECT_TRUE(g.isNumericCell(1, 2));
    EXPECT_FALSE(g.isNumericCell(1, 3));

    // Ten pixels per character in this measure.
    const GridTextMeasure measure = [](const QFont &, const QString &t) { return 10.0 * t.size(); };
    g.column(3).autoFit(measure);
    EXPECT_EQ(g.columnWidth(3), 48);
    g.setRowHeight(2, 0); // hidden rows do not count
    g.column(3).autoFit(measure);
    EXPECT_EQ(g.columnWidth(3), 18);
}

TEST(GridSettings, DefaultFontImagesAndPageBreaks)
{
    Grid g;
    g.setDefaultFontSize(0);
    EXPECT_EQ(g.defaultFont().size, 1);
    g.setDefaultFontSize(12);
    EXPECT_EQ(g.cellFont(1, 1).size, 12);
    g.range(1, 1, 1, 1).setFontSize(20);
    g.setDefaultFontSize(14);
    EXPECT_EQ(g.cellFont(1, 1).size, 20);
    EXPECT_EQ(g.cellFont(0, 1).size, 14);

    // A missing or unreadable picture adds nothing and is no error.
    EXPECT_FALSE(g.addImage(QStringLiteral("k"), QStringLiteral("/nonexistent/photo.jpg")));
    EXPECT_FALSE(g.addImageData(QStringLiteral("k"), QByteArray("not a picture")));
    EXPECT_TRUE(g.imageKeys().isEmpty());
    g.setCellImage(1, 1, QStringLiteral("k"));
    EXPECT_TRUE(g.image(g.cellStyle(1, 1).imageKey).isNull());

    g.addHPageBreak(12);
    g.addHPageBreak(5);
    g.addHPageBreak(12);
    EXPECT_EQ(g.hPageBreaks(), (QList<int>{5, 12}));
}
