#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "workbook/csvreader.h"
#include "workbook/textencoding.h"

#include <QStringEncoder>
#include <QTemporaryDir>

namespace fenpai::test {
namespace {

QByteArray encode(const QString &text, const char *encoding, bool mark)
{
    QStringEncoder encoder(encoding, mark ? QStringConverter::Flag::WriteBom
                                          : QStringConverter::Flag::Default);
    EXPECT_TRUE(encoder.isValid()) << encoding;
    return encoder.encode(text);
}

// The sheet of a one-file read, as the import's table sees it.
QStringList tableOf(const QByteArray &bytes)
{
    const Result<Workbook> book = CsvReader::parse(bytes, QStringLiteral("名单"));
    EXPECT_TRUE(book.isOk()) << book.status().message().toStdString();
    if (!book)
        return {};
    EXPECT_EQ(book->sheetNames(), QStringList{QStringLiteral("名单")});
    return dump(SheetTable(*book->sheet(QStringLiteral("名单"))));
}

// The same pupils in every encoding a school hands out, with each delimiter: the quoted fields
// hold the delimiter, a doubled quote and a line break.
TEST(CsvReaderTest, EveryEncodingWithEveryDelimiter)
{
    const QStringList expected = {
        QStringLiteral("考生姓名:TEXT|性 别:TEXT|中考成绩:REAL|毕业学校:TEXT|备注:TEXT"),
        QStringLiteral("\"谢平\"|\"女\"|512|\"城关一中\"|\"说“好”,;\t\"x\"\""),
        QStringLiteral("\"欧阳明\"|\"男\"|498.5|\"实验小学\"|\"两行\n备注\"")};
    const struct
    {
        const char *encoding;
        bool mark;
    } encodings[] = {{"UTF-8", false},
                     {"UTF-8", true},
                     {"GB18030", false},
                     {"UTF-16LE", true},
                     {"UTF-16BE", true}};
    for (const QString &d : {QStringLiteral(","), QStringLiteral("\t"), QStringLiteral(";")}) {
        const QString text =
            QStringList{QStringLiteral("考生姓名"), QStringLiteral("性 别"),
                        QStringLiteral("中考成绩"), QStringLiteral("毕业学校"),
                        QStringLiteral("备注")}
                .join(d) +
            QStringLiteral("\r\n") +
            QStringList{QStringLiteral("谢平"), QStringLiteral("女"), QStringLiteral("512"),
                        QStringLiteral("城关一中"), QStringLiteral("\"说“好”,;\t\"\"x\"\"\"")}
                .join(d) +
            QStringLiteral("\r\n") +
            QStringList{QStringLiteral("欧阳明"), QStringLiteral("男"), QStringLiteral(" 498.5"),
                        QStringLiteral("实验小学"), QStringLiteral("\"两行\r\n备注\"")}
                .join(d) +
            QStringLiteral("\r\n");
        for (const auto &e : encodings) {
            SCOPED_TRACE(std::string(e.encoding) + (e.mark ? " with mark, " : ", ") +
                         d.toStdString());
            EXPECT_EQ(tableOf(encode(text, e.encoding, e.mark)), expected);
        }
    }
}

TEST(CsvReaderTest, FindsTheEncoding)
{
    const struct
    {
        QByteArray bytes;
        QByteArray name;
    } cases[] = {
        {"plain,ascii\n", "UTF-8"},
        {encode(QStringLiteral("姓名\n张伟\n"), "UTF-8", false), "UTF-8"},
        {encode(QStringLiteral("姓名\n张伟\n"), "UTF-16LE", true), "UTF-16LE"},
        // Many of these names happen to be UTF-8 sequences in GBK; the text still reads as GBK.
        {encode(QStringLiteral("姓名,性别\n谢平,女\n郑伟,女\n史强,男\n"), "GB18030", false),
         "GB18030"},
        {encode(QStringLiteral("姓名,性別\n陳小明,男\n張美麗,女\n"), "Big5", false), "BIG5"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TextEncoding::detect(c.bytes).name, c.name) << c.bytes.toHex().toStdString();
}

// 考号 and ID card numbers keep every digit; a column of plain numbers becomes a number column;
// things that only look like numbers stay text.
TEST(CsvReaderTest, IdentifiersKeepTheirDigits)
{
    const QByteArray bytes = "考号,学号,身份证号,成绩,班级,电话\n"
                             "0101,20230001,110101200801011234,85,1E3,+8613800000000\n"
                             "1102,20230002,11010120080202123X,-0.5,2,\n"
                             "1103,20230003,110101200803031234,.5,3,1\n";
    EXPECT_EQ(tableOf(bytes),
              (QStringList{
                  QStringLiteral("考号:TEXT|学号:REAL|身份证号:TEXT|成绩:REAL|班级:TEXT|电话:TEXT"),
                  QStringLiteral("\"0101\"|20230001|\"110101200801011234\"|85|\"1E3\"|"
                                 "\"+8613800000000\""),
                  QStringLiteral("\"1102\"|20230002|\"11010120080202123X\"|-0.5|\"2\"|∅"),
                  QStringLiteral("\"1103\"|20230003|\"110101200803031234\"|0.5|\"3\"|\"1\"")}));
}

TEST(CsvReaderTest, DetectsTheDelimiter)
{
    const struct
    {
        const char *text;
        char delimiter;
    } cases[] = {
        {"a,b,c\n1,2,3\n", ','},
        {"a\tb\n1\t2,5\n3\t4\n", '\t'},
        {"a;b;c\n\"1,5\";2,5;3\n", ';'},    // decimal commas, as some regions write them
        {"\n\n姓名;成绩\n张,伟;80\n", ';'}, // blank lines before the header
        {"\"a,b\"\tc\n\"1,2\"\t3\n", '\t'}, // commas only inside quotes
        {"one column\n", ','},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CsvReader::detectDelimiter(QString::fromUtf8(c.text)), QChar(c.delimiter))
            << c.text;
}

TEST(CsvReaderTest, ShortAndRaggedLines)
{
    // No line break at the end, a blank line, a line with fewer and one with more fields.
    EXPECT_EQ(
        tableOf("姓名,成绩\r\n\r\n张伟\n李娜,90,多余\n王芳,\"88\""),
        (QStringList{QStringLiteral("姓名:TEXT|成绩:REAL|F3:TEXT"), QStringLiteral("\"张伟\"|∅|∅"),
                     QStringLiteral("\"李娜\"|90|\"多余\""), QStringLiteral("\"王芳\"|88|∅")}));
}

TEST(CsvReaderTest, RefusesDamagedText)
{
    const QByteArray utf8 = encode(QStringLiteral("姓名,成绩\n张伟,80\n李娜,90\n"), "UTF-8", false);
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        {"bytes no encoding allows", utf8 + "\xFF\xFE\xFF,1\n", TextEncoding::reasonUndecodable()},
        {"UTF-8 with a broken character", utf8 + "王\xE8,1\n" + utf8,
         TextEncoding::reasonUndecodable()},
        {"UTF-16 cut in half a character", encode(QStringLiteral("姓名"), "UTF-16LE", true) + "x",
         TextEncoding::reasonUndecodable()},
        {"a NUL byte", QByteArray("a,b\n1,\0", 7), TextEncoding::reasonUndecodable()},
        {"a quote never closed", "姓名,备注\n张伟,\"说\n李娜,90\n", CsvReader::reasonOpenQuote(2)},
    };
    for (const auto &c : cases) {
        const Result<Workbook> book = CsvReader::parse(c.bytes, QStringLiteral("x"));
        ASSERT_FALSE(book.isOk()) << c.what;
        EXPECT_EQ(book.status().message(), c.message) << c.what;
    }
}

// Through the workbook reader: by name, with the sheet limits and the reader's messages.
TEST(CsvReaderTest, ReadThroughTheWorkbookReader)
{
    QTemporaryDir dir;
    const QString csv = dir.filePath(QStringLiteral("初一新生.CSV"));
    writeFile(csv, encode(QStringLiteral("姓名\t成绩\n张伟\t80\n"), "GB18030", false));
    Result<Workbook> book = WorkbookReader::read(csv, {QStringLiteral("Sheet1")});
    ASSERT_TRUE(book.isOk()) << book.status().message().toStdString();
    EXPECT_EQ(book->format(), Workbook::Format::Csv);
    EXPECT_EQ(book->sheetNames(), QStringList{QStringLiteral("初一新生")});

    const QString wide = dir.filePath(QStringLiteral("wide.txt"));
    writeFile(wide, QByteArray(Sheet::maxColumns, ',') + "x\n");
    book = WorkbookReader::read(wide);
    ASSERT_FALSE(book.isOk());
    EXPECT_EQ(book.status().message(), QStringLiteral("无法导入文件“wide.txt”：") +
                                           WorkbookReader::reasonLimit(Sheet::Limit::Columns));

    const QString bad = dir.filePath(QStringLiteral("坏.csv"));
    writeFile(bad, "a,b\n\xFF\xFF\xFF\n");
    book = WorkbookReader::read(bad);
    ASSERT_FALSE(book.isOk());
    EXPECT_EQ(book.status().message(),
              QStringLiteral("无法读取文件“坏.csv”：") + TextEncoding::reasonUndecodable());
}

} // namespace
} // namespace fenpai::test
