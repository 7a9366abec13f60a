#include "grid/gridexport.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "support/xlsxprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::XlsxProbe;

namespace {

// A small result table: header, numbers, an exam number with a leading zero, a merged title
// row, a hidden column, fonts and borders.
void build(Grid &g)
{
    g.setRows(1);
    g.setCols(5);
    g.setDisplayRowIndex(true);
    g.setCellText(0, 1, QStringLiteral("姓名"));
    g.setCellText(0, 2, QStringLiteral("成绩"));
    g.setCellText(0, 3, QStringLiteral("考号"));
    g.setCellText(0, 4, QStringLiteral("备注"));
    g.addItem(QStringLiteral("张三\t90.5\t0517\t<b>&</b>"));
    g.addItem(QStringLiteral("李四\t85\t20260101\t"));
    g.addItem(QStringLiteral("合并标题"));
    g.range(3, 1, 3, 3).merge();
    g.range(0, 1, 0, 4).setFontBold(true);
    g.range(1, 1, 1, 1).setFontName(QStringLiteral("黑体"));
    g.range(1, 1, 1, 1).setFontSize(14);
    g.range(1, 2, 1, 2).setAlignment(GridAlign::CenterMiddle);
    g.range(0, 1, 2, 2).setBorder(GridBorder::Edge::Left, GridBorder::Style::Thin);
    g.column(4).setWidth(0);
    g.column(1).setWidth(120);
}

} // namespace

TEST(GridExport, XlsxReadsBackWithNumbersMergesWidthsAndFonts)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("输出.xlsx"));
    Grid g;
    build(g);
    ASSERT_TRUE(GridExport::toXlsx(g, path).isOk());
    // Nothing is left beside the file.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("输出.xlsx")});

    QString error;
    const std::optional<XlsxProbe> book = XlsxProbe::read(path, &error);
    ASSERT_TRUE(book) << error.toStdString();
    ASSERT_EQ(book->sheetCount(), 1);
    const auto cell = [&](int r, int c) {
        const XlsxProbe::Cell *found = book->cell(r, c);
        return found ? *found : XlsxProbe::Cell{QStringLiteral("(none)"), false, -1};
    };
    // Column 0 of the grid (row numbers) is left out: grid column 1 is sheet column 0.
    const struct
    {
        int row, col;
        QString text;
        bool number;
    } values[] = {
        {0, 0, QStringLiteral("姓名"), false},
        {1, 0, QStringLiteral("张三"), false},
        {1, 1, QStringLiteral("90.5"), true},
        {1, 2, QStringLiteral("0517"), false}, // the leading zero kept: text
        {2, 2, QStringLiteral("20260101"), true},
        {1, 3, QStringLiteral("<b>&</b>"), false},
        {3, 0, QStringLiteral("合并标题"), false},
    };
    for (const auto &v : values) {
        EXPECT_EQ(cell(v.row, v.col).text, v.text) << v.row << "," << v.col;
        EXPECT_EQ(cell(v.row, v.col).number, v.number) << v.row << "," << v.col;
    }

    EXPECT_EQ(book->merges(), QStringList{QStringLiteral("A4:C4")});
    EXPECT_TRUE(book->column(3).hidden);
    EXPECT_FALSE(book->column(0).hidden);
    EXPECT_GT(book->column(0).width, book->column(1).width);

    EXPECT_TRUE(book->font(cell(0, 1)).bold);
    EXPECT_FALSE(book->font(cell(1, 0)).bold);
    EXPECT_EQ(book->font(cell(1, 0)).name, QStringLiteral("黑体"));
    EXPECT_EQ(book->font(cell(1, 0)).size, 14);
    EXPECT_EQ(book->horizontalAlignment(cell(1, 1)), QStringLiteral("center"));
    EXPECT_EQ(book->horizontalAlignment(cell(1, 0)), QString());
}

