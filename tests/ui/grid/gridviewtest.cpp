#include "ui/grid/gridview.h"
#include "support/testapp.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QPaintEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::ensureApp;

namespace {

// A document-like grid: header row, row numbers, three data columns, a blank last row.
struct ViewFixture
{
    Grid grid;
    GridView view{&grid};

    ViewFixture()
    {
        grid.setRows(1);
        grid.setCols(4);
        grid.setDisplayRowIndex(true);
        grid.setCellText(0, 1, QStringLiteral("姓名"));
        grid.setCellText(0, 2, QStringLiteral("成绩"));
        grid.setCellText(0, 3, QStringLiteral("班级"));
        grid.addItem(QStringLiteral("张三\t85\t1"));
        grid.addItem(QStringLiteral("李四\t92\t2"));
        grid.addItem(QStringLiteral("王五\t78\t1"));
        grid.addItem(QString());
        view.resize(400, 300);
        view.show();
        QCoreApplication::processEvents();
    }

    QPoint centre(int row, int col) const { return view.cellRect(row, col).center(); }
    void click(int row, int col, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, mods, centre(row, col));
    }
    void doubleClick(int row, int col)
    {
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, centre(row, col));
    }
};

// The regions a widget was asked to paint.
class PaintLog final : public QObject
{
public:
    explicit PaintLog(QWidget *widget) { widget->installEventFilter(this); }
    QList<QRegion> regions;
    QRect bounds() const
    {
        QRegion all;
        for (const QRegion &r : regions)
            all += r;
        return all.boundingRect();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            regions.append(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
};

// The viewport painted for the region only, over a background no cell has.
QImage paintOf(QWidget *viewport, const QRegion &region)
{
    QImage image(viewport->size(), QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    viewport->render(&image, region.boundingRect().topLeft(), region);
    return image;
}

QStringList column(const Grid &g, int col)
{
    QStringList out;
    for (int r = 1; r < g.rows(); ++r)
        out << g.cellText(r, col);
    return out;
}

} // namespace

TEST(GridView, ClickDragAndKeysSelect)
{
    ensureApp();
    ViewFixture f;
    QSignalSpy changed(&f.view, &GridView::selectionChanged);
    QSignalSpy rows(&f.view, &GridView::rowClicked);
    f.click(2, 1);
    EXPECT_EQ(f.view.selection().activeRow(), 2);
    EXPECT_EQ(f.view.selection().activeCol(), 1);
    EXPECT_GE(changed.count(), 1);
    ASSERT_EQ(rows.count(), 1);
    EXPECT_EQ(rows.at(0).at(0).toInt(), 2);

    f.click(3, 3, Qt::ShiftModifier);
    EXPECT_EQ(f.view.selection().area(), (GridArea{2, 1, 3, 3}));
    EXPECT_EQ(f.view.selection().activeRow(), 2);

    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre(1, 1));
    QTest::mouseMove(f.view.viewport(), f.centre(3, 2));
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre(3, 2));
    EXPECT_EQ(f.view.selection().area(), (GridArea{1, 1, 3, 2}));

