#include "grid/grid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>

using namespace fenpai;

namespace {

constexpr int kEnd = GridArea::kEnd;

// A 10 × 6 document: a header row, five data rows with texts, the rest empty.
void fill(Grid &g)
{
    g.setRows(1);
    g.setCols(6);
    for (int i = 0; i < 9; ++i)
        g.addItem(i < 5 ? QStringLiteral("%1\t%2\tx").arg(9 - i).arg(i) : QString());
}

// The areas a grid reports, in order.
struct Reports
{
    QList<GridArea> areas;

    explicit Reports(Grid &g)
    {
        QObject::connect(&g, &Grid::changed, &g, [this](const GridArea &a) { areas.append(a); });
    }
};

} // namespace

TEST(GridChanges, EachChangeReportsTheCellsItTouched)
{
    struct Case
    {
        const char *name;
        std::function<void(Grid &)> change;
        QList<GridArea> reported;
        std::function<void(Grid &)> before = {}; // not reported
    };
    const auto block = [](Grid &g) { g.range(2, 3, 3, 4).merge(); };
    const QList<Case> cases = {
        {"cell text", [](Grid &g) { g.setCellText(2, 3, QStringLiteral("a")); }, {{2, 3, 2, 3}}},
        {"text of a merged block",
         [](Grid &g) { g.setCellText(2, 3, QStringLiteral("a")); },
         {{2, 3, 3, 4}},
         block},
        {"border with the neighbour's side",
         [](Grid &g) {
             g.range(1, 1, 2, 2).setBorder(GridBorder::Edge::Right, GridBorder::Style::Thick);
         },
         {{1, 2, 2, 3}}},
        {"clearing a cell of a block clears the block",
         [](Grid &g) { g.range(3, 4, 3, 4).clear(); },
         {{2, 3, 3, 4}},
         block},
        {"formats of part of a block",
         [](Grid &g) { g.range(3, 4, 4, 4).setFontBold(true); },
         {{2, 3, 4, 4}},
         block},
        {"paste cut off at the edge",
         [](Grid &g) {
             g.pasteFragment(g.fragment(GridArea{1, 1, 3, 3}), 8, 4);
         },
         {{8, 4, 9, 5}}},
        {"row inserted", [](Grid &g) { g.insertRows(3, 2); }, {{3, 0, kEnd, 5}}},
        {"row appended", [](Grid &g) { g.addItem(QStringLiteral("z")); }, {{10, 0, kEnd, 5}}},
        {"sorted below the fixed rows", [](Grid &g) { g.sortByColumn(1, 0); }, {{1, 0, kEnd, 5}}},
        {"column width", [](Grid &g) { g.setColumnWidth(2, 90); }, {{0, 2, 9, kEnd}}},
        {"column mask", [](Grid &g) { g.setColumnMask(2, GridMask::Numeric); }, {{0, 2, 9, 2}}},
        {"default font", [](Grid &g) { g.setDefaultFontSize(12); }, {{0, 0, 9, 5}}},
        {"fixed rows", [](Grid &g) { g.setFixedRows(2); }, {GridArea::everything()}},
        {"tags are not shown", [](Grid &g) { g.setCellTag(1, 1, QStringLiteral("t")); }, {}},
        {"outside the grid", [](Grid &g) { g.setCellText(50, 1, QStringLiteral("t")); }, {}},
        {"nothing unmerged",
         [](Grid &g) {
             g.unmergeArea(GridArea{1, 1, 2, 2});
         },
         {}},
    };
    for (const Case &c : cases) {
        Grid g;
        fill(g);
        if (c.before)
            c.before(g);
        Reports reports(g);
        c.change(g);
        EXPECT_EQ(reports.areas, c.reported) << c.name;
    }
}

TEST(GridChanges, HeldWhileAutoRedrawIsOffThenReportedOnceAsTheirUnion)
{
    Grid g;
    fill(g);
    Reports reports(g);
    QSignalSpy inserted(&g, &Grid::rowsInserted);
    g.setAutoRedraw(false);
    g.setCellText(2, 2, QStringLiteral("a"));
    g.setCellText(5, 1, QStringLiteral("b"));
    g.range(3, 3, 3, 3).setFontBold(true);
    g.setAutoRedraw(true); // switching on shows nothing yet
    EXPECT_TRUE(reports.areas.isEmpty());
    g.refresh();
    EXPECT_EQ(reports.areas, (QList<GridArea>{{2, 1, 5, 3}}));

    // Structure is told at once, whatever autoRedraw says; the cells wait.
    reports.areas.clear();
    g.setAutoRedraw(false);
    g.insertRows(4, 1);
    EXPECT_EQ(inserted.count(), 1);
    g.setCellText(1, 1, QStringLiteral("c"));
    EXPECT_TRUE(reports.areas.isEmpty());
    g.setAutoRedraw(true);
    g.refresh();
    EXPECT_EQ(reports.areas, (QList<GridArea>{{1, 0, kEnd, 5}}));

    // A row added without redraw comes with the next change shown.
    reports.areas.clear();
    g.addItem(QStringLiteral("q"), false);
    EXPECT_TRUE(reports.areas.isEmpty());
    g.setCellText(1, 1, QStringLiteral("d"));
    EXPECT_EQ(reports.areas, (QList<GridArea>{{1, 0, kEnd, 5}}));

    // Refresh with nothing held redraws everything.
    reports.areas.clear();
    g.refresh();
    EXPECT_EQ(reports.areas, (QList<GridArea>{GridArea::everything()}));
}

TEST(GridChanges, ResetAndLoadingReplaceTheWholeGrid)
{
    Grid g;
    fill(g);
    const QByteArray json = g.toJson();
    Reports reports(g);
    QSignalSpy replaced(&g, &Grid::contentReplaced);
    g.reset();
    ASSERT_TRUE(g.fromJson(json).isOk());
    EXPECT_EQ(replaced.count(), 2);
    EXPECT_EQ(reports.areas, (QList<GridArea>{GridArea::everything(), GridArea::everything()}));
    // A refused file replaces nothing.
    EXPECT_FALSE(g.fromJson(QByteArray("{}")).isOk());
    EXPECT_EQ(replaced.count(), 2);
}
