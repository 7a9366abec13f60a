#include "grid/gridedits.h"
#include "grid/grid.h"
#include "grid/gridundocommand.h"

#include <QUndoStack>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A header row and `rows` data rows of texts "r,c" in `cols` columns.
void fill(Grid &g, int rows = 6, int cols = 5)
{
    g.setRows(1);
    g.setCols(cols);
    for (int c = 1; c < cols; ++c)
        g.setCellText(0, c, QStringLiteral("h%1").arg(c));
    for (int r = 1; r <= rows; ++r) {
        g.addItem(QString());
        for (int c = 1; c < cols; ++c)
            g.setCellText(r, c, QStringLiteral("%1,%2").arg(r).arg(c));
    }
}

// Each border side of each cell: "LTRB" order, one digit per side.
QString sides(const Grid &g, int r, int c)
{
    const CellStyle &s = g.cellStyle(r, c);
    return QStringLiteral("%1%2%3%4")
        .arg(int(s.borders[0]))
        .arg(int(s.borders[1]))
        .arg(int(s.borders[2]))
        .arg(int(s.borders[3]));
}

} // namespace

TEST(GridEdits, BorderPatternsDrawTheirEdges)
{
    // On the 2 × 2 area rows 2..3, columns 2..3: the four cells' sides (LTRB), the diagonals
    // of cell (2, 2) and the outside neighbours' facing sides (left of (2, 1)'s right etc.).
    const struct
    {
        int index;
        const char *topLeft, *topRight, *bottomLeft, *bottomRight;
        int diagonalDown, diagonalUp;
    } cases[] = {
        {1, "0000", "0010", "0000", "0010", 0, 0},  {2, "0000", "0000", "0001", "0001", 0, 0},
        {6, "0000", "0000", "0000", "0000", 0, 1},  {7, "0011", "1001", "0110", "1100", 0, 0},
        {11, "2211", "1221", "2112", "1122", 0, 0},
    };
    for (const auto &c : cases) {
        Grid g;
        fill(g);
        const GridArea area{2, 2, 3, 3};
        GridEdits::applyBorderPattern(g, area, c.index);
        EXPECT_EQ(sides(g, 2, 2), QLatin1String(c.topLeft)) << c.index;
        EXPECT_EQ(sides(g, 2, 3), QLatin1String(c.topRight)) << c.index;
        EXPECT_EQ(sides(g, 3, 2), QLatin1String(c.bottomLeft)) << c.index;
        EXPECT_EQ(sides(g, 3, 3), QLatin1String(c.bottomRight)) << c.index;
        EXPECT_EQ(int(g.cellStyle(2, 2).borders[4]), c.diagonalDown) << c.index;
        EXPECT_EQ(int(g.cellStyle(2, 2).borders[5]), c.diagonalUp) << c.index;
        // A line on the outline belongs to the neighbour too.
        EXPECT_EQ(g.cellStyle(2, 1).borders[2], g.cellStyle(2, 2).borders[0]) << c.index;
        EXPECT_EQ(g.cellStyle(4, 3).borders[1], g.cellStyle(3, 3).borders[3]) << c.index;

        // Pattern 0 takes every line away again, the neighbours' halves included.
        GridEdits::applyBorderPattern(g, area, 0);
        for (int r = 1; r <= 4; ++r)
            for (int col = 1; col <= 4; ++col)
                EXPECT_EQ(g.cellStyle(r, col).borders, (std::array<GridBorder::Style, 6>{}))
                    << c.index;
    }
    EXPECT_TRUE(GridEdits::borderPattern(12).isEmpty());
}

TEST(GridEdits, AlignmentFontStylesFontSizeAndHiding)
{
    Grid g;
    fill(g);
    // The active cell decides for the whole selection, whatever the others were.
    g.range(2, 2, 2, 2).setFontBold(true);
    g.range(3, 3, 3, 3).setFontItalic(true);
    GridEdits::toggleFontStyle(g, GridArea{1, 1, 3, 3}, 2, 2, GridEdits::FontStyle::Bold);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_FALSE(g.cellFont(r, c).bold) << r << c;
    GridEdits::toggleFontStyle(g, GridArea{1, 1, 3, 3}, 1, 1, GridEdits::FontStyle::Italic);
    EXPECT_TRUE(g.cellFont(3, 3).italic);
    EXPECT_TRUE(g.cellFont(1, 2).italic);
    EXPECT_FALSE(g.cellFont(4, 1).italic);

    g.setDefaultFontSize(2);
    GridEdits::stepDefaultFontSize(g, -1);
    GridEdits::stepDefaultFontSize(g, -1);
    EXPECT_EQ(g.defaultFont().size, 1);
    GridEdits::stepDefaultFontSize(g, 1);
    EXPECT_EQ(g.defaultFont().size, 2);

    // Hiding over a column already hidden; showing brings the table's columns back and leaves
    // an order column hidden.
    g.setColumnWidth(3, 0);
    g.setCellTag(0, 4, GridEdits::orderColumnTag());
    g.setColumnWidth(4, 0);
    GridEdits::hideCols(g, GridArea{1, 1, 1, 4});
    for (int c = 1; c <= 4; ++c)
        EXPECT_EQ(g.columnWidth(c), 0) << c;
    GridEdits::showCols(g, GridArea{1, 1, 1, 4});
    EXPECT_GT(g.columnWidth(1), 0);
    EXPECT_GT(g.columnWidth(3), 0);
    EXPECT_EQ(g.columnWidth(4), 0);
    GridEdits::hideRows(g, GridArea{2, 1, 3, 1});
    EXPECT_EQ(g.rowHeight(2), 0);
    EXPECT_EQ(g.rowHeight(3), 0);
    GridEdits::showRows(g, GridArea{1, 1, 6, 1});
    EXPECT_EQ(g.rowHeight(2), g.defaultRowHeight());
}

