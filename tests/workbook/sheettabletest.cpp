#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "workbook/sheet.h"

#include <variant>

namespace fenpai::test {
namespace {

using Value = std::variant<std::monostate, double, QString>;

// Builds a sheet from rows of values; monostate leaves the cell unset.
Sheet sheetOf(const std::vector<std::vector<Value>> &rows, int firstRow = 0, int firstColumn = 0)
{
    Sheet sheet(QStringLiteral("Sheet1"));
    for (size_t r = 0; r < rows.size(); ++r) {
        for (size_t c = 0; c < rows[r].size(); ++c) {
            const int row = firstRow + static_cast<int>(r);
            const int column = firstColumn + static_cast<int>(c);
            if (const double *d = std::get_if<double>(&rows[r][c]))
                sheet.setNumber(row, column, *d);
            else if (const QString *s = std::get_if<QString>(&rows[r][c]))
                sheet.setText(row, column, *s);
        }
    }
    return sheet;
}

QString s(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

TEST(SheetTableTest, NamesColumnsFromTheHeaderRow)
{
    const struct
    {
        const char *what;
        std::vector<Value> header;
        const char *names;
    } cases[] = {
        {"plain", {s("姓名"), s("成绩")}, "姓名|成绩"},
        {"empty names take F and their number",
         {s("姓名"), {}, s(""), s("成绩")},
         "姓名|F2|F3|成绩"},
        {"blank is empty", {s("  "), s("成绩")}, "F1|成绩"},
        {"repeats get 1, 2", {s("姓名"), s("姓名"), s("姓名")}, "姓名|姓名1|姓名2"},
        {"repeats ignore case", {s("Name"), s("NAME")}, "Name|NAME1"},
        {"a taken suffix moves on", {s("A"), s("A1"), s("A")}, "A|A1|A2"},
        {"F name already used", {s("F2"), {}}, "F2|F21"},
        {"numbers as text", {85.0, 85.5}, "85|85.5"},
        {"spaces kept, NUL trimmed",
         {s(" 姓名 "), QString(QStringLiteral("成绩") + QChar(0))},
         " 姓名 |成绩"},
        {"bracket kept readable", {s("a]b")}, "a］b"},
    };
    for (const auto &c : cases) {
        const Sheet sheet = sheetOf({c.header, std::vector<Value>(c.header.size(), 1.0)});
        EXPECT_EQ(SheetTable(sheet).columnNames().join(u'|'), s(c.names)) << c.what;
    }
}

TEST(SheetTableTest, TypesColumnsByTheirCells)
{
    // One column per case: header, then its cells.
    const struct
    {
        const char *what;
        std::vector<Value> cells;
        bool isNumber;
    } cases[] = {
        {"numbers", {1.0, 2.5, {}}, true},
        {"texts", {s("a"), s("b")}, false},
        {"mixed", {1.0, s("b")}, false},
        {"empty", {{}, {}}, true},
        {"empty texts are empty", {1.0, s("")}, true},
        {"numbers written as text stay text", {s("90"), 1.0}, false},
        {"a text of blanks is text", {1.0, s(" ")}, false},
    };
    for (const auto &c : cases) {
        std::vector<std::vector<Value>> rows = {{s("列"), s("key")}};
        for (const Value &v : c.cells)
            rows.push_back({v, s("k")});
        const SheetTable table(sheetOf(rows));
        ASSERT_EQ(table.columns().size(), 2u) << c.what;
        EXPECT_EQ(table.columns()[0].isNumber, c.isNumber) << c.what;
    }
}

TEST(SheetTableTest, ValuesFollowTheColumnType)
{
    const Sheet sheet = sheetOf({
        {s("分"), s("混合"), s("名")},
        {85.5, 3.0, s("张")},
        {{}, s("x"), s("")},
        {100.0, 1e-7, s("李") + QChar(0) + QChar(0)},
    });
    const SheetTable table(sheet);
    EXPECT_EQ(dump(table), (QStringList{
                               s("分:REAL|混合:TEXT|名:TEXT"),
                               s("85.5|\"3\"|\"张\""),
                               s("∅|\"x\"|∅"),
                               s("100|\"1e-07\"|\"李\""),
                           }));
}

TEST(SheetTableTest, SkipsEmptyRowsAndUnusedMargins)
{
    // The header sits in the third row and the second column; rows 4 and 6 hold nothing (row 6
    // only an empty text).
    const Sheet sheet = sheetOf(
        {
            {{}, {}, {}},
            {{}, {}, {}},
            {{}, s("姓名"), s("成绩")},
            {{}, s("张"), 90.0},
            {},
            {{}, s("李"), {}},
            {{}, s(""), {}},
            {{}, {}, 70.0},
        },
        0, 0);
    const SheetTable table(sheet);
    EXPECT_EQ(dump(table),
              (QStringList{s("姓名:TEXT|成绩:REAL"), s("\"张\"|90"), s("\"李\"|∅"), s("∅|70")}));
}

TEST(SheetTableTest, AnEmptySheetHasNoHeader)
{
    EXPECT_FALSE(SheetTable(Sheet()).hasHeader());
    EXPECT_FALSE(SheetTable(sheetOf({{{}, s("")}})).hasHeader());
}

TEST(SheetTest, DateSerialsAsIsoText)
{
    const struct
    {
        double serial;
        bool from1904;
        const char *text;
    } cases[] = {
        {1, false, "1900-01-01"},     {59, false, "1900-02-28"},
        {60, false, "1900-02-29"},    {61, false, "1900-03-01"},
        {40972, false, "2012-03-04"}, {40972.5, false, "2012-03-04 12:00:00"},
        {0.75, false, "18:00:00"},    {0, true, "1904-01-01"},
        {39510, true, "2012-03-04"},  {45000.999999999, false, "2023-03-16"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Sheet::dateText(c.serial, c.from1904), s(c.text)) << c.serial;
}

} // namespace
} // namespace fenpai::test
