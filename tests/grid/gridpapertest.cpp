#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "grid/pdftextlayer.h"

#include "support/pdfcheck.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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
