#include "jobs/examday/qrcode.h"
#include "grid/grid.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/examday/signinsheet.h"
#include "jobs/examday/ticketcheck.h"
#include "jobs/examday/ticketcode.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/tickettemplates.h"
#include "support/arrangementdata.h"
#include "support/qrdecoder.h"
#include "support/tempdata.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace fenpai;

namespace {

// A grid whose cell (1, 1) is a block of `size` pixels holding the code of `text`.
bool codeGrid(Grid &grid, const QString &text, int size = 160)
{
    grid.setRows(2);
    grid.setCols(2);
    grid.setColumnWidth(1, size);
    grid.setRowHeight(1, size);
    PageSetup page = grid.pageSetup();
    page.printFixedRow = page.printFixedColumn = page.printGridlines = false;
    grid.setPageSetup(page);
    return QrCode::place(grid, 1, 1, text);
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

} // namespace

// Encoded, drawn by the grid's painter as squares, read back by another decoder.
TEST(QrCodeTest, RoundTripThroughThePainter)
{
    for (const QString &text :
         {QStringLiteral("考号:202600000000000001 考场:120 座位:45 校验:00FF00FF"),
          QStringLiteral("KS-2026/01 9E3779B9")}) {
        Grid grid;
        ASSERT_TRUE(codeGrid(grid, text)) << text.toStdString();
        EXPECT_TRUE(grid.isModulePicture(grid.cellStyle(1, 1).imageKey));
        EXPECT_EQ(test::decodeQr(test::renderPage(grid, 0, 150)), QStringList{text});
    }
    // The quiet zone and the least version shape the matrix; a text too long for any code
    // leaves the cell as it was.
    EXPECT_EQ(QrCode::width(QrCode::bitmap("1")), 21 + 8);
    EXPECT_EQ(QrCode::width(QrCode::bitmap("1", 2, 4)), 33 + 4);
    EXPECT_TRUE(QrCode::bitmap(QString(5000, u'码')).isEmpty());
    Grid grid;
    EXPECT_FALSE(codeGrid(grid, QString(5000, u'码')));
    EXPECT_TRUE(grid.cellStyle(1, 1).imageKey.isEmpty());
}

// On paper the code is squares, no picture: the PDF holds no image, and its page, rendered by
// another program, reads back.
TEST(QrCodeTest, ThePdfDrawsSquaresThatReadBack)
{
    if (tool("pdftoppm").isEmpty() || tool("pdfimages").isEmpty())
        GTEST_SKIP() << "poppler-utils missing";
    QTemporaryDir dir;
    const QString text = QStringLiteral("考号:2100017 考场:1 座位:17 校验:C0FFEE42");
    Grid grid;
    ASSERT_TRUE(codeGrid(grid, text, 90));
    const QString pdf = dir.filePath("code.pdf");
    ASSERT_TRUE(GridPageRenderer(grid).writePdf(pdf).isOk());

    QProcess images;
    images.start(tool("pdfimages"), {"-list", pdf});
    ASSERT_TRUE(images.waitForFinished(60000));
    const QStringList lines =
        QString::fromUtf8(images.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 2) << lines.join('\n').toStdString(); // the list's two heading lines

    QProcess render;
    render.start(tool("pdftoppm"), {"-r", "200", "-gray", "-png", pdf, dir.filePath("page")});
    ASSERT_TRUE(render.waitForFinished(60000));
    const QStringList pages = QDir(dir.path()).entryList({"page*.png"});
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(test::decodeQr(QImage(dir.filePath(pages[0]))), QStringList{text});
}

TEST(TicketCodeTest, TextsAndWhatIsReadBack)
{
    const TicketCode ticket{"2100001", "3", "7", "1A2B3C4D"};
    EXPECT_EQ(ticket.text(), "考号:2100001 考场:3 座位:7 校验:1A2B3C4D");
    const TicketCode row{"2100001", "", "", "1A2B3C4D"};
    EXPECT_EQ(row.text(), "2100001 1A2B3C4D");
    const struct
    {
        const char *text;
        std::optional<TicketCode> code;
    } cases[] = {
        {" 考号： 2100001  考场：3 座位：7 校验：1a2b3c4d\n", ticket},
        {"2100001 1a2b3c4d", row},
        {"2100001 1A2B3C4", std::nullopt},
        {"考号:2100001 校验:1A2B3C4D", std::nullopt},
        {"考号:2100001 考场:3 座位:7 校验:XA2B3C4D", std::nullopt},
    };
    for (const auto &c : cases) {
        const std::optional<TicketCode> parsed = TicketCode::parse(QString::fromUtf8(c.text));
        ASSERT_EQ(parsed.has_value(), c.code.has_value()) << c.text;
        if (parsed) {
            EXPECT_EQ(parsed->text(), c.code->text()) << c.text;
        }
    }
}

namespace {

// Two rooms of 30 arranged by score, numbers from 2100001.
class TicketCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, test::makeYear(50, 2, 4, 9)).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30, 30}).isOk());
        ArrangementSettings s;
        s.mode = ArrangementSettings::Mode::ScoreOnly;
        ASSERT_TRUE(Arrangement::run(t.db, s).isOk());
    }

    // 考号, 姓名, 考场 and 座位号 of the examinee on a seat.
    QStringList examinee(int room, int seat)
    {
        return t
            .rows(QString("SELECT 考号, 姓名, 考场, 座位号 FROM 考生表 WHERE 考场 = %1 AND "
                          "座位号 = %2")
                      .arg(room)
                      .arg(seat))[0]
            .split('\t');
    }

    test::TempData t;
};

} // namespace

