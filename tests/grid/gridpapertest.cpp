#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridcellpainter.h"
#include "grid/gridpagerenderer.h"
#include "grid/gridpaperfit.h"
#include "grid/pdftextlayer.h"

#include "support/pdfcheck.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace fenpai;
using fenpai::test::pdfText;
using fenpai::test::radicalsIn;

namespace {

void ensureGuiApp()
{
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gridpapertest";
        static char *argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // kept: Qt's statics outlive the tests
    }
    FontSubstitutes::install();
}

// One cell per text, each in its font, in a grid wide enough for all of them.
QString writeAndRead(const QList<std::pair<QString, QString>> &cells, const QString &path)
{
    Grid g;
    g.setRows(int(cells.size()) + 1);
    g.setCols(2);
    g.setColumnWidth(1, 600);
    for (int i = 0; i < cells.size(); ++i) {
        g.setCellText(i + 1, 1, cells[i].second);
        g.range(i + 1, 1, i + 1, 1).setFontName(cells[i].first);
    }
    const Status s = GridPageRenderer(g).writePdf(path);
    EXPECT_TRUE(s.isOk()) << s.message().toStdString();
    return pdfText(path, 0, false);
}

} // namespace

TEST(PdfTextLayer, ThePdfReadsBackTheCharactersDrawnNotTheirRadicals)
{
    ensureGuiApp();
    QTemporaryDir dir;
    const QString serif = QStringLiteral("宋体"), sans = QStringLiteral("黑体"),
                  latin = QStringLiteral("Arial");
    // Each font shares these glyphs with radicals; Arial falls back to a CJK font for them.
    const QList<std::pair<QString, QString>> cells = {
        {serif, QStringLiteral("黄马龙一生女金页")},
        {sans, QStringLiteral("黄博欣 学生 黑体")},
        {latin, QStringLiteral("考号 123456789012345678 黄马")},
        {serif, QStringLiteral("共3页第1页")},
    };
    const QString text = writeAndRead(cells, dir.filePath(QStringLiteral("文字.pdf")));
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    for (const auto &[font, written] : cells)
        EXPECT_TRUE(text.contains(written))
            << written.toStdString() << " in " << text.toStdString();
    EXPECT_EQ(radicalsIn(text), QString());
}

TEST(PdfTextLayer, ARadicalWrittenAsSuchStaysARadical)
{
    ensureGuiApp();
    QTemporaryDir dir;
    const QString radical = QString::fromUcs4(U"\u2ee9\u2f00"); // ⻩ ⼀
    const QString text =
        writeAndRead({{QStringLiteral("宋体"), radical}}, dir.filePath(QStringLiteral("部首.pdf")));
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_TRUE(text.contains(radical)) << text.toStdString();
}

TEST(PdfTextLayer, TheIdeographWinsWhenBothShapesOfOneGlyphWereDrawn)
{
    ensureGuiApp();
    PdfTextLayer layer;
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    font.setPixelSize(12);
    layer.record(font, QStringLiteral("黄"));
    layer.record(font, QString::fromUcs4(U"\u2ee9"));
    layer.record(font, QStringLiteral("a b"));
    const QString name = QStringLiteral("NotoSerifCJKsc-Regular");
    EXPECT_EQ(layer.characterFor(name, 0x2ee9), char32_t(0x9ec4)); // ⻩ → 黄
    EXPECT_EQ(layer.characterFor(name, 0x9ec4), char32_t(0x9ec4));
    EXPECT_EQ(layer.characterFor(name, 0x09), char32_t(' ')); // a tab's glyph drawn as a space
    EXPECT_EQ(layer.characterFor(name, 0x9a6c), char32_t(0)); // 马 was never drawn
}

TEST(PdfTextLayer, NoPdfIsRefusedWithAReason)
{
    ensureGuiApp();
    PdfTextLayer layer;
    QFont font(QStringLiteral("Noto Serif CJK SC"));
    layer.record(font, QStringLiteral("黄"));
    const Result<QByteArray> out = layer.rewrite("not a pdf");
    EXPECT_FALSE(out.isOk());
    EXPECT_FALSE(out.status().message().isEmpty());
}

