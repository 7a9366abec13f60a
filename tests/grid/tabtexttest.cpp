#include "grid/tabtext.h"

#include "grid/grid.h"
#include "grid/gridfragment.h"

#include <gtest/gtest.h>

using namespace fenpai;

// What Calc and Excel put on the clipboard: a cell with a line break, a tab or a leading quote
// comes in double quotes, its own quotes doubled; the rest is plain.
TEST(TabText, ReadsSpreadsheetClipboardText)
{
    using Rows = QList<QStringList>;
    EXPECT_EQ(TabText::parse("a\tb\r\nc\td\r\n"), (Rows{{"a", "b"}, {"c", "d"}}));
    EXPECT_EQ(TabText::parse("\"two\nlines\"\t\"a\tb\"\n\"\"\"q\"\"\"\tx"),
              (Rows{{"two\nlines", "a\tb"}, {"\"q\"", "x"}}));
    // Quotes that do not wrap a whole field are ordinary characters.
    EXPECT_EQ(TabText::parse("5\"\t\"open\n\"x\"y"), (Rows{{"5\"", "\"open"}, {"\"x\"y"}}));
    EXPECT_EQ(TabText::parse("a\t\tb\t\n\n"), (Rows{{"a", "", "b", ""}, {""}}));
    EXPECT_TRUE(TabText::parse("").isEmpty());

    for (const QString cell : {"plain", "with\ttab", "two\nlines", "\"quoted\"", "in\"side"})
        EXPECT_EQ(TabText::parse(TabText::quote(cell) + "\tz"), (Rows{{cell, "z"}}))
            << cell.toStdString();
}

TEST(TabText, AMultiLineCellIsPastedIntoOneCellAndCopiedBackTheSame)
{
    Grid grid;
    grid.setRows(4);
    grid.setCols(4);
    grid.pastePlainText("\"姓名\n(全名)\"\t成绩\n张三\t90\n", 1, 1);
    EXPECT_EQ(grid.cellText(1, 1), "姓名\n(全名)");
    EXPECT_EQ(grid.cellText(1, 2), "成绩");
    EXPECT_EQ(grid.cellText(2, 1), "张三");
    EXPECT_EQ(grid.cellText(3, 1), "");
    EXPECT_EQ(grid.fragment(GridArea{1, 1, 2, 2}).toPlainText(),
              "\"姓名\n(全名)\"\t成绩\n张三\t90\n");
}