TEST_F(TicketCheckTest, KeyValueAndVerdicts)
{
    EXPECT_TRUE(TicketCheck::key(t.db, false).status().isRefused());
    EXPECT_TRUE(TicketCheck::verify(t.db, "2100001 00000000").status().isRefused());
    const Result<QByteArray> key = TicketCheck::key(t.db, true);
    ASSERT_TRUE(key.isOk());
    EXPECT_EQ(key->size(), TicketCheck::keyBytes);
    EXPECT_EQ(*TicketCheck::key(t.db, true), *key); // made once
    const QByteArray otherKey(TicketCheck::keyBytes, 'k');

    const QString value = TicketCheck::value(*key, "2100001", "张三");
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}$").match(value).hasMatch());
    EXPECT_NE(TicketCheck::value(*key, "2100001", "张四"), value);
    EXPECT_NE(TicketCheck::value(otherKey, "2100001", "张三"), value);
    EXPECT_EQ(TicketCheck::value(*key, " 2100001", "张三 "), value);

    const QStringList e = examinee(2, 5);
    const TicketCode code =
        TicketCheck::code(*key, e[0].toDouble(), e[1], e[2].toDouble(), e[3].toDouble());
    EXPECT_EQ(code.number, e[0]); // shown as printed: 2100035, not 2100035.0
    EXPECT_EQ(code.room, "2");
    EXPECT_EQ(code.seat, "5");

    Result<TicketCheck::Verdict> v = TicketCheck::verify(t.db, code.text());
    ASSERT_TRUE(v.isOk()) << v.status().message().toStdString();
    EXPECT_TRUE(v->known && v->fits && v->placeMatches);
    EXPECT_EQ(v->name, e[1]);
    EXPECT_EQ(v->room, "2");
    EXPECT_EQ(v->seat, "5");

    TicketCode forged = code;
    forged.check[0] = forged.check[0] == u'0' ? u'1' : u'0';
    v = TicketCheck::verify(t.db, forged.text());
    ASSERT_TRUE(v.isOk());
    EXPECT_TRUE(v->known);
    EXPECT_FALSE(v->fits);

    // A code made for another name with the same number does not fit either.
    TicketCode other = TicketCheck::code(*key, e[0], "冒名者", e[2], e[3]);
    EXPECT_FALSE(TicketCheck::verify(t.db, other.text())->fits);

    TicketCode moved = code;
    moved.seat = "6";
    v = TicketCheck::verify(t.db, moved.text());
    EXPECT_TRUE(v->fits);
    EXPECT_FALSE(v->placeMatches);

    v = TicketCheck::verify(t.db, TicketCheck::code(*key, "9999999", "无名").text());
    ASSERT_TRUE(v.isOk());
    EXPECT_FALSE(v->known);
    EXPECT_EQ(TicketCheck::verify(t.db, "hello").status().message(), TicketCheck::noCodeMessage());
}