    f.click(1, 1);
    QTest::keyClick(&f.view, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&f.view, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(f.view.selection().area(), (GridArea{1, 1, 2, 2}));
    QTest::keyClick(&f.view, Qt::Key_End);
    QTest::keyClick(&f.view, Qt::Key_Home);
    QTest::keyClick(&f.view, Qt::Key_Tab);
    EXPECT_EQ(f.view.selection().activeCol(), 2);
    QTest::keyClick(&f.view, Qt::Key_Return);
    EXPECT_EQ(f.view.selection().activeRow(), 2);
    QTest::keyClick(&f.view, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(f.view.selection().area(), (GridArea{1, 1, 4, 3}));

    // A hidden column is passed over.
    f.grid.column(2).setWidth(0);
    f.click(1, 1);
    QTest::keyClick(&f.view, Qt::Key_Right);
    EXPECT_EQ(f.view.selection().activeCol(), 3);

    // Key handlers see the key first and may swallow it.
    QObject::connect(&f.view, &GridView::keyPressed,
                     [](int key, Qt::KeyboardModifiers mods, bool *handled) {
                         if (key == Qt::Key_C && mods == Qt::ControlModifier)
                             *handled = true;
                         if (key == Qt::Key_Down)
                             *handled = true;
                     });
    QTest::keyClick(&f.view, Qt::Key_Down);
    EXPECT_EQ(f.view.selection().activeRow(), 1);
}

TEST(GridView, EditingInPlaceRespectsLocksAndNumericMasks)
{
    ensureApp();
    ViewFixture f;
    QSignalSpy edited(&f.view, &GridView::cellEdited);
    f.click(1, 1);
    QTest::keyClicks(&f.view, QStringLiteral("x"));
    ASSERT_TRUE(f.view.isEditing());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("yz"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(f.view.isEditing());
    EXPECT_EQ(f.grid.cellText(1, 1), QStringLiteral("xyz"));
    EXPECT_EQ(f.view.selection().activeRow(), 2);
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0).at(2).toString(), QStringLiteral("张三"));

    // Esc cancels.
    QTest::keyClick(&f.view, Qt::Key_F2);
    ASSERT_TRUE(f.view.isEditing());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("!!"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(f.grid.cellText(2, 1), QStringLiteral("李四"));

    // A locked cell refuses, by keys and by double-click.
    f.grid.range(3, 1, 3, 1).setLocked(true);
    f.click(3, 1);
    QTest::keyClicks(&f.view, QStringLiteral("q"));
    EXPECT_FALSE(f.view.isEditing());
    f.doubleClick(3, 1);
    EXPECT_FALSE(f.view.isEditing());
    EXPECT_EQ(f.grid.cellText(3, 1), QStringLiteral("王五"));

    // A numeric column takes a number only.
    f.grid.column(2).setMask(GridMask::Numeric);
    f.click(1, 2);
    QTest::keyClicks(&f.view, QStringLiteral("9"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("a5.b5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(f.grid.cellText(1, 2), QStringLiteral("95.5"));
    f.click(2, 2);
    QTest::keyClicks(&f.view, QStringLiteral("a"));
    EXPECT_FALSE(f.view.isEditing());
    EXPECT_EQ(f.grid.cellText(2, 2), QStringLiteral("92"));

    // Delete clears the unlocked cells of the selection.
    f.view.selection().select(1, 1, 3, 1);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    EXPECT_EQ(f.grid.cellText(1, 1), QString());
    EXPECT_EQ(f.grid.cellText(3, 1), QStringLiteral("王五"));
}

TEST(GridView, HeaderDoubleClickSortsWhenAllowedTogglingOrder)
{
    ensureApp();
    ViewFixture f;
    f.doubleClick(0, 2);
    EXPECT_EQ(column(f.grid, 2), (QStringList{"85", "92", "78", ""}));
    f.grid.setAllowUserSort(true);
    f.doubleClick(0, 2);
    EXPECT_EQ(column(f.grid, 2), (QStringList{"78", "85", "92", ""}));
    f.doubleClick(0, 2);
    EXPECT_EQ(column(f.grid, 2), (QStringList{"92", "85", "78", ""}));
}

TEST(GridView, DraggingHeaderBordersResizes)
{
    ensureApp();
    ViewFixture f;
    const int before = f.grid.columnWidth(1);
    const QRect header = f.view.cellRect(0, 1);
    const QPoint edge(header.right() + 1, header.center().y());
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(f.view.viewport(), edge + QPoint(30, 0));
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, edge + QPoint(30, 0));
    EXPECT_EQ(f.grid.columnWidth(1), before + 30);

    const QRect rowHead = f.view.cellRect(2, 0);
    const QPoint bottom(rowHead.center().x(), rowHead.bottom() + 1);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, bottom);
    QTest::mouseMove(f.view.viewport(), bottom + QPoint(0, 15));
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, bottom + QPoint(0, 15));
    EXPECT_EQ(f.grid.rowHeight(2), f.grid.defaultRowHeight() + 15);
}

TEST(GridView, DropDownCellsAskForTheirListAndReportTheChoice)
{
    ensureApp();
    ViewFixture f;
    f.grid.range(1, 3, 3, 3).setDropDown(true);
    QSignalSpy chosen(&f.view, &GridView::dropDownChosen);
    QObject::connect(
        &f.view, &GridView::dropDownRequested, [&](int row, int col, QStringList *items) {
            if (row == 2 && col == 3)
                *items = {QStringLiteral("姓名"), QStringLiteral("考号"), QStringLiteral("考场")};
        });
    f.doubleClick(2, 3);
    ASSERT_TRUE(f.view.isEditing());
    auto *combo = f.view.viewport()->findChild<QComboBox *>();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    emit combo->activated(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0), (QVariantList{2, 3, 1, QStringLiteral("考号")}));
    EXPECT_EQ(f.grid.cellText(2, 3), QStringLiteral("考号"));
    EXPECT_FALSE(f.view.isEditing());
}

TEST(GridView, FrozenHeadersAndOnlyVisibleRowsWhenScrolled)
{
    ensureApp();
    Grid grid;
    grid.setAutoRedraw(false);
    grid.setRows(1);
    grid.setCols(11);
    for (int i = 0; i < 100000; ++i)
        grid.addItem(QStringLiteral("%1\t%2").arg(i).arg(i % 97), false);
    grid.setAutoRedraw(true);
    grid.refresh();
    GridView view(&grid);
    view.resize(500, 400);
    view.show();
    QCoreApplication::processEvents();
    view.scrollToCell(50000, 10);
    QCoreApplication::processEvents();
    // The header row and the row-number column stay in place.
    EXPECT_EQ(view.cellRect(0, 5).top(), 0);
    EXPECT_EQ(view.cellRect(777, 0).left(), 0);
    int row = 0;
    int col = 0;
    ASSERT_TRUE(view.cellAt(view.cellRect(50000, 10).center(), &row, &col));
    EXPECT_EQ(row, 50000);
    EXPECT_EQ(col, 10);
    ASSERT_TRUE(view.cellAt(QPoint(5, 5), &row, &col));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
}

TEST(GridView, AutoRedrawOffHoldsTheViewUntilRefresh)
{
    ensureApp();
    ViewFixture f;
    QScrollBar *bar = f.view.verticalScrollBar();
    const int before = bar->maximum();
    f.grid.setAutoRedraw(false);
    for (int i = 0; i < 500; ++i)
        f.grid.addItem(QStringLiteral("x\t1\t2"));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->maximum(), before);
    f.grid.setAutoRedraw(true);
    f.grid.refresh();
    QCoreApplication::processEvents();
    EXPECT_GT(bar->maximum(), before);
    // A disabled grid takes no clicks and no edits.
    f.grid.setEnabled(false);
    f.click(3, 2);
    EXPECT_NE(f.view.selection().activeRow(), 3);
    EXPECT_FALSE(f.view.editCell(3, 2));
}

