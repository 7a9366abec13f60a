#include "jobs/documents/documentwriteback.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

class WriteBack : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // As an import creates it: exam numbers in a NUMERIC column keep all their digits.
        ASSERT_TRUE(
            t.db.execNative("CREATE TABLE 考生表 (学校 TEXT NOT NULL, 姓名 TEXT, 成绩 REAL, "
                            "考号 NUMERIC)")
                .isOk());
        t.exec({"INSERT INTO 考生表 VALUES ('一中', '甲', 95, 202600000000000001)",
                "INSERT INTO 考生表 VALUES ('一中', '乙', 85.5, NULL)",
                "INSERT INTO 考生表 VALUES ('二中', '丙', NULL, NULL)"});
        fill(grid, source);
        // As a document window follows its grid.
        QObject::connect(&grid, &Grid::changed, [this](const GridArea &a) {
            DocumentWriteBack::noteChange(grid, source, a);
        });
    }

    void fill(Grid &g, DocumentSource &s)
    {
        const DocumentFill::Outcome out = DocumentFill::fill(g, t.db, "考生表", "考生表");
        ASSERT_TRUE(out.status.isOk());
        s = out.source;
    }

    QStringList table() { return t.rows("SELECT * FROM 考生表 ORDER BY rowid"); }

    TempData t;
    Grid grid;
    DocumentSource source;
};

} // namespace

TEST_F(WriteBack, EditedNewAndDeletedRowsReachTheTable)
{
    ASSERT_EQ(source.table, "考生表");
    EXPECT_EQ(grid.cellTag(1, 0), "U1");
    // Formats and an edit undone leave the rows unchanged.
    grid.setColumnAlignment(2, GridAlign::RightMiddle);
    grid.setCellText(2, 2, "乙乙");
    EXPECT_EQ(grid.cellTag(2, 0), "E2");
    grid.setCellText(2, 2, "乙");
    EXPECT_FALSE(DocumentWriteBack::hasChanges(grid, source));

    grid.setCellText(1, 2, "甲甲"); // edit
    grid.setCellText(4, 1, "三中"); // the blank row at the end becomes a new row
    grid.setCellText(4, 3, "77.5"); // numbers typed stay numbers
    grid.setCellText(4, 4, "202600000000000009");
    EXPECT_EQ(grid.cellTag(1, 0), "E1");
    EXPECT_EQ(grid.cellTag(4, 0), "N");
    ASSERT_EQ(grid.rows(), 6) << "a new blank row follows";
    grid.pasteFragment(grid.fragment({1, 0, 1, 4}), 5, 0); // a copy of row 1 is a new row too
    grid.deleteRows(2);                                    // 乙 goes
    EXPECT_TRUE(DocumentWriteBack::hasChanges(grid, source));

    const Status s = DocumentWriteBack::save(t.db, grid, source);
    ASSERT_TRUE(s.isOk()) << s.message().toStdString();
    EXPECT_EQ(table(), QStringList({"一中\t甲甲\t95\t202600000000000001", "二中\t丙\t\t",
                                    "三中\t\t77.5\t202600000000000009",
                                    "一中\t甲甲\t95\t202600000000000001"}));
    EXPECT_EQ(t.rows("SELECT typeof(成绩), typeof(考号) FROM 考生表 WHERE 学校 = '三中'"),
              QStringList({"real\tinteger"}));
    for (int r = 1; r < grid.rows() - 1; ++r)
        EXPECT_EQ(DocumentWriteBack::state(grid, r), DocumentWriteBack::kUnchanged) << r;
    EXPECT_FALSE(DocumentWriteBack::hasChanges(grid, source));

    // A second save of the same rows changes nothing; a reopen shows what was saved.
    ASSERT_TRUE(DocumentWriteBack::save(t.db, grid, source).isOk());
    Grid again;
    DocumentSource s2;
    fill(again, s2);
    EXPECT_EQ(s2.rows, source.rows);
    for (int r = 0; r < grid.rows(); ++r)
        for (int c = 1; c < again.cols(); ++c)
            EXPECT_EQ(again.cellText(r, c), grid.cellText(r, c)) << r << "," << c;
}

TEST_F(WriteBack, RefusalsAndFailuresWriteNothing)
{
    const QStringList before = table();
    grid.setCellText(1, 2, "改");
    grid.setCellText(2, 3, "八十");
    Status s = DocumentWriteBack::save(t.db, grid, source);
    EXPECT_EQ(s.kind(), Status::Kind::Refused);
    EXPECT_EQ(s.message(), "第2行“成绩”应为数字，现在是“八十”。没有保存任何数据。");
    EXPECT_EQ(table(), before);

    // A row that breaks a constraint half-way: the deletion and the edit before it roll back.
    grid.setCellText(2, 3, "80");
    grid.deleteRows(3);
    grid.setCellText(2, 1, "");
    s = DocumentWriteBack::save(t.db, grid, source);
    EXPECT_FALSE(s.isOk());
    EXPECT_TRUE(s.message().startsWith("第2行：")) << s.message().toStdString();
    EXPECT_EQ(table(), before);
    EXPECT_EQ(grid.cellTag(1, 0), "E1") << "marks stay until the table holds the rows";
}

TEST_F(WriteBack, OnlyChangedValuesAreWrittenAndNeverOverOthersChanges)
{
    // The division rewrites a column while the document is open: editing another value of the
    // row keeps the division's.
    t.exec({"UPDATE 考生表 SET 成绩 = 99 WHERE 姓名 = '甲'"});
    grid.setCellText(1, 2, "甲甲");
    Status s = DocumentWriteBack::save(t.db, grid, source);
    ASSERT_TRUE(s.isOk()) << s.message().toStdString();
    EXPECT_EQ(table().value(0), "一中\t甲甲\t99\t202600000000000001");

    // The same value changed on both sides, or a deleted row someone rewrote (a new import):
    // refused, nothing written.
    const QString conflict = "在文档打开后已在数据表中被改动或删除，没有保存任何数据。";
    t.exec({"UPDATE 考生表 SET 成绩 = 70 WHERE 姓名 = '乙'"});
    grid.setCellText(2, 3, "60");
    grid.setCellText(1, 2, "甲");
    s = DocumentWriteBack::save(t.db, grid, source);
    EXPECT_TRUE(s.message().startsWith("第2行" + conflict)) << s.message().toStdString();
    grid.setCellText(2, 3, "70");
    t.exec({"UPDATE 考生表 SET 姓名 = '丁' WHERE 姓名 = '丙'"});
    grid.deleteRows(3);
    const QStringList before = table();
    s = DocumentWriteBack::save(t.db, grid, source);
    EXPECT_TRUE(s.message().startsWith("删除的一行（二中 丙  ）" + conflict))
        << s.message().toStdString();
    EXPECT_EQ(table(), before);
}

TEST_F(WriteBack, DocumentsNotFromATableCannotBeSaved)
{
    t.exec({"CREATE VIEW NewQry5 AS SELECT 学校, count(*) AS 人数 FROM 考生表 GROUP BY 学校"});
    Grid stats;
    const DocumentFill::Outcome out = DocumentFill::fill(stats, t.db, "NewQry5", "统计");
    ASSERT_TRUE(out.status.isOk());
    EXPECT_FALSE(out.source.isTable());
    EXPECT_EQ(stats.cellTag(1, 0), "U");
    DocumentSource none = out.source;
    const Status s = DocumentWriteBack::save(t.db, stats, none);
    EXPECT_EQ(s.kind(), Status::Kind::Refused);
    EXPECT_EQ(s.message(), DocumentWriteBack::notSavableText());
}