// The factory templates put the examinee's code on the examinee's half, 18 mm across at least;
// it reads back as the ticket's text; an empty ticket gets none.
TEST_F(TicketCheckTest, TicketsCarryTheirCodeAtLeastEighteenMillimetresWide)
{
    for (auto layout : {TicketSettings::Layout::Standard, TicketSettings::Layout::Economy}) {
        Grid ticketTemplate;
        TicketTemplates::build(ticketTemplate, layout);
        const auto cells = TicketProduction::codeCells(ticketTemplate);
        ASSERT_EQ(cells.size(), 1u);
        TicketSettings s;
        s.layout = layout;
        s.grouping = TicketSettings::Grouping::ByRoom;
        s.order = TicketSettings::Order::Stacked;
        s.groups = layout == TicketSettings::Layout::Standard ? QStringList{"1", "2"}
                                                              : QStringList{"1", "2", "1"};
        Grid doc;
        ASSERT_TRUE(TicketProduction::build(t.db, ticketTemplate, s, doc).isOk());
        const auto [r, c] = cells[0];
        const QString key = doc.cellStyle(r, c).imageKey;
        ASSERT_TRUE(doc.isModulePicture(key));
        EXPECT_EQ(doc.cellText(r, c), "");

        // The printed size of the code's dark part.
        const GridArea block = doc.mergeAt(r, c);
        int w = 0;
        int h = 0;
        for (int col = block.firstCol; col <= block.lastCol; ++col)
            w += doc.columnWidth(col);
        for (int row = block.firstRow; row <= block.lastRow; ++row)
            h += doc.rowHeight(row);
        const int modules = doc.image(key).width();
        const double zoom = doc.pageSetup().zoom / 100.0;
        const double mm = (std::min(w, h) - 3) * (modules - 8.0) / modules * zoom * 25.4 / 96;
        EXPECT_GE(mm, 18.0) << "layout " << int(layout);

        const QStringList first = examinee(1, 1);
        const QStringList second = examinee(2, 1);
        const QByteArray key1 = *TicketCheck::key(t.db, false);
        QStringList expected = {
            TicketCheck::code(key1, first[0].toDouble(), first[1], 1, 1).text(),
            TicketCheck::code(key1, second[0].toDouble(), second[1], 2, 1).text()};
        if (layout == TicketSettings::Layout::Economy)
            expected.append(expected[0]);
        expected.sort();
        EXPECT_EQ(test::decodeQr(test::renderPage(doc, 0, 200)), expected);

        // Room 2 holds 20: its 21st ticket is empty, without a code.
        const int emptyBlock = 2 * 20 + 2; // page 21, second ticket (standard layout)
        if (layout == TicketSettings::Layout::Standard) {
            EXPECT_TRUE(doc.cellStyle(11 * (emptyBlock - 1) + r, c).imageKey.isEmpty());
        }
    }
}

// A template without the field prints no code and makes no key.
TEST_F(TicketCheckTest, TemplatesWithoutTheFieldMakeNoKey)
{
    Grid ticketTemplate;
    TicketTemplates::build(ticketTemplate, TicketSettings::Layout::Standard);
    for (const auto &[r, c] : TicketProduction::codeCells(ticketTemplate))
        ticketTemplate.setCellText(r, c, QString());
    TicketSettings s;
    s.grouping = TicketSettings::Grouping::ByRoom;
    s.groups = {"1"};
    Grid doc;
    ASSERT_TRUE(TicketProduction::build(t.db, ticketTemplate, s, doc).isOk());
    EXPECT_FALSE(t.db.hasTable("校验密钥"));
}

// Each sign-in row's code reads back as its examinee's short code.
TEST_F(TicketCheckTest, SignInRowsCarryTheirExamineesCodes)
{
    Grid sheet;
    SignInSheet::Request request;
    request.room = 1;
    ASSERT_TRUE(SignInSheet::build(t.db, sheet, request).isOk());
    EXPECT_EQ(sheet.cellText(3, 5), "二维码");
    const QByteArray key = *TicketCheck::key(t.db, false);
    QStringList expected;
    for (const QString &row :
         t.rows("SELECT 考号, 姓名 FROM 考生表 WHERE 考场 = 1 ORDER BY 座位号")) {
        const QStringList e = row.split('\t');
        expected.append(TicketCheck::code(key, e[0].toDouble(), e[1]).text());
    }
    expected.sort();
    ASSERT_EQ(expected.size(), 30);
    EXPECT_EQ(test::decodeQr(test::renderPage(sheet, 0, 300)), expected);
}
