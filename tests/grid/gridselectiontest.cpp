#include "grid/gridselection.h"
#include "grid/grid.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

using namespace fenpai;

TEST(GridSelection, SelectsNormalisedAndKeepsTheActiveCellWhereItWasGiven)
{
    Grid g;
    g.setRows(6);
    g.setCols(6);
    GridSelection sel(&g);
    EXPECT_EQ(sel.cursor(), GridCursor{});
    QSignalSpy spy(&sel, &GridSelection::selectionChanged);
    sel.select(4, 2, 1, 5);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(sel.range().firstRow(), 1);
    EXPECT_EQ(sel.range().lastRow(), 4);
    EXPECT_EQ(sel.activeRow(), 4);
    EXPECT_EQ(sel.activeCol(), 2);
    sel.select(g.range(2, 3, 3, 4).area());
    EXPECT_EQ(sel.area(), (GridArea{2, 3, 3, 4}));
    EXPECT_EQ(sel.activeCell().row(), 2);
    // Setting the same selection again is announced too: listeners refresh on it.
    sel.select(GridArea{2, 3, 3, 4});
    EXPECT_EQ(spy.count(), 3);
    // A selection past the grid's edge is kept inside it.
    sel.setSelection(GridArea{3, 3, 9, 9}, 9, 0);
    EXPECT_EQ(sel.area(), (GridArea{3, 3, 5, 5}));
    EXPECT_EQ(sel.activeRow(), 5);
    EXPECT_EQ(sel.activeCol(), 0);
}

TEST(GridSelection, ClampsWhenRowsAndColumnsGoAndParksUntilDataRowsComeBack)
{
    Grid g;
    g.setRows(6);
    g.setCols(6);
    GridSelection sel(&g);
    sel.select(2, 3, 3, 4);
    QSignalSpy spy(&sel, &GridSelection::selectionChanged);
    // Lines that come or go elsewhere leave a selection inside the grid alone.
    g.insertRows(1, 2);
    g.deleteCols(5, 1);
    EXPECT_EQ(sel.area(), (GridArea{2, 3, 3, 4}));
    EXPECT_EQ(spy.count(), 0);
    g.setCols(4);
    EXPECT_EQ(sel.area(), (GridArea{2, 3, 3, 3}));
    EXPECT_EQ(spy.count(), 1);

    // Refilling a document from its header row brings the cursor back to the first data row,
    // in the same column.
    g.setRows(1);
    EXPECT_EQ(sel.activeRow(), 0);
    g.addItem(QStringLiteral("a"));
    EXPECT_EQ(sel.activeRow(), 1);
    EXPECT_EQ(sel.activeCol(), 3);
    EXPECT_EQ(sel.area(), (GridArea{1, 3, 1, 3}));
    // Also while drawing is off, as a document fill runs: rows are told at once.
    g.setAutoRedraw(false);
    g.setRows(1);
    g.insertRows(1, 3);
    EXPECT_EQ(sel.activeRow(), 1);
    g.setAutoRedraw(true);
    g.refresh();
    // A selection the user put on the header row stays there.
    sel.select(0, 1, 0, 1);
    g.addItem(QStringLiteral("b"));
    EXPECT_EQ(sel.activeRow(), 0);
    // Rows that go without taking the cursor out of the data rows park nothing.
    sel.select(2, 1, 2, 1);
    g.setRows(3);
    g.deleteRows(1, 1);
    EXPECT_EQ(sel.activeRow(), 1);
    g.addItem(QStringLiteral("c"));
    EXPECT_EQ(sel.activeRow(), 1);
}

TEST(GridSelection, StartsAgainWhenTheGridIsReplacedAndLetsGoOfAGridThatGoes)
{
    auto g = std::make_unique<Grid>();
    g->setRows(6);
    g->setCols(6);
    const QByteArray json = g->toJson(GridCursor{GridArea{2, 2, 4, 4}, 4, 4});
    GridSelection sel(g.get());
    sel.select(3, 3, 3, 3);
    g->reset();
    EXPECT_EQ(sel.cursor(), GridCursor{});
    GridCursor stored;
    ASSERT_TRUE(g->fromJson(json, &stored).isOk());
    EXPECT_EQ(sel.cursor(), GridCursor{});
    sel.setCursor(stored);
    EXPECT_EQ(sel.area(), (GridArea{2, 2, 4, 4}));
    EXPECT_EQ(sel.activeRow(), 4);

    QSignalSpy spy(&sel, &GridSelection::selectionChanged);
    g.reset();
    EXPECT_EQ(sel.grid(), nullptr);
    EXPECT_EQ(spy.count(), 0); // nobody is called back while the grid goes
    sel.select(1, 1, 1, 1);    // and without a grid nothing breaks
    EXPECT_EQ(sel.area(), (GridArea{1, 1, 1, 1}));
}

// A report that gives its grid two header rows after the document opened starts the selection
// on its first data row, not inside a merged header; a chosen selection stays where it was put.
TEST(GridSelection, AnUnchosenSelectionLeavesHeaderRowsAddedLater)
{
    Grid g;
    GridSelection sel(&g);
    g.setAutoRedraw(false);
    g.reset();
    g.setRows(6);
    g.setCols(5);
    g.setFixedRows(2);
    g.refresh();
    EXPECT_EQ(sel.activeRow(), 2);
    EXPECT_EQ(sel.area(), (GridArea{2, 1, 2, 1}));

    sel.setActiveCell(0, 3);
    g.setFixedRows(3);
    EXPECT_EQ(sel.activeRow(), 0) << "a selection the user chose is left alone";
}