TEST(GridUndo, EachStepGoesBackToTheExactCellsAndForwardAgain)
{
    struct Step
    {
        const char *name;
        GridArea cells; // empty: the whole grid
        std::function<void(Grid &)> change;
    };
    GridFragment pasted;
    {
        Grid source;
        fill(source, 2, 3);
        source.range(1, 1, 1, 2).setBackColor(Qt::red);
        source.mergeArea(GridArea{2, 1, 2, 2});
        pasted = source.fragment(GridArea{1, 1, 2, 2});
    }
    const Step steps[] = {
        {"merge",
         {2, 1, 3, 2},
         [](Grid &g) {
             g.mergeArea(GridArea{2, 1, 3, 2});
         }},
        {"unmerge",
         {1, 1, 6, 4},
         [](Grid &g) {
             g.unmergeArea(GridArea{1, 1, 6, 4});
         }},
        {"delete rows", {}, [](Grid &g) { g.range(2, 1, 3, 1).deleteByRow(); }},
        {"insert cols", {}, [](Grid &g) { g.range(1, 2, 1, 2).insertCols(); }},
        {"paste", {3, 3, 4, 4}, [&](Grid &g) { g.pasteFragment(pasted, 3, 3); }},
        {"paste text", {5, 1, 6, 2}, [](Grid &g) { g.pastePlainText("a\tb\r\nc\td\r\n", 5, 1); }},
        {"format", GridEdits::borderReach({1, 1, 2, 4}),
         [](Grid &g) {
             GridEdits::applyBorderPattern(g, GridArea{1, 1, 2, 4}, 11);
         }},
        {"bold", {1, 1, 6, 4}, [](Grid &g) { g.range(1, 1, 6, 4).setFontBold(true); }},
        {"hide",
         {0, 0, 0, 0},
         [](Grid &g) {
             GridEdits::hideCols(g, GridArea{1, 2, 1, 3});
         }},
        {"sort", {}, [](Grid &g) { g.sortByColumn(1, 1); }},
    };
    for (const Step &step : steps) {
        Grid g;
        fill(g);
        // Earlier formats and a merge that the step must keep or give back.
        g.range(1, 1, 1, 1).setFontItalic(true);
        g.mergeArea(GridArea{5, 3, 6, 4});
        QUndoStack stack;
        const QByteArray before = g.toJson();
        stack.push(new GridUndoCommand(g, QString::fromLatin1(step.name), step.cells, step.change));
        ASSERT_EQ(stack.count(), 1) << step.name;
        const QByteArray after = g.toJson();
        EXPECT_NE(after, before) << step.name;
        stack.undo();
        EXPECT_EQ(g.toJson(), before) << step.name;
        stack.redo();
        EXPECT_EQ(g.toJson(), after) << step.name;
        stack.undo();
        EXPECT_EQ(g.toJson(), before) << step.name;
    }

    // Steps undone in turn, a whole-grid one among cell ones; a change of nothing is no step.
    Grid g;
    fill(g);
    const QByteArray start = g.toJson();
    QUndoStack stack;
    stack.push(new GridUndoCommand(g, "a", {1, 1, 1, 1},
                                   [](Grid &x) { x.range(1, 1, 1, 1).setBackColor(Qt::blue); }));
    stack.push(new GridUndoCommand(g, "b", {}, [](Grid &x) { x.deleteRows(1, 2); }));
    stack.push(new GridUndoCommand(g, "c", {1, 1, 2, 2},
                                   [](Grid &x) { x.range(1, 1, 2, 2).setForeColor(Qt::green); }));
    stack.push(new GridUndoCommand(g, "nothing", {1, 1, 1, 1}, [](Grid &) {}));
    EXPECT_EQ(stack.count(), 3);
    const QByteArray end = g.toJson();
    stack.setIndex(0);
    EXPECT_EQ(g.toJson(), start);
    stack.setIndex(3);
    EXPECT_EQ(g.toJson(), end);

    // What was changed by hand outside the steps (a column widened, the page turned) stays
    // when a step is undone.
    g.setColumnWidth(2, 150);
    PageSetup page = g.pageSetup();
    page.orientation = PageSetup::Orientation::Landscape;
    g.setPageSetup(page);
    stack.undo();
    EXPECT_EQ(g.columnWidth(2), 150);
    stack.undo();
    EXPECT_EQ(g.rows(), 7);
    EXPECT_TRUE(g.pageSetup().isLandscape());
}
