#include "grid/gridfile.h"
#include "grid/grid.h"

#include <QBuffer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

QByteArray pngBytes(QColor color)
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A grid that uses every stored field with a value other than its default; returns the cursor
// saved with it.
GridCursor build(Grid &g)
{
    g.setCols(6);
    g.setRows(1);
    g.setFixedRows(2);
    g.setDisplayRowIndex(true);
    g.setDefaultRowHeight(22);
    g.setDefaultFont(GridFont{QStringLiteral("Arial"), 12, true, false, false, false});
    g.setAllowUserSort(true);
    g.setEnabled(false);
    g.addItem(QStringLiteral("a \"quoted\"\tback\\slash\tline\nbreak\t\x01"));
    g.addItem(QStringLiteral("张三\t90\t\t\t"));
    g.addItem(QString());
    g.addItem(QStringLiteral("\t\t\t\ttail"));
    g.cell(2, 0).setTag(QStringLiteral("U"));
    g.setRowHeight(3, 0);
    g.setRowHeight(4, 44);
    g.column(2).setWidth(0);
    g.column(3).setMask(GridMask::Numeric);
    g.column(3).setFormatString(QStringLiteral("##,##0.00"));
    g.column(4).setAlignment(GridAlign::CenterMiddle);
    g.range(1, 1, 2, 2).merge();
    g.range(4, 3, 4, 5).merge();
    GridRange r = g.range(1, 1, 3, 3);
    r.setFont(GridFont{QStringLiteral("黑体"), 14, true, true, true, true});
    r.setForeColor(QColor(255, 0, 0));
    r.setBackColor(QColor(1, 2, 3, 128));
    r.setAlignment(GridAlign::RightBottom);
    r.setWrapText(true);
    r.setLocked(true);
    r.setDropDown(true);
    r.setBorder(GridBorder::Edge::Left, GridBorder::Style::Thick);
    r.setBorder(GridBorder::Edge::DiagonalDown, GridBorder::Style::Thin);
    EXPECT_TRUE(g.addImageData(QStringLiteral("照片1"), pngBytes(Qt::blue)));
    EXPECT_TRUE(g.addImageData(QStringLiteral("b"), pngBytes(Qt::green)));
    g.setCellImage(4, 3, QStringLiteral("照片1"));
    g.addHPageBreak(3);
    g.addReportTitle(
        ReportTitle{QStringLiteral("左|中|右"), GridFont{QStringLiteral("宋体"), 16}, 1, false});
    PageSetup p;
    p.orientation = PageSetup::Orientation::Landscape;
    p.paperKind = PageSetup::customPaperKind();
    p.paperWidth = 20.5;
    p.paperHeight = 30.25;
    p.zoom = 85;
    p.leftMargin = 1.5;
    p.rightMargin = 0.5;
    p.topMargin = 1;
    p.bottomMargin = 0.3;
    p.headerMargin = 0;
    p.footerMargin = 0.2;
    p.header = QStringLiteral("第 3 考场");
    p.headerAlignment = PageSetup::TextAlign::Left;
    p.headerFont = GridFont{QStringLiteral("黑体"), 11, false, true};
    p.footer = PageSetup::standardFooter();
    p.footerAlignment = PageSetup::TextAlign::Right;
    p.footerFont = GridFont{QStringLiteral("Arial"), 8, true};
    p.printTitleRows = 1;
    p.printTitleColumns = 2;
    p.printBottomTitleRows = 1;
    p.printFixedRow = false;
    p.printFixedColumn = true;
    p.printGridlines = false;
    p.blackAndWhite = true;
    p.centerHorizontally = true;
    p.centerVertically = true;
    g.setPageSetup(p);
    return GridCursor{GridArea::normalized(4, 5, 1, 3), 4, 5};
}

void expectSame(const Grid &a, const Grid &b)
{
    ASSERT_EQ(a.rows(), b.rows());
    ASSERT_EQ(a.cols(), b.cols());
    EXPECT_EQ(a.fixedRows(), b.fixedRows());
    EXPECT_EQ(a.displayRowIndex(), b.displayRowIndex());
    EXPECT_EQ(a.defaultRowHeight(), b.defaultRowHeight());
    EXPECT_EQ(a.defaultFont(), b.defaultFont());
    EXPECT_EQ(a.allowUserSort(), b.allowUserSort());
    EXPECT_EQ(a.isEnabled(), b.isEnabled());
    for (int r = 0; r < a.rows(); ++r) {
        EXPECT_EQ(a.rowHeight(r), b.rowHeight(r)) << r;
        for (int c = 0; c < a.cols(); ++c) {
            EXPECT_EQ(a.cellText(r, c), b.cellText(r, c)) << r << "," << c;
            EXPECT_EQ(a.cellTag(r, c), b.cellTag(r, c)) << r << "," << c;
            EXPECT_EQ(a.cellStyle(r, c), b.cellStyle(r, c)) << r << "," << c;
        }
    }
    for (int c = 0; c < a.cols(); ++c)
        EXPECT_EQ(a.columnInfo(c), b.columnInfo(c)) << c;
    EXPECT_EQ(a.merges(), b.merges());
    EXPECT_EQ(a.hPageBreaks(), b.hPageBreaks());
    EXPECT_EQ(a.reportTitles(), b.reportTitles());
    EXPECT_EQ(a.pageSetup(), b.pageSetup());
    EXPECT_EQ(a.imageKeys(), b.imageKeys());
    for (const QString &key : a.imageKeys())
        EXPECT_EQ(a.imageData(key), b.imageData(key));
}

} // namespace

