#include "jobs/documents/documentfill.h"
#include "db/savedqueries.h"
#include "grid/grid.h"
#include "jobs/documents/selectionsum.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

class Fill : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.exec({"CREATE TABLE 分班数据表 (学号 double, 姓名 text, 成绩 double, 原学校 text, 新分班 "
                "double)",
                "INSERT INTO 分班数据表 VALUES (101, '甲', 95, '一中', 1)",
                "INSERT INTO 分班数据表 VALUES (102, '乙', 85.5, NULL, 2)",
                "INSERT INTO 分班数据表 VALUES (103, '丙', NULL, '二中', 1)"});
    }

    QStringList row(int r) const
    {
        QStringList out;
        for (int c = 1; c < grid.cols(); ++c)
            out.append(grid.cellText(r, c));
        return out;
    }

    TempData t;
    Grid grid;
};

} // namespace

TEST_F(Fill, RowsHeaderTagsAndTrailingBlankRow)
{
    const DocumentFill::Outcome out = DocumentFill::fill(grid, t.db, "分班数据表", "分班数据表");
    EXPECT_TRUE(out.status.isOk());
    EXPECT_FALSE(out.noRecords);
    EXPECT_EQ(out.titleText, "分班数据表 [3]");
    ASSERT_EQ(grid.rows(), 5) << "header, three rows, one blank row";
    EXPECT_EQ(row(0), QStringList({"学号", "姓名", "成绩", "原学校", "新分班"}));
    EXPECT_EQ(row(1), QStringList({"101", "甲", "95", "一中", "1"}));
    EXPECT_EQ(row(2), QStringList({"102", "乙", "85.5", "", "2"}));
    EXPECT_EQ(row(3), QStringList({"103", "丙", "", "二中", "1"}));
    EXPECT_EQ(row(4), QStringList({"", "", "", "", ""}));
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(grid.cellTag(r, 0), QString("U%1").arg(r)) << "unchanged, with the rowid";
    EXPECT_EQ(grid.cellTag(4, 0), "");
    EXPECT_TRUE(grid.displayRowIndex());
    // Score columns are numeric; the student number keeps the plain column.
    EXPECT_EQ(grid.columnMask(3), GridMask::Numeric);
    EXPECT_NE(grid.columnMask(1), GridMask::Numeric);
}

// Ten pixels a character, so widths can be checked exactly.
double tenPerChar(const QFont &, const QString &text)
{
    return 10.0 * double(text.size());
}

TEST_F(Fill, ColumnsFitTheirWidestValueHeaderIncluded)
{
    const QString school = QString("城关第一小学").repeated(3) + "分校"; // 20 characters
    const QString examNumber = "210040020000000001";                     // 18 digits
    t.exec({"CREATE TABLE 考生表 (学校 text, 考号 text, 座位号 double, 备注 text, "
            "很长很长很长很长的列名 text)",
            QString("INSERT INTO 考生表 VALUES ('%1', '%2', 1, '%3', '')")
                .arg(school, examNumber, QString(40, QChar(u'注'))),
            "INSERT INTO 考生表 VALUES ('一中', '21004002', 30, NULL, NULL)"});
    DocumentFill::fill(grid, t.db, "考生表", "考生表", tenPerChar);
    ASSERT_EQ(grid.cols(), 6);
    EXPECT_GE(grid.columnWidth(1), 200) << "the whole school name";
    EXPECT_LT(grid.columnWidth(1), 240) << "and not much more";
    EXPECT_GE(grid.columnWidth(2), 180) << "all 18 digits";
    EXPECT_GE(grid.columnWidth(3), DocumentFill::minColumnWidth) << "room to type a score";
    EXPECT_EQ(grid.columnWidth(4), DocumentFill::maxColumnWidth) << "a long remark is capped";
    EXPECT_GE(grid.columnWidth(5), 100) << "a header wider than its values";

    // The row numbers keep their width or widen, never narrow.
    Grid many;
    many.setCols(1);
    many.setColumnWidth(0, 30);
    for (int i = 0; i < 3; ++i)
        t.exec({"INSERT INTO 考生表 SELECT * FROM 考生表"});
    DocumentFill::fill(many, t.db, "考生表", "考生表", tenPerChar);
    EXPECT_GE(many.columnWidth(0), 30);
}

TEST_F(Fill, EmptySourcesViewsAndMissingSources)
{
    t.exec({"DELETE FROM 分班数据表"});
    DocumentFill::Outcome out = DocumentFill::fill(grid, t.db, "分班数据表", "空表");
    EXPECT_TRUE(out.noRecords);
    EXPECT_EQ(out.titleText, "空表 [没有记录]");
    EXPECT_EQ(grid.rows(), 2);
    EXPECT_EQ(row(0).size(), 5);

    t.exec({"INSERT INTO 分班数据表 VALUES (1, '甲', 95, '一中', 3)"});
    ASSERT_TRUE(SavedQueries::replace(
                    t.db, "NewQry5",
                    "select 姓名,新分班,成绩 from 分班数据表 where 新分班=3 ORDER BY 成绩 desc")
                    .isOk());
    Grid view;
    out = DocumentFill::fill(view, t.db, "NewQry5", "3班");
    EXPECT_EQ(out.titleText, "3班 [1]");
    EXPECT_EQ(view.columnMask(3), GridMask::Numeric) << "a double column read through a view";

    // A missing source ends the fill without a crash; the grid keeps what it had.
    Grid missing;
    out = DocumentFill::fill(missing, t.db, "没有的表", "x");
    EXPECT_FALSE(out.status.isOk());
    EXPECT_EQ(missing.rows(), 1);
}

TEST(SelectionSum, SumsUpToTheSpanLimit)
{
    Grid grid;
    grid.setRows(200);
    grid.setCols(100);
    grid.setCellText(1, 1, "12.5");
    grid.setCellText(2, 1, "abc");
    grid.setCellText(3, 1, "7分");
    grid.setCellText(1, 2, "-2");
    EXPECT_EQ(SelectionSum::text(grid, {1, 1, 3, 2}), QStringLiteral("和  17.5"));
    // 101 × 61 cells: (100 × 60) = 6000 is still summed; one more row or column is not.
    EXPECT_TRUE(SelectionSum::text(grid, {1, 1, 101, 61}).has_value());
    EXPECT_FALSE(SelectionSum::text(grid, {1, 1, 102, 61}).has_value());
    EXPECT_FALSE(SelectionSum::text(grid, {1, 1, 101, 62}).has_value());
}
