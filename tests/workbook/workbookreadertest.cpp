#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/xlsxreader.h"

#include <QDir>
#include <QTemporaryDir>

namespace fenpai::test {
namespace {

const QStringList samePupils = {
    QStringLiteral("学号:REAL|姓名:TEXT|性别:TEXT|成绩:REAL|原学校:TEXT|备注:TEXT|生日:TEXT|F8:"
                   "TEXT|姓名1:TEXT|在校:REAL|空列:REAL"),
    QStringLiteral("1001|\"张伟\"|\"男\"|523.5|\"城关一小\"|\"班长\"|\"2012-03-04\"|\"甲\"|"
                   "\"张伟伟\"|1|∅"),
    QStringLiteral("1002|\"王芳\"|\"女\"|610|\"实验小学\"|\"3\"|\"2011-11-30\"|∅|∅|0|∅"),
    QStringLiteral("1003|\"李娜\"|\"女\"|488.25|\"城关一小\"|∅|\"2012-01-15\"|\"乙\"|∅|1|∅"),
    QStringLiteral("1004|\"刘洋 \"|\"男\"|0|∅|\"  \"|∅|∅|\"x\"|0|∅"),
};

const QStringList sameRooms = {
    QStringLiteral("考场号:REAL|人数:REAL|考场地点:TEXT"),
    QStringLiteral("1|30|\"教学楼101\""),
    QStringLiteral("2|30|\"教学楼102\""),
};

class SameTableTest : public ::testing::TestWithParam<const char *>
{};

// Every format gives the same tables: names, types, values, and the empty row left out.
TEST_P(SameTableTest, GivesTheSameTables)
{
    const Result<Workbook> book =
        WorkbookReader::read(fixture(QString::fromUtf8(GetParam())),
                             {QStringLiteral("sheet1"), QStringLiteral("SHEET2")});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    EXPECT_EQ(book->sheetNames(), (QStringList{QStringLiteral("Sheet1"), QStringLiteral("Sheet2"),
                                               QStringLiteral("padding")}));
    ASSERT_NE(book->sheet(QStringLiteral("Sheet1")), nullptr);
    ASSERT_NE(book->sheet(QStringLiteral("Sheet2")), nullptr);
    EXPECT_EQ(book->sheet(QStringLiteral("padding")), nullptr); // not asked for, not read
    EXPECT_EQ(dump(SheetTable(*book->sheet(QStringLiteral("Sheet1")))), samePupils);
    EXPECT_EQ(dump(SheetTable(*book->sheet(QStringLiteral("Sheet2")))), sameRooms);
}

INSTANTIATE_TEST_SUITE_P(Formats, SameTableTest,
                         ::testing::Values("same.xls", "same.xlsx", "same-sst.xlsx", "same.ods"));

TEST(WorkbookReaderTest, FindsTheFormatFromTheContent)
{
    EXPECT_EQ(WorkbookReader::detect(fixture("make_fixtures.js")), Workbook::Format::Unknown);

    // An .ods saved under an .xlsx name still reads.
    QTemporaryDir dir;
    const QString renamed = dir.filePath(QStringLiteral("misnamed.xlsx"));
    ASSERT_TRUE(QFile::copy(fixture("same.ods"), renamed));
    const Result<Workbook> book = WorkbookReader::read(renamed, {QStringLiteral("Sheet1")});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    EXPECT_EQ(book->format(), Workbook::Format::Ods);
    EXPECT_EQ(dump(SheetTable(*book->sheet(QStringLiteral("Sheet1")))), samePupils);
}

// Shared, inline and formula strings alike; booleans, errors, dates by style, cached results,
// escaped control characters and phonetic runs.
TEST(XlsxReaderTest, ReadsEveryKindOfCell)
{
    const Result<Workbook> book = WorkbookReader::read(fixture("cells.xlsx"));
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    const Sheet *sheet = book->sheet(QStringLiteral("sheet1"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(dump(SheetTable(*sheet)),
              (QStringList{
                  QStringLiteral("文本:TEXT|日期:TEXT|数值:REAL|公式:TEXT|布尔:REAL|错误:REAL"),
                  QStringLiteral("\"张三\"|\"2012-03-04\"|85.5|\"171\"|1|∅"),
                  QStringLiteral("\"李四\"|\"2012-03-04 12:00:00\"|90|\"xy\"|0|∅"),
                  QStringLiteral("\"王五\"|\"赵六\"|1234|∅|1|∅"),
                  QStringLiteral("\" 空格 \"|∅|∅|∅|∅|∅"),
              }));
}

// Encoded spaces, notes left out, paragraphs, dates with and without time, times, percentages,
// formulas' stored results, repeated cells and rows, and a million trailing empty rows.
TEST(OdsReaderTest, ReadsEveryKindOfCell)
{
    const Result<Workbook> book = WorkbookReader::read(fixture("cells.ods"));
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    const Sheet *sheet = book->sheet(QStringLiteral("Sheet1"));
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->rowCount(), 5);
    EXPECT_EQ(dump(SheetTable(*sheet)),
              (QStringList{
                  QStringLiteral("文本:TEXT|数:REAL|日期:TEXT|时间:TEXT|布尔:REAL|比例:REAL"),
                  QStringLiteral("\"a  b\"|1.5|\"2012-03-04\"|\"12:30:00\"|1|0.25"),
                  QStringLiteral("\"第一行\n第二行\"|2|\"2012-03-04 10:00:00\"|∅|0|∅"),
                  QStringLiteral("∅|∅|∅|∅|7|7"),
                  QStringLiteral("∅|∅|∅|∅|7|7"),
              }));
}

TEST(XlsxReaderTest, DecodesEscapesAndDateFormats)
{
    EXPECT_EQ(XlsxReader::decodeEscapes(QStringLiteral("a_x000D_b_x005F_x0041_")),
              QStringLiteral("a\rb_x0041_"));
    EXPECT_EQ(XlsxReader::decodeEscapes(QStringLiteral("_x00_ and _xZZZZ_")),
              QStringLiteral("_x00_ and _xZZZZ_"));

    const struct
    {
        const char *code;
        bool date;
    } formats[] = {
        {"yyyy-mm-dd", true},         {"m/d/yy h:mm", true},  {"[h]:mm:ss", true},
        {"General", false},           {"0.00E+00", false},    {"\"day\" 0", false},
        {"#,##0;[Red]-#,##0", false}, {"\\d\\a\\y 0", false}, {"[$-804]yyyy\"年\"m\"月\"", true},
    };
    for (const auto &f : formats)
        EXPECT_EQ(XlsxReader::isDateFormat(QString::fromUtf8(f.code)), f.date) << f.code;
}

// Files that are no readable workbook end in a message that names the file and the fault.
TEST(WorkbookReaderTest, RefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    const QByteArray xlsx = readFile(fixture("same.xlsx"));
    const QByteArray ods = readFile(fixture("same.ods"));
    // An encrypted .xlsx is a compound file with an EncryptionInfo stream and no workbook.
    QByteArray encrypted("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    encrypted += QByteArray(1016, '\0');
    const QString info = QStringLiteral("EncryptionInfo");
    encrypted += QByteArray(reinterpret_cast<const char *>(info.utf16()), info.size() * 2);
    encrypted += QByteArray(4096, '\0');
    const struct
    {
        const char *name;
        QByteArray content;
        QString reason;
    } cases[] = {
        {"text.xlsx", "姓名,成绩\n张三,90\n", WorkbookReader::reasonNotWorkbook()},
        {"empty.xls", "", WorkbookReader::reasonNotWorkbook()},
        {"half.xlsx", xlsx.left(xlsx.size() / 2), WorkbookReader::reasonDamaged()},
        {"half.ods", ods.left(ods.size() / 2), WorkbookReader::reasonDamaged()},
        {"locked.xlsx", encrypted, WorkbookReader::reasonEncrypted()},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QString::fromUtf8(c.name));
        writeFile(path, c.content);
        const Result<Workbook> book = WorkbookReader::read(path);
        ASSERT_FALSE(book.isOk()) << c.name;
        EXPECT_EQ(book.status().kind(), Status::Kind::Io) << c.name;
        EXPECT_EQ(book.status().message(),
                  QStringLiteral("无法读取文件“%1”：").arg(QString::fromUtf8(c.name)) + c.reason)
            << c.name << ": " << book.status().message().toStdString();
    }

    const Result<Workbook> missing = WorkbookReader::read(dir.filePath("nothing.xlsx"));
    ASSERT_FALSE(missing.isOk());
    EXPECT_TRUE(missing.status().message().endsWith(WorkbookReader::reasonMissing()));
    QDir(dir.path()).mkdir(QStringLiteral("名单.xlsx"));
    EXPECT_EQ(WorkbookReader::read(dir.filePath(QStringLiteral("名单.xlsx"))).status().message(),
              QStringLiteral("无法读取文件“名单.xlsx”：这是一个文件夹，不是工作簿文件。"));
}

// A zip whose entries are damaged after a sound directory: the sheet itself fails its check.
TEST(WorkbookReaderTest, NoticesADamagedEntry)
{
    QTemporaryDir dir;
    QByteArray bytes = readFile(fixture("same.xlsx"));
    // Flip bytes inside the compressed sheet data (the directory at the end stays intact).
    const qsizetype at = bytes.indexOf("xl/worksheets/sheet1.xml");
    ASSERT_GT(at, 0);
    for (qsizetype i = at + 40; i < at + 80 && i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5a);
    const QString path = dir.filePath(QStringLiteral("flipped.xlsx"));
    writeFile(path, bytes);
    const Result<Workbook> book = WorkbookReader::read(path, {QStringLiteral("Sheet1")});
    ASSERT_FALSE(book.isOk());
    EXPECT_TRUE(book.status().message().endsWith(WorkbookReader::reasonDamaged()))
        << book.status().message().toStdString();
}

} // namespace
} // namespace fenpai::test