TEST(GridFile, RoundTripKeepsEveryField)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("表格.cel"));
    Grid original;
    const GridCursor cursor = build(original);
    ASSERT_TRUE(original.saveFile(path, cursor).isOk());
    Grid loaded;
    GridCursor loadedCursor;
    const Status status = loaded.openFile(path, &loadedCursor);
    ASSERT_TRUE(status.isOk()) << status.message().toStdString();
    expectSame(original, loaded);
    EXPECT_EQ(loadedCursor, cursor);
    // Saving the loaded grid gives the same bytes: the format is stable for diffs.
    EXPECT_EQ(original.toJson(cursor), loaded.toJson(loadedCursor));
}

TEST(GridFile, StoredCodesOfPageAlignmentAndBordersKeepTheirMeaning)
{
    // A file as written before: the page turned (2), header left (0), footer right (2), a column
    // centred (10), a cell right and middle (14) with a thick left, a thin top and a thin
    // diagonal-down line, and an alignment code no picker makes (3), kept as it is.
    const QByteArray stored =
        "{\"format\": \"fenpai-grid\", \"version\": 1, \"rows\": 2, \"cols\": 3,\n"
        "\"columns\": [{}, {}, {\"align\": 10}],\n"
        "\"styles\": [{}, {\"align\": 14, \"borders\": [2,1,0,0,1,0]}, {\"align\": 3}],\n"
        "\"pageSetup\": {\"orientation\": 2, \"headerAlignment\": 0, \"footerAlignment\": 2},\n"
        "\"cells\": [\n  {\"r\": 1, \"t\": [\"\",\"a\",\"b\"], \"s\": [0,1,2]}\n]\n}\n";
    Grid g;
    const Status status = g.fromJson(stored);
    ASSERT_TRUE(status.isOk()) << status.message().toStdString();
    EXPECT_TRUE(g.pageSetup().isLandscape());
    EXPECT_EQ(g.pageSetup().headerAlignment, PageSetup::TextAlign::Left);
    EXPECT_EQ(g.pageSetup().footerAlignment, PageSetup::TextAlign::Right);
    EXPECT_EQ(g.columnAlignment(2), GridAlign::CenterMiddle);
    const CellStyle &s = g.cellStyle(1, 1);
    EXPECT_EQ(s.alignment, GridAlign::RightMiddle);
    using enum GridBorder::Style;
    EXPECT_EQ(s.borders, (std::array{Thick, Thin, None, None, Thin, None}));
    EXPECT_EQ(int(g.cellStyle(1, 2).alignment), 3);
    EXPECT_EQ(alignHorizontal(g.cellAlignment(1, 2)), -1) << "an unknown code is general";
    EXPECT_EQ(alignVertical(g.cellAlignment(1, 2)), 1);

    // Written again, every number is the one read; the clipboard's form keeps them too.
    const QJsonObject again = QJsonDocument::fromJson(g.toJson()).object();
    const QJsonObject page = again.value(u"pageSetup").toObject();
    EXPECT_EQ(page.value(u"orientation").toInt(), 2);
    EXPECT_EQ(page.value(u"headerAlignment").toInt(), 0);
    EXPECT_EQ(page.value(u"footerAlignment").toInt(), 2);
    EXPECT_EQ(again.value(u"columns").toArray().at(2).toObject().value(u"align").toInt(), 10);
    const QJsonArray styles = again.value(u"styles").toArray();
    EXPECT_TRUE(
        styles.contains(QJsonObject{{"align", 14}, {"borders", QJsonArray{2, 1, 0, 0, 1, 0}}}))
        << QJsonDocument(styles).toJson().toStdString();
    EXPECT_TRUE(styles.contains(QJsonObject{{"align", 3}}));
    for (int c : {1, 2}) {
        CellStyle copied;
        ASSERT_TRUE(CellStyle::fromBytes(g.cellStyle(1, c).toBytes(), &copied));
        EXPECT_EQ(copied, g.cellStyle(1, c));
    }

    // A file of a portrait page names it so; one without a page setup is portrait too.
    PageSetup portrait;
    portrait.orientation = PageSetup::Orientation::Portrait;
    g.setPageSetup(portrait);
    EXPECT_TRUE(g.toJson().contains("\"orientation\":1"));
    EXPECT_EQ(Grid().pageSetup().orientation, PageSetup::Orientation::Portrait);
}