TEST(GridExport, HtmlIsOneEscapedTableWithSpans)
{
    Grid g;
    build(g);
    const QString html = GridExport::html(g);
    EXPECT_EQ(html.count(QStringLiteral("<table")), 1);
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;b&gt;&amp;&lt;/b&gt;")) == false)
        << "hidden column 4 is left out";
    EXPECT_TRUE(html.contains(QStringLiteral("colspan=\"3\"")));
    EXPECT_TRUE(html.contains(QStringLiteral(">合并标题</td>")));
    EXPECT_FALSE(html.contains(QStringLiteral(">备注<")));
    g.column(4).setWidth(50);
    EXPECT_TRUE(GridExport::html(g).contains(QStringLiteral("&lt;b&gt;&amp;&lt;/b&gt;")));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.html"));
    ASSERT_TRUE(GridExport::toHtml(g, path).isOk());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), GridExport::html(g));
    EXPECT_FALSE(GridExport::toHtml(g, dir.filePath(QStringLiteral("x/y/a.html"))).isOk());
}

// A NUL a table may still hold (typed in through SQL, or from an older import) is never written:
// it would end the text there in a spreadsheet and hide in a page.
TEST(GridExport, NoNulIsWritten)
{
    Grid g;
    g.setRows(1);
    g.setCols(2);
    g.setCellText(0, 1, QStringLiteral("姓名"));
    g.addItem(QStringLiteral("张") + QChar(0) + QStringLiteral("三"));
    EXPECT_TRUE(GridExport::html(g).contains(QStringLiteral(">张三</td>")));
    EXPECT_FALSE(GridExport::html(g).contains(QChar(0)));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.xlsx"));
    ASSERT_TRUE(GridExport::toXlsx(g, path).isOk());
    const std::optional<XlsxProbe> book = XlsxProbe::read(path);
    ASSERT_TRUE(book.has_value());
    ASSERT_NE(book->cell(1, 0), nullptr);
    EXPECT_EQ(book->cell(1, 0)->text, QStringLiteral("张三"));
}

TEST(GridExport, AFailedExportLeavesTheOldFileAsItWas)
{
    // The PDF's pages need fonts, which need an application.
    if (!QCoreApplication::instance()) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "gridexporttest";
        static char *argv[] = {name, nullptr};
        new QGuiApplication(argc, argv); // kept: Qt's statics outlive the tests
    }
    Grid g;
    build(g);
    QTemporaryDir dir;
    const QByteArray old = "old contents";
    const auto writeOld = [&](const QString &path, QFileDevice::Permissions permissions) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
        file.close();
        ASSERT_TRUE(file.setPermissions(permissions));
    };
    const auto contents = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser;
    const std::function<Status(const QString &)> exports[] = {
        [&](const QString &p) { return GridExport::toXlsx(g, p); },
        [&](const QString &p) { return GridExport::toHtml(g, p); },
        [&](const QString &p) { return GridPageRenderer(g).writePdf(p); },
    };
    for (const auto &write : exports) {
        const QString path = dir.filePath(QStringLiteral("out"));
        QFile::remove(path);
        writeOld(path, readOnly);
        const Status s = write(path);
        ASSERT_FALSE(s.isOk());
        EXPECT_EQ(s.kind(), Status::Kind::Io);
        EXPECT_TRUE(s.message().endsWith(QStringLiteral("文件是只读的")))
            << s.message().toStdString();
        EXPECT_EQ(contents(path), old);
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{"out"})
            << "no scratch file is left behind";

        // A writable old file is replaced only by a complete new one.
        ASSERT_TRUE(QFile::setPermissions(path, readOnly | QFileDevice::WriteOwner |
                                                    QFileDevice::WriteUser));
        ASSERT_TRUE(write(path).isOk());
        EXPECT_NE(contents(path), old);
        EXPECT_GT(contents(path).size(), 100);
    }
    // A folder in the target's place is refused, not emptied.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(GridExport::toHtml(g, dir.filePath("folder")).isOk());
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());
}
