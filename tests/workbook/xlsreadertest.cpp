#include "support/importtestutil.h"
#include "support/xlsbuilder.h"

#include "workbook/sheet.h"
#include "workbook/workbook.h"
#include "workbook/xlsreader.h"

#include <QDir>
#include <QStringEncoder>

namespace fenpai::test {
namespace {

using namespace xls;

// The cells of a sheet as "row,column:value", texts quoted.
QStringList cells(const Sheet &sheet)
{
    QStringList out;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        for (const Sheet::Entry &e : sheet.entries(r)) {
            const Sheet::Cell &cell = e.cell;
            const QString at = QStringLiteral("%1,%2:").arg(r).arg(e.column);
            if (cell.kind == Sheet::Cell::Kind::Number)
                out.append(at + QString::number(cell.number, 'g', 15));
            else if (cell.kind == Sheet::Cell::Kind::Text)
                out.append(at + u'"' + sheet.text(cell) + u'"');
        }
    }
    return out;
}

// The cells of the file's first sheet; a failure's message instead when it cannot be read.
QStringList firstSheet(const QByteArray &file)
{
    const Result<Workbook> book = XlsReader::readBytes(file, {});
    if (!book)
        return {book.status().message()};
    if (book->sheetNames().isEmpty())
        return {};
    return cells(*book->sheet(book->sheetNames().first()));
}

QByteArray gbk(const QString &text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QByteArray utf16(const QString &text)
{
    QByteArray out;
    for (const QChar c : text)
        out += le16(c.unicode());
    return out;
}

// A sheet of the given records in an .xls with the given globals.
QByteArray book(const QByteArray &records, const QByteArray &globals = {})
{
    return xlsFile(workbookStream(globals, {{QStringLiteral("Sheet1"), records}}));
}

// Numbers in all their records, texts, booleans, errors, formulas' cached results, empty cells,
// and a chart inside the sheet whose records are not the sheet's.
TEST(XlsReaderTest, ReadsEveryKindOfCell)
{
    const QByteArray records =
        dimensions(6, 8) + number(0, 0, 1.5) + rk(0, 1, (123u << 2) | 2) +
        rk(0, 2, (12345u << 2) | 3) + rk(0, 3, 0x40040000) +
        rk(0, 4, static_cast<std::uint32_t>(-7 * 4) | 2) +
        record(0x00BD, le16(1) + le16(0) + le16(0) + le32((1u << 2) | 2) + le16(0) +
                           le32((2u << 2) | 2) + le16(0) + le32((3u << 2) | 2) + le16(2)) +
        record(0x00BE, le16(1) + le16(3) + le16(0) + le16(0) + le16(4)) + blank(1, 5) +
        labelSst(2, 0, 1) + label(2, 1, QStringLiteral("张三")) +
        label(2, 2, QStringLiteral("é b")) +
        record(0x00D6,
               le16(2) + le16(3) + le16(0) + text8(QStringLiteral("富文本")) + le16(1) + le32(0)) +
        boolErr(2, 4, 1, false) + boolErr(2, 5, 0, false) + boolErr(2, 6, 0x07, true) +
        formula(3, 0, 171.5) + formulaResult(3, 1, 0) + string(QStringLiteral("xy")) +
        formulaResult(3, 2, 1, 1) + formulaResult(3, 3, 2, 0x07) + formulaResult(3, 4, 3) +
        formulaResult(3, 5, 0) + record(0x04BC, QByteArray(10, '\0')) +
        string(QStringLiteral("共享")) +
        // A text result whose STRING record never comes: the stray STRING later is no one's.
        formulaResult(3, 6, 0) + number(3, 7, 5) + string(QStringLiteral("orphan")) + bof(0x0020) +
        number(9, 9, 99) + label(9, 8, QStringLiteral("图表")) + eof() + number(4, 0, 8);
    const QByteArray stream =
        workbookStream(sst({QStringLiteral("甲"), QStringLiteral("乙")}) + xf(0),
                       {{QStringLiteral("Sheet1"), records},
                        {QStringLiteral("图表1"), {}, {}, 2},
                        {QStringLiteral("第二页"), number(0, 0, 1)}});
    const Result<Workbook> book = XlsReader::readBytes(xlsFile(stream), {QStringLiteral("sheet1")});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    // Chart sheets hold no table and are not listed.
    EXPECT_EQ(book->sheetNames(),
              (QStringList{QStringLiteral("Sheet1"), QStringLiteral("第二页")}));
    EXPECT_EQ(book->sheet(QStringLiteral("第二页")), nullptr);
    EXPECT_EQ(cells(*book->sheet(QStringLiteral("Sheet1"))),
              (QStringList{
                  "0,0:1.5",     "0,1:123",        "0,2:123.45",   "0,3:2.5",    "0,4:-7",
                  "1,0:1",       "1,1:2",          "1,2:3",        "2,0:\"乙\"", "2,1:\"张三\"",
                  "2,2:\"é b\"", "2,3:\"富文本\"", "2,4:1",        "2,5:0",      "3,0:171.5",
                  "3,1:\"xy\"",  "3,2:1",          "3,5:\"共享\"", "3,7:5",      "4,0:8",
              }));
}

// Shared strings split across CONTINUE records: each continuation of a string's characters
// opens with its own option byte (compressed or UTF-16), while rich-text runs, phonetic data and
// string headers continue without one.
TEST(XlsReaderTest, ReadsStringsAcrossContinueRecords)
{
    const QString longText = QString(3000, u'x') + QString(4000, u'中') + QString(3000, u'y');
    const QByteArray sstRecord = record(0x00FC, le32(5) + le32(5) + text8(QStringLiteral("ab")) +
                                                    le16(10000) + '\0' + QByteArray(3000, 'x'));
    const QByteArray continued =
        record(0x003C, '\x01' + utf16(QString(4000, u'中'))) +
        record(0x003C, QByteArray(1, '\0') + QByteArray(3000, 'y') +
                           // rich and phonetic: two runs and ten bytes of phonetic data
                           le16(2) + '\x0D' + le16(2) + le32(10) + utf16(QStringLiteral("注音")) +
                           QByteArray(3, 'r')) +
        record(0x003C, QByteArray(5, 'r') + QByteArray(10, 'p') + le16(3) + '\0') +
        record(0x003C, '\x01' + utf16(QStringLiteral("文字串")) + le16(0) + '\0');
    // A formula's text result over a record's size, continued in UTF-16.
    const QByteArray longString = record(0x0207, le16(9000) + '\0' + QByteArray(8000, 'a')) +
                                  record(0x003C, '\x01' + utf16(QString(1000, u'b')));
    const QByteArray records = labelSst(0, 0, 0) + labelSst(1, 0, 1) + labelSst(2, 0, 2) +
                               labelSst(3, 0, 3) + labelSst(4, 0, 4) + formulaResult(5, 0, 0) +
                               longString;
    const QStringList got = firstSheet(book(records, sstRecord + continued));
    // The empty fifth string is no value: no cell holds it.
    EXPECT_EQ(got, (QStringList{"0,0:\"ab\"", "1,0:\"" + longText + "\"", "2,0:\"注音\"",
                                "3,0:\"文字串\"",
                                "5,0:\"" + QString(8000, u'a') + QString(1000, u'b') + "\""}));
}

// A C string's terminator kept with a text, and other control characters, are no part of it.
TEST(XlsReaderTest, ControlCharactersAreTakenOut)
{
    const QByteArray records =
        label(0, 0, QStringLiteral("甲") + QChar(0)) +
        label(1, 0, QStringLiteral("乙") + QChar(0x1B) + QStringLiteral("丙")) + labelSst(2, 0, 0);
    EXPECT_EQ(firstSheet(book(records, sst({QStringLiteral("丁") + QChar(0) + QChar(0)}))),
              (QStringList{"0,0:\"甲\"", "1,0:\"乙丙\"", "2,0:\"丁\""}));
}

TEST(XlsReaderTest, ReadsDatesAndTimesInBothDateSystems)
{
    const QByteArray formats = format(164, QStringLiteral("yyyy\"年\"m\"月\"d\"日\"")) +
                               format(165, QStringLiteral("[h]:mm")) +
                               format(166, QStringLiteral("0.00")) +
                               format(167, QStringLiteral("\"d\"0")) + xf(0) + xf(14) + xf(21) +
                               xf(22) + xf(164) + xf(165) + xf(166) + xf(167);
    const QByteArray records1900 =
        number(0, 0, 40972, 1) + number(0, 1, 0.5, 2) + number(0, 2, 40972.5, 2) +
        number(0, 3, 40972.75, 3) + rk(0, 4, 40972u << 2 | 2, 4) + number(0, 5, 0.75, 5) +
        number(0, 6, 2.5, 6) + number(0, 7, 3, 7) + formula(0, 8, 40972, 1) + number(0, 10, 5, 99);
    EXPECT_EQ(firstSheet(book(records1900, formats)),
              (QStringList{"0,0:\"2012-03-04\"", "0,1:\"12:00:00\"", "0,2:\"2012-03-04 12:00:00\"",
                           "0,3:\"2012-03-04 18:00:00\"", "0,4:\"2012-03-04\"", "0,5:\"18:00:00\"",
                           "0,6:2.5", "0,7:3", "0,8:\"2012-03-04\"", "0,10:5"}));

    const QByteArray records1904 = number(0, 0, 39510, 1) + number(0, 1, 0, 1);
    EXPECT_EQ(firstSheet(book(records1904, dateMode1904() + formats)),
              (QStringList{"0,0:\"2012-03-04\"", "0,1:\"1904-01-01\""}));
}

// BIFF5 keeps its texts in the workbook's code page: sheet names, cells, formats and formula
// results alike.
TEST(XlsReaderTest, ReadsBiff5InItsCodePage)
{
    // 乨 is 0x81 0x64 in GBK: read byte by byte the format would hold a bare "d".
    const QByteArray globals =
        codePage(936) + format5(164, gbk(QStringLiteral("yyyy\"年\"m\"月\""))) +
        format5(165, gbk(QStringLiteral("0乨"))) + xf(0, 5) + xf(164, 5) + xf(165, 5);
    const QByteArray records = label5(0, 0, gbk(QStringLiteral("张伟"))) + number(0, 1, 40972, 1) +
                               number(0, 2, 7, 2) + formulaResult(0, 3, 0) +
                               record(0x0207, text5(gbk(QStringLiteral("城关一小"))));
    const SheetRecords sheet(QString(), records, gbk(QStringLiteral("学生")));
    const QByteArray chinese =
        compoundFile({{QStringLiteral("Book"), workbookStream(globals, {sheet}, 5)}});
    const Result<Workbook> book = XlsReader::readBytes(chinese, {});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    EXPECT_EQ(book->sheetNames(), QStringList{QStringLiteral("学生")});
    EXPECT_EQ(cells(*book->sheet(QStringLiteral("学生"))),
              (QStringList{"0,0:\"张伟\"", "0,1:\"2012-03-04\"", "0,2:7", "0,3:\"城关一小\""}));

    const auto biff5 = [](const QByteArray &globals, const QByteArray &text) {
        const SheetRecords sheet(QString(), label5(0, 0, text), "Sheet1");
        return compoundFile({{QStringLiteral("Book"), workbookStream(globals, {sheet}, 5)}});
    };
    EXPECT_EQ(firstSheet(biff5(codePage(1252), "Caf\xe9 \x80")), QStringList{"0,0:\"Café €\""});
    EXPECT_EQ(firstSheet(biff5({}, "\x80")), QStringList{"0,0:\"€\""}); // no CODEPAGE: 1252
    // Vietnamese: a base letter and a combining tone mark, composed as typed texts are.
    EXPECT_EQ(firstSheet(biff5(codePage(1258), "Vi\xea\xd2t \xd2")),
              QStringList{QStringLiteral("0,0:\"Vi\u1ec3t \u0309\"")});
}

// Worksheets older than Excel 5 keep code page and formats in the sheet; BIFF2 cells carry their
// format in attribute bytes and have records of their own.
TEST(XlsReaderTest, ReadsBiff2To4Worksheets)
{
    const auto old = [](int id, int row, int column, int format, const QByteArray &rest) {
        return record(static_cast<std::uint16_t>(id),
                      le16(row) + le16(column) + '\0' + static_cast<char>(format) + '\0' + rest);
    };
    const auto format2 = [](const QByteArray &code) { return record(0x001E, text5(code, 1)); };
    const QByteArray biff2 =
        record(0x0009, le16(2) + le16(0x10)) + codePage(936) + format2("General") +
        format2("yyyy-mm-dd") + old(0x0002, 0, 0, 0, le16(42)) + old(0x0003, 0, 1, 1, f64(40972)) +
        old(0x0004, 0, 2, 0, text5(gbk(QStringLiteral("张伟")), 1)) +
        old(0x0005, 0, 3, 0, QByteArray("\x01\x00", 2)) +
        old(0x0006, 1, 0, 0, QByteArray(6, '\0') + "\xFF\xFF" + QByteArray(2, '\0')) +
        record(0x0007, text5("abc", 1)) + eof();
    EXPECT_EQ(firstSheet(biff2), (QStringList{"0,0:42", "0,1:\"2012-03-04\"", "0,2:\"张伟\"",
                                              "0,3:1", "1,0:\"abc\""}));

    const QByteArray xf3 = record(0x0243, QByteArray("\x00\x01", 2) + QByteArray(10, '\0'));
    const QByteArray biff3 = record(0x0209, le16(0) + le16(0x10) + le16(0)) + format2("General") +
                             format2("h:mm") + xf3 + number(0, 0, 0.5, 0) +
                             record(0x0204, le16(0) + le16(1) + le16(0) + text5("Caf\xe9")) +
                             record(0x0206, le16(0) + le16(2) + le16(1) + f64(7) + le16(0)) + eof();
    EXPECT_EQ(firstSheet(biff3), (QStringList{"0,0:\"12:00:00\"", "0,1:\"Café\"", "0,2:7"}));

    const auto format4 = [](const QByteArray &code) {
        return record(0x041E, le16(0) + text5(code, 1));
    };
    const QByteArray xf4 = record(0x0443, QByteArray("\x00\x01", 2) + QByteArray(10, '\0'));
    const QByteArray biff4 =
        record(0x0409, le16(0) + le16(0x10) + le16(0)) + format4("0.00") + format4("d/m/yy") + xf4 +
        number(0, 0, 40972, 0) + rk(0, 1, 40972u << 2 | 2, 1) +
        record(0x0406, le16(0) + le16(2) + le16(1) + QByteArray(6, '\0') + "\xFF\xFF" + le16(0)) +
        record(0x0207, text5("xyz")) + eof();
    EXPECT_EQ(firstSheet(biff4), (QStringList{"0,0:\"2012-03-04\"", "0,1:40972", "0,2:\"xyz\""}));
}

// The same workbook in every container layout the format allows reads the same.
TEST(XlsReaderTest, ReadsEveryContainerLayout)
{
    QByteArray records;
    for (int r = 0; r < 300; ++r)
        records += number(r, 0, r) + label(r, 1, QStringLiteral("第%1行").arg(r));
    const QByteArray stream = workbookStream({}, {{QStringLiteral("Sheet1"), records}});
    const QStringList expected = firstSheet(xlsFile(stream));
    ASSERT_EQ(expected.size(), 600);
    EXPECT_EQ(expected.last(), QStringLiteral("299,1:\"第299行\""));

    CompoundOptions large;
    large.sectorShift = 12;
    CompoundOptions difat;
    difat.fatSectors = 240; // beyond the header's 109: two DIFAT sectors
    EXPECT_EQ(firstSheet(compoundFile({{QStringLiteral("Workbook"), stream}}, large)), expected);
    EXPECT_EQ(firstSheet(compoundFile({{QStringLiteral("Workbook"), stream}}, difat)), expected);
    // Excel 97 & 5.0 files hold both; the BIFF8 one is read.
    EXPECT_EQ(firstSheet(compoundFile({{QStringLiteral("Book"), QByteArray(5000, '\0')},
                                       {QStringLiteral("workbook"), stream}})),
              expected);
    // A bare BIFF8 stream, as some programs save.
    EXPECT_EQ(firstSheet(stream), expected);
    // A lone worksheet without globals.
    EXPECT_EQ(firstSheet(bof(0x0010) + number(0, 0, 4) + eof()), QStringList{"0,0:4"});

    // Small workbooks sit in the mini stream, as in this one another program wrote.
    const Result<Workbook> tiny = WorkbookReader::read(fixture("tiny.xls"));
    ASSERT_TRUE(tiny.isOk()) << tiny.status().message().toStdString();
    EXPECT_EQ(cells(*tiny->sheet(QStringLiteral("Sheet1"))),
              (QStringList{"0,0:\"姓名\"", "1,0:\"张伟\""}));
}

// Excel encrypts some workbooks with its built-in password and opens them without asking; so do
// we. Any other password is refused.
TEST(XlsReaderTest, ReadsWorkbooksEncryptedWithTheDefaultPassword)
{
    QByteArray records;
    for (int r = 0; r < 200; ++r)
        records += labelSst(r, 0, static_cast<std::uint32_t>(r % 2)) + number(r, 1, r);
    const QByteArray stream =
        workbookStream(sst({QStringLiteral("张三"), QStringLiteral("李四")}),
                       {{QStringLiteral("学生"), records}, {QStringLiteral("Sheet2"), {}}});
    const QByteArray salt = QByteArray::fromHex("0123456789abcdeffedcba9876543210");
    const Result<Workbook> plain = XlsReader::readBytes(xlsFile(stream), {});
    const Result<Workbook> book = XlsReader::readBytes(
        xlsFile(encryptRc4(stream, QStringLiteral("VelvetSweatshop"), salt)), {});
    ASSERT_TRUE(plain.isOk());
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    EXPECT_EQ(book->sheetNames(), plain->sheetNames());
    EXPECT_EQ(cells(*book->sheet(QStringLiteral("学生"))),
              cells(*plain->sheet(QStringLiteral("学生"))));

    EXPECT_EQ(firstSheet(xlsFile(encryptRc4(stream, QStringLiteral("secret"), salt))),
              QStringList{WorkbookReader::reasonPasswordProtected()});
}

// Files that are workbooks of another kind or locked are refused with the reason.
TEST(XlsReaderTest, RefusesLockedAndForeignFiles)
{
    const QByteArray records = number(0, 0, 1);
    const QByteArray filePass = record(0x002F, le16(1) + le16(1) + QByteArray(48, '\x11'));
    EXPECT_EQ(firstSheet(book(records, filePass)),
              QStringList{WorkbookReader::reasonPasswordProtected()});
    const QByteArray package =
        compoundFile({{QStringLiteral("EncryptionInfo"), QByteArray(200, '\x04')},
                      {QStringLiteral("EncryptedPackage"), QByteArray(9000, '\x7F')}});
    EXPECT_EQ(firstSheet(package), QStringList{WorkbookReader::reasonEncrypted()});
    const QByteArray document =
        compoundFile({{QStringLiteral("WordDocument"), QByteArray(5000, '\x01')}});
    EXPECT_EQ(firstSheet(document), QStringList{WorkbookReader::reasonNotWorkbook()});
    // A BIFF4 workbook, its sheets bundled in a way of its own.
    EXPECT_EQ(firstSheet(record(0x0409, le16(0) + le16(0x0100) + le16(0)) + eof()),
              QStringList{WorkbookReader::reasonXlsUnreadable()});
}

// Damaged files, in the container or in the records, are refused as damaged and never read past
// their end (the sanitizer builds check that).
TEST(XlsReaderTest, RefusesDamagedFiles)
{
    QByteArray records;
    for (int r = 0; r < 300; ++r)
        records += number(r, 0, r);
    const QByteArray sound = workbookStream({}, {{QStringLiteral("Sheet1"), records}});
    const auto patched = [&](auto patch) {
        CompoundOptions options;
        options.patchFat = [patch](std::vector<std::uint32_t> &fat,
                                   const std::vector<std::vector<std::uint32_t>> &chains) {
            patch(fat, chains.front());
        };
        return compoundFile({{QStringLiteral("Workbook"), sound}}, options);
    };
    QByteArray lyingLength = sound;
    lyingLength.replace(lyingLength.size() - 2, 2, le16(500)); // the last EOF claims 500 bytes
    QByteArray farSheet = sound;
    farSheet.replace(farSheet.indexOf(QByteArray("\x85\x00", 2)) + 4, 4, le32(1u << 30));
    QByteArray hugeShift = xlsFile(sound);
    hugeShift.replace(0x1E, 2, le16(30));
    QByteArray directoryInFat = xlsFile(sound);
    directoryInFat.replace(0x30, 4, le32(0));
    QByteArray cutSst = sst({QStringLiteral("一二三四")});
    cutSst.chop(4);
    cutSst.replace(2, 2, le16(static_cast<unsigned>(cutSst.size() - 4)));
    // Sheets that share one substream, and many tiny sheets that each reach the last row.
    const QByteArray sharedSheet =
        workbookStream({}, {{QStringLiteral("A"), records}, {QStringLiteral("B"), {}}});
    QByteArray shared = sharedSheet;
    const qsizetype second = shared.indexOf(QByteArray("\x85\x00", 2), 30);
    shared.replace(second + 4, 4, shared.mid(shared.indexOf(QByteArray("\x85\x00", 2)) + 4, 4));
    std::vector<SheetRecords> farRows;
    for (int i = 0; i < 20; ++i)
        farRows.emplace_back(QString::number(i), number(65535, 0, i));
    const struct
    {
        const char *name;
        QByteArray file;
    } cases[] = {
        {"sheets sharing a substream", xlsFile(shared)},
        {"rows beyond the file's size", xlsFile(workbookStream({}, farRows))},
        {"truncated file", xlsFile(sound).left(xlsFile(sound).size() - 1500)},
        {"truncated stream", xlsFile(sound.left(sound.size() - 700))},
        {"record beyond the stream", xlsFile(lyingLength)},
        {"globals without end", xlsFile(sound.left(40))},
        {"globals without sheets", xlsFile(workbookStream({}, {}))},
        {"sheet ending in an end record with data", book(number(0, 0, 1) + record(0x000A, "junk"))},
        {"sheet beyond the stream", xlsFile(farSheet)},
        {"FAT cycle", patched([](auto &fat, auto &chain) { fat[chain.back()] = chain.front(); })},
        {"sector beyond the file", patched([](auto &fat, auto &chain) { fat[chain[1]] = 90000; })},
        {"chain shorter than the size",
         patched([](auto &fat, auto &chain) { fat[chain[1]] = 0xFFFFFFFE; })},
        {"sector size", hugeShift},
        {"directory in the FAT", directoryInFat},
        {"header only", xlsFile(sound).left(512)},
        {"huge row number", book(dimensions(5000000, 3) + number(0, 0, 1))},
        {"column beyond 256", book(number(0, 300, 1))},
        {"MULRK lying about its columns",
         book(record(0x00BD, le16(0) + le16(0) + le16(0) + le32(2) + le16(7)))},
        {"shared string one past the table", book(labelSst(0, 0, 1), sst({QStringLiteral("a")}))},
        {"shared string cut short", book(labelSst(0, 0, 0), cutSst)},
        {"cell record cut short", book(record(0x0203, le16(0) + le16(0) + le16(0) + le32(0)))},
        {"label longer than its record",
         book(record(0x0204, le16(0) + le16(0) + le16(0) + le16(200) + '\0' + "abc"))},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(firstSheet(c.file), QStringList{WorkbookReader::reasonDamaged()}) << c.name;
    }
}

// Fuzzing inputs that once crashed, hung or were read when they should not have been; a name
// ending in "-damaged.xls" must be refused as damaged, any other must read or be refused, without
// a fault.
TEST(XlsReaderTest, ReplaysRegressions)
{
    const QDir dir(QStringLiteral(FENPAI_SOURCE_DIR "/tests/workbook/regressions/xls"));
    const QStringList names = dir.entryList({QStringLiteral("*.xls")}, QDir::Files);
    EXPECT_FALSE(names.isEmpty());
    for (const QString &name : names) {
        const Result<Workbook> book = XlsReader::readBytes(readFile(dir.filePath(name)), {});
        if (name.endsWith(QLatin1String("-damaged.xls"))) {
            EXPECT_FALSE(book.isOk()) << name.toStdString();
            EXPECT_EQ(book.status().message(), WorkbookReader::reasonDamaged())
                << name.toStdString();
        }
    }
}

} // namespace
} // namespace fenpai::test