TEST(GridFile, StoredCursorIsKeptInsideTheGridAndDefaultsToTheFirstDataCell)
{
    // As files have always been written: the selection with its active cell after the corners.
    const QByteArray head = "{\"format\": \"fenpai-grid\", \"version\": 1, \"rows\": 4, "
                            "\"cols\": 3, \"columns\": [{}, {}, {}], ";
    struct Case
    {
        const char *name;
        QByteArray selection;
        GridCursor expected;
    };
    const Case cases[] = {
        {"as stored", "\"selection\": [3,2,1,1,3,2], ", GridCursor{{1, 1, 3, 2}, 3, 2}},
        {"past the edge", "\"selection\": [2,1,9,9,9,0], ", GridCursor{{2, 1, 3, 2}, 3, 0}},
        {"none", "", GridCursor{}},
    };
    for (const Case &c : cases) {
        Grid g;
        GridCursor cursor{{0, 0, 0, 0}, 0, 0};
        const Status status = g.fromJson(head + c.selection + "\"cells\": []}", &cursor);
        ASSERT_TRUE(status.isOk()) << c.name << ": " << status.message().toStdString();
        EXPECT_EQ(cursor, c.expected) << c.name;
    }
    // Written without a cursor, a file holds the first data cell, inside a grid of one row.
    Grid g;
    g.setRows(1);
    EXPECT_TRUE(g.toJson().contains("\"selection\": [0,1,0,1,0,1]"));
}

TEST(GridFile, DamagedOrNewerFilesAreRefusedAndTheGridStays)
{
    Grid good;
    build(good);
    const QByteArray json = good.toJson();
    struct Case
    {
        const char *name;
        QByteArray bytes;
        const char *messagePart;
    };
    QByteArray truncated = json.left(json.size() / 2);
    QByteArray newer = json;
    newer.replace("\"version\": 1", "\"version\": 2");
    QByteArray badRow = json;
    badRow.replace("{\"r\": 4", "{\"r\": 99");
    QByteArray badStyle = json;
    badStyle.replace("\"s\": [0,", "\"s\": [77,");
    QByteArray badMerge = json;
    badMerge.replace("[4,3,4,5]", "[4,3,4,50]");
    QByteArray overlap = json;
    overlap.replace("[4,3,4,5]", "[2,2,4,5]");
    QByteArray foreign = json;
    foreign.replace("fenpai-grid", "other");
    QByteArray hugeGrid = json;
    hugeGrid.replace("\"rows\": 5", "\"rows\": 90000000");
    QByteArray badImage = json;
    badImage.replace("\"b\": \"", "\"b\": \"!!!");
    const Case cases[] = {
        {"truncated", truncated, "不是表格文件"},
        {"empty", QByteArray(), "不是表格文件"},
        {"newer", newer, "较新版本"},
        {"row outside", badRow, "已损坏"},
        {"style id", badStyle, "已损坏"},
        {"merge outside", badMerge, "已损坏"},
        {"merges overlap", overlap, "已损坏"},
        {"foreign json", foreign, "不是表格文件"},
        {"huge", hugeGrid, "已损坏"},
        {"bad picture", badImage, "已损坏"},
    };
    for (const Case &c : cases) {
        ASSERT_NE(c.bytes, json) << c.name;
        Grid g;
        g.setRows(3);
        g.setCellText(1, 1, QStringLiteral("keep"));
        const Status status = g.fromJson(c.bytes);
        EXPECT_FALSE(status.isOk()) << c.name;
        EXPECT_TRUE(status.message().contains(QString::fromUtf8(c.messagePart)))
            << c.name << ": " << status.message().toStdString();
        EXPECT_EQ(g.cellText(1, 1), QStringLiteral("keep")) << c.name;
        EXPECT_EQ(g.rows(), 3) << c.name;
    }
}

TEST(GridFile, OpenAndSaveFailuresNameTheFileAndKeepThePreviousOne)
{
    QTemporaryDir dir;
    Grid g;
    const Status missing = g.openFile(dir.filePath(QStringLiteral("无.cel")));
    EXPECT_EQ(missing.kind(), Status::Kind::Io);
    EXPECT_TRUE(missing.message().contains(QStringLiteral("无.cel")));

    const QString path = dir.filePath(QStringLiteral("a.cel"));
    g.setCellText(1, 1, QStringLiteral("first"));
    ASSERT_TRUE(g.saveFile(path).isOk());
    // A save into a folder that does not exist fails without touching anything else.
    const Status failed = g.saveFile(dir.filePath(QStringLiteral("no/such/dir/a.cel")));
    EXPECT_FALSE(failed.isOk());
    EXPECT_TRUE(failed.message().contains(QStringLiteral("无法保存表格文件")));
    Grid back;
    ASSERT_TRUE(back.openFile(path).isOk());
    EXPECT_EQ(back.cellText(1, 1), QStringLiteral("first"));

    QFile damaged(path);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"format\": \"fenpai-grid\", \"version\": 1, \"rows\": -4}");
    damaged.close();
    const Status refused = back.openFile(path);
    EXPECT_EQ(refused.kind(), Status::Kind::Refused);
    EXPECT_TRUE(refused.message().contains(QStringLiteral("a.cel")));
    EXPECT_EQ(back.cellText(1, 1), QStringLiteral("first"));
}