namespace {

// A grid of one header row and the given rows of one column, in the grid's default font.
Grid *oneColumn(const QString &header, const QStringList &values)
{
    auto *g = new Grid;
    g->setRows(1);
    g->setCols(2);
    g->setCellText(0, 1, header);
    for (const QString &v : values)
        g->addItem(v);
    return g;
}

double paperWidth(const Grid &g, int row, int col)
{
    return GridPaperFit::textWidth(g.cellFont(row, col).toPixelFont(), g.displayText(row, col));
}

} // namespace

TEST(GridPaperFit, AValueThatFitsOnScreenButNotOnPaperGetsAWiderColumn)
{
    ensureGuiApp();
    const QString number = QStringLiteral("202600000000000001");
    std::unique_ptr<Grid> g(oneColumn(QStringLiteral("考号"), {number}));
    // A screen whose hinting draws narrower than the paper does.
    g->autoFitColumn(1, [](const QFont &font, const QString &text) {
        return QFontMetricsF(font).horizontalAdvance(text) * 0.8;
    });
    const int screen = g->columnWidth(1);
    GridPaperFit::fitColumns(*g, {1}, {});
    EXPECT_GT(g->columnWidth(1), screen);
    EXPECT_GE(g->columnWidth(1), paperWidth(*g, 1, 1) + 4) << "the painter's padding included";
    EXPECT_FALSE(g->cellStyle(1, 1).wrapText);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("考号.pdf"));
    ASSERT_TRUE(GridPageRenderer(*g).writePdf(path).isOk());
    const QString text = pdfText(path, 0, false);
    if (!text.isEmpty()) {
        EXPECT_TRUE(text.contains(number)) << text.toStdString();
        EXPECT_FALSE(text.contains(u'#'));
    }
}

TEST(GridPaperFit, LongTextsWrapAtTheLimitNumbersNever)
{
    ensureGuiApp();
    const QString school = QStringLiteral("湖滨市第一实验初级中学南校区"); // 14 characters
    const QString number = QStringLiteral("202600000000000001");
    std::unique_ptr<Grid> g(oneColumn(QStringLiteral("学校"), {school, QStringLiteral("一中")}));
    g->setCols(3);
    g->setCellText(0, 2, QStringLiteral("考号"));
    g->setCellText(1, 2, number);
    const int rowHeight = g->rowHeight(1);
    GridPaperFit::Options limit;
    limit.maxWidth = 100;
    GridPaperFit::fitColumns(*g, {1, 2}, limit);

    EXPECT_LE(g->columnWidth(1), 100);
    EXPECT_TRUE(g->cellStyle(1, 1).wrapText);
    EXPECT_FALSE(g->cellStyle(2, 1).wrapText) << "a short value stays as it was";
    EXPECT_GE(g->rowHeight(1), 2 * rowHeight - 4) << "the row grows for the second line";
    EXPECT_EQ(g->rowHeight(2), rowHeight);
    EXPECT_GE(g->columnWidth(2), paperWidth(*g, 1, 2)) << "a number is never broken";
    EXPECT_FALSE(g->cellStyle(1, 2).wrapText);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("学校.pdf"));
    ASSERT_TRUE(GridPageRenderer(*g).writePdf(path).isOk());
    QString text = pdfText(path, 0, false);
    if (!text.isEmpty()) {
        text.remove(u'\n').remove(u' ');
        EXPECT_TRUE(text.contains(school)) << "every character printed: " << text.toStdString();
        EXPECT_FALSE(text.contains(QChar(0x2026)));
    }
}