TEST(GridView, RepaintsOnlyTheCellsAChangeReports)
{
    ensureApp();
    ViewFixture f;
    PaintLog log(f.view.viewport());
    const QRect all = f.view.viewport()->rect();

    const QRect cell = f.view.cellRect(2, 2);
    f.grid.setCellText(2, 2, QStringLiteral("99"));
    QCoreApplication::processEvents();
    ASSERT_FALSE(log.regions.isEmpty());
    EXPECT_TRUE(log.bounds().contains(cell));
    EXPECT_TRUE(cell.adjusted(-2, -2, 2, 2).contains(log.bounds())) << "not just the cell";

    // A row inserted moves the rows from it down; what is above stays.
    log.regions.clear();
    const int top = f.view.cellRect(3, 1).top();
    f.grid.insertRows(3);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.bounds(), QRect(0, top, all.width(), all.height() - top));

    // A change out of sight paints nothing.
    for (int i = 0; i < 60; ++i)
        f.grid.addItem(QStringLiteral("x\t1\t2"));
    QCoreApplication::processEvents();
    log.regions.clear();
    f.grid.setCellText(50, 1, QStringLiteral("far"));
    f.grid.range(40, 1, 45, 3).setFontBold(true);
    QCoreApplication::processEvents();
    EXPECT_TRUE(log.regions.isEmpty());
}

TEST(GridView, APartialPaintLooksLikeTheFullOne)
{
    ensureApp();
    ViewFixture f;
    for (int i = 0; i < 60; ++i)
        f.grid.addItem(QStringLiteral("名%1\t%1\t%2").arg(i).arg(i % 3));
    f.grid.range(1, 1, 60, 3)
        .setBorder(GridBorder::Edge::InsideHorizontal, GridBorder::Style::Thick);
    f.grid.range(1, 1, 60, 3).setBorder(GridBorder::Edge::InsideVertical, GridBorder::Style::Thin);
    f.grid.range(2, 2, 3, 3).merge();
    f.grid.range(42, 1, 43, 2).merge();
    f.grid.range(1, 1, 60, 1).setBackColor(QColor(255, 255, 200));
    QCoreApplication::processEvents();
    QWidget *viewport = f.view.viewport();
    // Dirty parts on cell edges, inside blocks, across the fixed rows and column, scrolled.
    for (const bool scrolled : {false, true}) {
        if (scrolled) {
            f.view.scrollToCell(44, 3);
            QCoreApplication::processEvents();
        }
        const int row = scrolled ? 43 : 3;
        const QImage full = paintOf(viewport, viewport->rect());
        const QRect cell = f.view.cellRect(row, 2);
        const QRect rows(0, f.view.cellRect(row, 1).top(), viewport->width(), 2 * cell.height());
        const QRect header(cell.left(), 0, cell.width(), cell.bottom());
        for (QRect dirty : {cell, cell.adjusted(-2, -2, 2, 2), cell.adjusted(5, 3, -5, -3), rows,
                            header, f.view.cellRect(row - 1, 1)}) {
            dirty = dirty.intersected(viewport->rect());
            const QImage part = paintOf(viewport, dirty);
            for (int y = dirty.top(); y <= dirty.bottom(); ++y) {
                for (int x = dirty.left(); x <= dirty.right(); ++x) {
                    if (part.pixel(x, y) != full.pixel(x, y)) {
                        ADD_FAILURE() << "scrolled " << scrolled << ", dirty " << dirty.x() << ","
                                      << dirty.y() << " " << dirty.width() << "×" << dirty.height()
                                      << " differs at " << x << "," << y;
                        return;
                    }
                }
            }
        }
    }
}
