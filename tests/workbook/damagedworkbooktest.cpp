// Workbooks that lie, are cut short or ask for more than a sheet may hold: each is refused with
// a message that names the file, quickly and without spending the memory it asks for.
#include "support/importtestutil.h"

#include "workbook/sheet.h"
#include "workbook/sheettable.h"
#include "workbook/workbookreader.h"

#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <map>
#include <string>

namespace fenpai::test {
namespace {

using Parts = std::map<std::string, QByteArray>;

// Writes a zip of the given parts.
void writeZip(const QString &path, const Parts &parts)
{
    int error = 0;
    zip *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(z, nullptr);
    for (const auto &[name, bytes] : parts) {
        // libzip keeps the buffer until zip_close; the map outlives that.
        zip_source_t *source = zip_source_buffer(z, bytes.constData(), bytes.size(), 0);
        ASSERT_NE(source, nullptr);
        ASSERT_GE(zip_file_add(z, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

const QByteArray contentTypes =
    R"(<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/></Types>)";
const QByteArray packageRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const QByteArray workbookXml =
    R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>)";

QByteArray workbookRels(bool withStrings)
{
    QByteArray rels =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>)";
    if (withStrings)
        rels +=
            R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>)";
    return rels + "</Relationships>";
}

QByteArray worksheet(const QByteArray &rows)
{
    return R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
           rows + "</sheetData></worksheet>";
}

QByteArray sharedStrings(const QStringList &strings)
{
    QByteArray xml =
        R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    for (const QString &s : strings)
        xml += "<si><t>" + s.toUtf8() + "</t></si>";
    return xml + "</sst>";
}

// An .xlsx with one sheet; `strings` null leaves the shared-strings part out (but named).
QString writeXlsx(QTemporaryDir &dir, const QByteArray &sheetXml, const QByteArray *strings,
                  bool nameStrings = true)
{
    const QString path = dir.filePath(QStringLiteral("成绩.xlsx"));
    Parts parts{{"[Content_Types].xml", contentTypes},
                {"_rels/.rels", packageRels},
                {"xl/workbook.xml", workbookXml},
                {"xl/_rels/workbook.xml.rels", workbookRels(nameStrings)},
                {"xl/worksheets/sheet1.xml", sheetXml}};
    if (strings)
        parts["xl/sharedStrings.xml"] = *strings;
    writeZip(path, parts);
    return path;
}

QString writeOds(QTemporaryDir &dir, const QByteArray &tableXml)
{
    const QString path = dir.filePath(QStringLiteral("成绩.ods"));
    const QByteArray content =
        R"(<?xml version="1.0"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet><table:table table:name="Sheet1">)" +
        tableXml + "</table:table></office:spreadsheet></office:body></office:document-content>";
    writeZip(path, {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
                    {"content.xml", content}});
    return path;
}

QString refusal(const QString &path)
{
    const Result<Workbook> book = WorkbookReader::read(path, {QStringLiteral("Sheet1")});
    return book ? QString() : book.status().message();
}

QStringList table(const QString &path)
{
    const Result<Workbook> book = WorkbookReader::read(path, {QStringLiteral("Sheet1")});
    EXPECT_TRUE(book.isOk()) << book.status().message().toStdString();
    if (!book)
        return {};
    return dump(SheetTable(*book->sheet(QStringLiteral("Sheet1"))));
}

const QString damaged = QStringLiteral("无法读取文件“成绩.xlsx”：文件已损坏或不完整。");

TEST(DamagedXlsx, RefusedWhenAPartLiesOrIsMissing)
{
    QTemporaryDir dir;
    const QByteArray strings = sharedStrings({QStringLiteral("姓名"), QStringLiteral("张三")});
    QByteArray rows = R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)";
    for (int r = 2; r <= 600; ++r)
        rows += QStringLiteral(R"(<row r="%1"><c r="A%1"><v>%1</v></c></row>)").arg(r).toUtf8();
    // The whole sheet reads.
    EXPECT_EQ(table(writeXlsx(dir, worksheet(rows), &strings)).size(), 600);

    // Cut at a row boundary: no end tags, so not the whole sheet.
    const QByteArray whole = worksheet(rows);
    const QByteArray cut = whole.left(whole.indexOf("<row r=\"300\""));
    EXPECT_EQ(refusal(writeXlsx(dir, cut, &strings)), damaged);

    // A shared string that is not in the table, and a table that is named but missing.
    const QByteArray beyond = worksheet(R"(<row r="1"><c r="A1" t="s"><v>2</v></c></row>)");
    EXPECT_EQ(refusal(writeXlsx(dir, beyond, &strings)), damaged);
    EXPECT_EQ(refusal(writeXlsx(dir, worksheet(rows), nullptr)), damaged);

    // Row and column numbers beyond the format's grid (and an int's range).
    for (const QByteArray &row :
         {QByteArray(R"(<row r="2147483647"><c><v>1</v></c></row><row><c><v>2</v></c></row>)"),
          QByteArray(R"(<row r="1048577"><c><v>1</v></c></row>)"),
          QByteArray(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"),
          QByteArray(R"(<row r="1"><c r="A99999999999"><v>1</v></c></row>)")})
        EXPECT_EQ(refusal(writeXlsx(dir, worksheet(row), &strings)), damaged) << row.data();

    // A sheet that names no shared-strings part and uses none reads.
    const QByteArray numbers = worksheet(R"(<row r="1"><c r="A1"><v>7</v></c></row>)");
    EXPECT_EQ(table(writeXlsx(dir, numbers, nullptr, false)),
              QStringList{QStringLiteral("7:REAL")});
}

TEST(SheetLimits, RefusedBeforeTheMemoryIsSpent)
{
    QTemporaryDir dir;
    // One 20,000-character text used in 30,000 cells is more than 1 GB of cell text.
    const QByteArray big = sharedStrings({QString(20000, u'文')});
    QByteArray rows;
    for (int r = 1; r <= 30000; ++r)
        rows +=
            QStringLiteral(R"(<row r="%1"><c r="A%1" t="s"><v>0</v></c></row>)").arg(r).toUtf8();
    EXPECT_EQ(refusal(writeXlsx(dir, worksheet(rows), &big)),
              QStringLiteral("无法导入文件“成绩.xlsx”：单元格文字总量超过1 GB，无法导入。"));

    // One cell longer than a spreadsheet cell may be.
    const QByteArray tooLong = sharedStrings({QString(Sheet::maxTextLength + 1, u'a')});
    EXPECT_EQ(refusal(writeXlsx(dir, worksheet(R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row>)"),
                                &tooLong)),
              QStringLiteral("无法导入文件“成绩.xlsx”：有单元格的文字超过32767个字符，无法导入。"));

    // Column 2001 (BXY) passes the table's limit; column 2000 (BXX) does not.
    const QByteArray wide = worksheet(R"(<row r="1"><c r="BXY1"><v>1</v></c></row>)");
    EXPECT_EQ(refusal(writeXlsx(dir, wide, nullptr, false)),
              QStringLiteral("无法导入文件“成绩.xlsx”：列数超过2000，无法导入。"));
    const QByteArray widest = worksheet(R"(<row r="1"><c r="BXX1"><v>1</v></c></row>)");
    EXPECT_EQ(refusal(writeXlsx(dir, widest, nullptr, false)), QString());
}

TEST(SheetLimits, ManyEqualHeadersGetUniqueNamesInLinearTime)
{
    Sheet sheet;
    ASSERT_TRUE(sheet.setText(0, 0, QStringLiteral("姓名2")));
    for (int c = 1; c < Sheet::maxColumns; ++c)
        ASSERT_TRUE(sheet.setText(0, c, QStringLiteral("姓名")));
    EXPECT_FALSE(sheet.setText(0, Sheet::maxColumns, QStringLiteral("姓名")));
    EXPECT_EQ(sheet.limit(), Sheet::Limit::Columns);
    const QStringList names = SheetTable(sheet).columnNames();
    ASSERT_EQ(names.size(), Sheet::maxColumns);
    EXPECT_EQ(names.mid(0, 4), (QStringList{QStringLiteral("姓名2"), QStringLiteral("姓名"),
                                            QStringLiteral("姓名1"), QStringLiteral("姓名3")}));
    EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size());
}

TEST(DamagedOds, RepeatsAndSpacesCannotExplode)
{
    QTemporaryDir dir;
    const QString cannotImport = QStringLiteral("无法导入文件“成绩.ods”：");
    const struct
    {
        const char *what;
        QByteArray row;
        QString refusal;
    } cases[] = {
        {"a value repeated over every column and more rows than an int holds",
         R"(<table:table-row table:number-rows-repeated="99999999999"><table:table-cell table:number-columns-repeated="2000" office:value-type="float" office:value="1"/></table:table-row>)",
         cannotImport + QStringLiteral("单元格超过4000万个，无法导入。")},
        {"columns beyond an int's range: damaged, with no overflow",
         R"(<table:table-row><table:table-cell table:number-columns-repeated="2147483647"/><table:table-cell table:number-columns-repeated="2147483647" office:value-type="float" office:value="1"/></table:table-row>)",
         QStringLiteral("无法读取文件“成绩.ods”：文件已损坏或不完整。")},
        {"one column past the table's limit",
         R"(<table:table-row><table:table-cell table:number-columns-repeated="1999"/><table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="1"/></table:table-row>)",
         cannotImport + QStringLiteral("列数超过2000，无法导入。")},
        {"two thousand million spaces in one cell",
         R"(<table:table-row><table:table-cell office:value-type="string"><text:p>a<text:s text:c="2000000000"/>b</text:p></table:table-cell></table:table-row>)",
         cannotImport + QStringLiteral("有单元格的文字超过32767个字符，无法导入。")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(refusal(writeOds(dir, c.row)), c.refusal) << c.what;
    // Empty trailing rows and columns repeated to the end of the grid cost nothing.
    EXPECT_EQ(
        table(writeOds(
            dir,
            R"(<table:table-row><table:table-cell office:value-type="float" office:value="5"/><table:table-cell table:number-columns-repeated="16383"/></table:table-row><table:table-row table:number-rows-repeated="1048575"><table:table-cell table:number-columns-repeated="16384"/></table:table-row>)")),
        QStringList{QStringLiteral("5:REAL")});
}

// Cells without a value cost nothing: a sheet of tens of millions of empty texts beside a
// column of values reads as that column, without a cell limit and without the memory.
TEST(DamagedOds, EmptyTextsAreNoValues)
{
    QTemporaryDir dir;
    const QByteArray empties =
        R"(<table:table-cell table:number-columns-repeated="1999" office:value-type="string"><text:p/></table:table-cell>)";
    const QString path = writeOds(
        dir,
        R"(<table:table-row><table:table-cell office:value-type="string"><text:p>分</text:p></table:table-cell>)" +
            empties +
            R"(</table:table-row><table:table-row table:number-rows-repeated="30000"><table:table-cell office:value-type="float" office:value="7"/>)" +
            empties + "</table:table-row>");
    const Result<Workbook> book = WorkbookReader::read(path, {QStringLiteral("Sheet1")});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    const Sheet &sheet = *book->sheet(QStringLiteral("Sheet1"));
    EXPECT_EQ(sheet.rowCount(), 30001);
    EXPECT_EQ(sheet.columnCount(), 1) << "no cell beyond the values";
    EXPECT_EQ(dump(SheetTable(sheet)).size(), 30001);
}

// NUL and the other control characters come out of every cell, whatever the format, and are
// counted; tab and line feed are text and stay.
TEST(ControlCharacters, TakenOutOfCellsAndCounted)
{
    QTemporaryDir dir;
    const QByteArray rows =
        R"(<row r="1"><c r="A1" t="inlineStr"><is><t>备注</t></is></c></row>)"
        R"(<row r="2"><c r="A2" t="inlineStr"><is><t>甲_x0000_乙_x0007_丙&#9;丁</t></is></c></row>)"
        R"(<row r="3"><c r="A3" t="inlineStr"><is><t>_x0000__x001F_</t></is></c></row>)";
    const Result<Workbook> xlsx = WorkbookReader::read(
        writeXlsx(dir, worksheet(rows), nullptr, false), {QStringLiteral("Sheet1")});
    ASSERT_TRUE(xlsx.isOk()) << xlsx.status().message().toStdString();
    const Sheet &sheet = *xlsx->sheet(QStringLiteral("Sheet1"));
    EXPECT_EQ(sheet.text(sheet.cell(1, 0)), QStringLiteral("甲乙丙\t丁"));
    EXPECT_EQ(sheet.cell(2, 0).kind, Sheet::Cell::Kind::Empty) << "nothing but controls: no value";
    EXPECT_EQ(sheet.removedControls(), 4);

    // Shared strings, as most writers keep texts.
    const QByteArray strings = sharedStrings({QStringLiteral("备注"), QStringLiteral("a_x0000_b")});
    const QString shared = writeXlsx(
        dir,
        worksheet(
            R"(<row r="1"><c r="A1" t="s"><v>0</v></c></row><row r="2"><c r="A2" t="s"><v>1</v></c></row>)"),
        &strings);
    EXPECT_EQ(table(shared), (QStringList{QStringLiteral("备注:TEXT"), QStringLiteral("\"ab\"")}));

    EXPECT_EQ(Sheet::withoutControls(QStringLiteral("a\r\nb\rc\x7F\u0085d\u00A0")),
              QStringLiteral("a\nb\ncd\u00A0"))
        << "a CR is a line break; DEL and C1 go; a no-break space is text";
}

TEST(DamagedOds, IndentationIsNotCellText)
{
    QTemporaryDir dir;
    const QByteArray indented = R"(
        <table:table-row>
          <table:table-cell office:value-type="string">
            <text:p>姓名</text:p>
          </table:table-cell>
          <table:table-cell office:value-type="string">
            <text:p>成绩</text:p>
          </table:table-cell>
        </table:table-row>
        <table:table-row>
          <table:table-cell office:value-type="string">
            <text:p>
              张  三 <text:s/>丰
            </text:p>
            <text:p>第二段</text:p>
          </table:table-cell>
          <table:table-cell office:value-type="float" office:value="85.5">
            <text:p>85.5</text:p>
          </table:table-cell>
        </table:table-row>
    )";
    EXPECT_EQ(table(writeOds(dir, indented)),
              (QStringList{QStringLiteral("姓名:TEXT|成绩:REAL"),
                           QStringLiteral("\"张 三  丰\n第二段\"|85.5")}));
}

} // namespace
} // namespace fenpai::test