TEST(GridPaperFit, ColumnsShareAPageWidthTheLayoutsWidthGivingWayFirst)
{
    ensureGuiApp();
    std::unique_ptr<Grid> g(oneColumn(QStringLiteral("姓名"), {QStringLiteral("黄博欣")}));
    g->setCols(5);
    const QStringList row = {QStringLiteral("黄博欣"), QStringLiteral("男"),
                             QStringLiteral("湖滨市第一实验初级中学南校区"),
                             QStringLiteral("初三(10)班")};
    for (int c = 1; c <= 4; ++c)
        g->setCellText(1, c, row[c - 1]);
    const auto total = [&] {
        int sum = 0;
        for (int c = 1; c <= 4; ++c)
            sum += g->columnWidth(c);
        return sum;
    };
    struct Case
    {
        double pageWidth;
        bool schoolWraps;
    };
    // Room for everything at the layout's 83; room only without it; room only with wrapping.
    for (const Case &c : {Case{600, false}, Case{330, false}, Case{200, true}}) {
        GridPaperFit::Options o;
        o.minWidth = 83;
        o.pageWidth = c.pageWidth;
        GridPaperFit::fitColumns(*g, {1, 2, 3, 4}, o);
        EXPECT_LE(total(), c.pageWidth) << c.pageWidth;
        EXPECT_EQ(g->cellStyle(1, 3).wrapText, c.schoolWraps) << c.pageWidth;
        if (c.pageWidth == 600) {
            EXPECT_EQ(g->columnWidth(2), 83);
        }
        g->range(1, 1, 1, 4).setWrapText(false);
    }
}

TEST(GridPaperFit, ShrinkToFitTakesSmallerTypeBeforeWrapping)
{
    ensureGuiApp();
    Grid g;
    g.setRows(2);
    g.setCols(3);
    g.setColumnWidth(1, 60);
    g.setColumnWidth(2, 60);
    g.range(1, 1, 1, 2).merge();
    g.setCellText(1, 1, QStringLiteral("202600000000000001"));
    g.range(1, 1, 1, 1).setFontSize(14);
    GridPaperFit::shrinkToFit(g, 1, 1, 6);
    EXPECT_LT(g.cellFont(1, 1).size, 14);
    EXPECT_LE(paperWidth(g, 1, 1) + GridPaperFit::kPadding, 120) << "the block's width counts";
    EXPECT_GT(g.cellFont(1, 1).size, 6) << "only as small as needed";
    EXPECT_FALSE(g.cellStyle(1, 1).wrapText);

    g.setCellText(1, 1, QStringLiteral("湖滨市第一实验初级中学南校区湖滨市第一实验初级中学"));
    g.range(1, 1, 1, 1).setFontSize(14);
    GridPaperFit::shrinkToFit(g, 1, 1, 10);
    EXPECT_EQ(g.cellFont(1, 1).size, 10);
    EXPECT_TRUE(g.cellStyle(1, 1).wrapText) << "below the smallest size it wraps";
}

TEST(GridCellPainter, ABorderAtAPagesFootBelongsToTheRowsOnThatPage)
{
    ensureGuiApp();
    // Two pasted blocks: the second's top edge is thick, the first has no line at its bottom.
    Grid g;
    g.setRows(3);
    g.setCols(2);
    g.setColumnWidth(1, 40);
    g.setRowHeight(1, 20);
    g.setRowHeight(2, 20);
    g.applyStyle(GridArea{2, 1, 2, 1}, [](CellStyle &s) {
        s.borders[static_cast<size_t>(GridBorder::Edge::Top)] = GridBorder::Style::Thick;
    });
    GridPaintOptions options;
    options.gridlines = false;
    options.fixedLook = false;
    const auto bottomLineInk = [&](const QList<int> &rows) {
        QImage image(40, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        GridPaintLayout layout;
        layout.cols = {1};
        layout.colLefts = {0};
        for (qsizetype i = 0; i < rows.size(); ++i) {
            layout.rows.append(rows[i]);
            layout.rowTops.append(int(20 * i));
        }
        GridCellPainter(g, options).paint(painter, layout);
        painter.end();
        return qGray(image.pixel(20, 19)) < 128; // row 1's last pixel line
    };
    EXPECT_TRUE(bottomLineInk({1, 2})) << "on one page the shared edge is drawn";
    EXPECT_FALSE(bottomLineInk({1})) << "a page ending with row 1 shows no line of row 2's";
}
