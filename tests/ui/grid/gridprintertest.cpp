#include "ui/grid/gridprinter.h"
#include "grid/gridpagination.h"
#include "support/pdfcheck.h"
#include "support/testapp.h"
#include "ui/grid/gridview.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::ensureApp;

namespace {

QByteArray photo()
{
    QImage image(60, 80, QImage::Format_RGB32);
    image.fill(QColor(0x9c, 0xc3, 0xe6));
    QPainter p(&image);
    p.setBrush(QColor(0xf4, 0xb1, 0x83));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(15, 10, 30, 34));
    p.drawRect(QRect(8, 50, 44, 30));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A result table showing what the painter must get right: a merged title block, borders,
// wrapped Chinese text, a hidden column, a picture over a merged block, a numeric format.
void buildShowcase(Grid &g, int dataRows)
{
    g.setAutoRedraw(false);
    g.setRows(1);
    g.setCols(7);
    g.setDisplayRowIndex(true);
    const QStringList headers = {"姓名", "成绩", "平均分", "隐藏", "说明", "照片"};
    for (int c = 1; c <= 6; ++c)
        g.setCellText(0, c, headers.at(c - 1));
    g.addItem(QStringLiteral("2026年秋季学期期中考试成绩表"));
    for (int i = 0; i < dataRows; ++i) {
        g.addItem(QStringLiteral("学生%1\t%2\t%3\t隐藏\t\t")
                      .arg(i + 1)
                      .arg(60 + (i * 37) % 40)
                      .arg(1000 + i * 12.345, 0, 'f', 3));
    }
    g.range(1, 1, 1, 6).merge();
    g.range(1, 1, 1, 6).setFont(GridFont{QStringLiteral("黑体"), 14, true});
    g.range(1, 1, 1, 6).setAlignment(GridAlign::CenterMiddle);
    g.range(1, 1, 1, 6).setBackColor(QColor(0xff, 0xf2, 0xcc));
    g.setRowHeight(1, 36);
    g.setCellText(2, 5, QStringLiteral("这是一段需要自动换行显示的很长的中文说明文字。"));
    g.range(2, 5, 2, 5).setWrapText(true);
    g.setRowHeight(2, 60);
    g.column(3).setMask(GridMask::Numeric);
    g.column(3).setFormatString(QStringLiteral("##,##0.00"));
    g.column(3).setWidth(90);
    g.column(4).setWidth(0);
    g.column(5).setWidth(110);
    g.range(2, 6, 4, 6).merge();
    g.addImageData(QStringLiteral("p1"), photo());
    g.setCellImage(2, 6, QStringLiteral("p1"));
    g.range(1, 1, 6, 6).setBorder(GridBorder::Edge::InsideHorizontal, GridBorder::Style::Thin);
    g.range(1, 1, 6, 6).setBorder(GridBorder::Edge::InsideVertical, GridBorder::Style::Thin);
    for (GridBorder::Edge edge : {GridBorder::Edge::Left, GridBorder::Edge::Top,
                                  GridBorder::Edge::Right, GridBorder::Edge::Bottom})
        g.range(1, 1, 6, 6).setBorder(edge, GridBorder::Style::Thick);
    g.range(3, 2, 3, 2).setForeColor(QColor(Qt::red));
    g.range(3, 1, 3, 1).setFontItalic(true);
    g.addReportTitle(
        ReportTitle{QStringLiteral("成绩统计表"), GridFont{QStringLiteral("宋体"), 16}, 0, true});
    g.addReportTitle(ReportTitle{QStringLiteral("一中||2026-11-01"),
                                 GridFont{QStringLiteral("Arial"), 10}, 1, true});
    PageSetup &p = g.pageSetup();
    p.footer = PageSetup::standardFooter();
    p.header = QStringLiteral("第 3 考场");
    p.centerHorizontally = true;
    p.leftMargin = p.rightMargin = 1;
    p.topMargin = p.bottomMargin = 2;
    p.headerMargin = p.footerMargin = 1;
    p.printFixedColumn = true;
    g.setAutoRedraw(true);
    g.refresh();
}

int pdfPageCount(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral(R"(/Type\s*/Page[^s])"));
    return int(QString::fromLatin1(pdf).count(page));
}

} // namespace

TEST(GridPrinter, PdfWrittenHeadlessWithTheExpectedPages)
{
    ensureApp();
    Grid g;
    buildShowcase(g, 120);
    const int pages = int(GridPagination::paginate(g).pages.size());
    ASSERT_GE(pages, 3);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("成绩.pdf"));
    const Status status = GridPageRenderer(g).writePdf(path);
    ASSERT_TRUE(status.isOk()) << status.message().toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdfPageCount(pdf), pages);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".part")));

    const QString text = test::pdfText(path);
    if (!text.isEmpty()) {
        EXPECT_EQ(test::radicalsIn(text), QString());
        EXPECT_TRUE(text.contains(QStringLiteral("共%1页").arg(pages)));
        EXPECT_TRUE(text.contains(QStringLiteral("第%1页").arg(pages)));
        EXPECT_TRUE(text.contains(QStringLiteral("期中考试成绩表")));
        EXPECT_TRUE(text.contains(QStringLiteral("1,000.00")));
        EXPECT_TRUE(text.contains(QStringLiteral("第 3 考场")));
        EXPECT_FALSE(text.contains(QStringLiteral("隐藏"))) << "a hidden column prints nothing";
    }

    const Status refused =
        GridPageRenderer(g).writePdf(dir.filePath(QStringLiteral("no/dir/x.pdf")));
    EXPECT_FALSE(refused.isOk());
}

TEST(GridPrinter, ShowcaseSnapshot)
{
    // Writes a screenshot and a PDF for a person to look at when asked to.
    const QString out = qEnvironmentVariable("FENPAI_GRID_SNAPSHOT_DIR");
    ensureApp();
    Grid g;
    buildShowcase(g, 40);
    GridView view(&g);
    view.resize(640, 420);
    view.show();
    QCoreApplication::processEvents();
    const QImage shot = view.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    // The picture is painted inside its merged block.
    const QRect block = view.cellRect(3, 6);
    EXPECT_EQ(block, view.cellRect(2, 6));
    EXPECT_EQ(shot.pixelColor(block.center()), QColor(0xf4, 0xb1, 0x83));
    if (out.isEmpty())
        return;
    QDir().mkpath(out);
    shot.save(out + QStringLiteral("/gridview.png"));
    ASSERT_TRUE(GridPageRenderer(g).writePdf(out + QStringLiteral("/gridview.pdf")).isOk());
}
