#include "grid/gridcellpainter.h"
#include "grid/grid.h"
#include "support/testapp.h"

#include <QFontMetricsF>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::ensureApp;

namespace {

// A grid of one data cell in column 1.
void putOneCell(Grid &g, const QString &text)
{
    g.setRows(2);
    g.setCols(2);
    g.setCellText(1, 1, text);
}

} // namespace

TEST(GridCellPainter, ANumberIsShownWholeOrAsHashes)
{
    ensureApp();
    for (const QString &number : {QString("21004002"), QString("210040020000000001")}) {
        Grid g;
        putOneCell(g, number);
        EXPECT_EQ(GridCellPainter::shownText(g, 1, 1, 400), number);
        for (int width : {10, 30, 50}) {
            const QString shown = GridCellPainter::shownText(g, 1, 1, width);
            EXPECT_FALSE(shown.isEmpty()) << width;
            EXPECT_EQ(shown, QString(shown.size(), u'#')) << "never part of the digits: " << width;
            const QFontMetricsF metrics(GridCellPainter::pixelFont(g, 1, 1));
            EXPECT_LE(metrics.horizontalAdvance(shown),
                      std::max(width - 4.0, metrics.horizontalAdvance(u'#')) + 0.5);
        }
    }
    // A score through a numeric column too.
    Grid score;
    putOneCell(score, "95.5");
    score.setColumnMask(1, GridMask::Numeric);
    EXPECT_EQ(GridCellPainter::shownText(score, 1, 1, 8), "#");
}

TEST(GridCellPainter, ATextTooLongIsElidedAndWrappedTextIsKept)
{
    ensureApp();
    const QString school = "城关第一小学城关第一小学城关第一小学分校";
    Grid g;
    putOneCell(g, school);
    EXPECT_EQ(GridCellPainter::shownText(g, 1, 1, 600), school);
    const QString shown = GridCellPainter::shownText(g, 1, 1, 80);
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << qPrintable(shown);
    EXPECT_TRUE(school.startsWith(shown.chopped(1)));
    g.range(1, 1, 1, 1).setWrapText(true);
    EXPECT_EQ(GridCellPainter::shownText(g, 1, 1, 80), school) << "wrapping shows it all";
    EXPECT_EQ(GridCellPainter::shownText(g, 0, 1, 10), "") << "an empty cell";
}
