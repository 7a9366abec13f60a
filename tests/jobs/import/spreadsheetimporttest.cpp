#include "support/importtestutil.h"
#include "support/tempdata.h"

#include "core/tablenames.h"
#include "db/query.h"
#include "jobs/import/spreadsheetimport.h"

#include <QTemporaryDir>

namespace fenpai::test {
namespace {

using Import = SpreadsheetImport;

class SpreadsheetImportTest : public ::testing::Test
{
protected:
    QStringList tableRows(const QString &table)
    {
        return data.rows(QStringLiteral("SELECT * FROM ") + table +
                         QStringLiteral(" ORDER BY rowid"));
    }
    // The tables and their contents, to compare before and after a failed import.
    QStringList snapshot()
    {
        QStringList all;
        for (const QString &t :
             {TableNames::divisionData, TableNames::examinees, TableNames::rooms}) {
            all.append(t + QLatin1Char(':') + data.db.columns(t).join(u','));
            if (data.db.hasTable(t))
                all.append(tableRows(t));
        }
        return all;
    }

    TempData data;
};

TEST_F(SpreadsheetImportTest, DivisionDataFromSheet1)
{
    const Result<ImportReport> report = Import::importDivision(data.db, fixture("same.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    ASSERT_EQ(report->tables.size(), 1u);
    const ImportedTable &t = report->tables[0];
    EXPECT_EQ(t.rowCount, 4);
    EXPECT_EQ(t.missingColumns, (QStringList{QStringLiteral("原班级"), QStringLiteral("新分班")}));
    EXPECT_EQ(
        report->missingColumnsNotice(),
        QStringLiteral(
            "导入的数据缺少以下字段，分班、编排等功能需要它们：\n分班数据表：原班级、新分班"));

    EXPECT_EQ(data.db.columns(TableNames::divisionData), t.columns);
    EXPECT_EQ(tableRows(TableNames::divisionData).first(),
              QStringLiteral("1001\t张伟\t男\t523.5\t城关一小\t班长\t2012-03-04\t甲\t张伟伟\t1\t"));
    // Number columns are doubles to whoever reads them; text columns texts.
    Result<Query> q = data.db.query(QStringLiteral("分班数据表"));
    ASSERT_TRUE(q.isOk());
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("成绩"))));
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("空列"))));
    EXPECT_FALSE(q->isDouble(q->fieldIndex(QStringLiteral("备注"))));
    EXPECT_EQ(q->fieldType(q->fieldIndex(QStringLiteral("姓名"))), Query::FieldType::Text);
}

TEST_F(SpreadsheetImportTest, ArrangementDataFromBothSheets)
{
    const Result<ImportReport> report = Import::importArrangement(data.db, fixture("same.ods"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    ASSERT_EQ(report->tables.size(), 2u);
    EXPECT_TRUE(report->tables[1].missingColumns.isEmpty());
    EXPECT_EQ(tableRows(TableNames::rooms), (QStringList{QStringLiteral("1\t30\t教学楼101"),
                                                         QStringLiteral("2\t30\t教学楼102")}));
    EXPECT_EQ(report->tables[0].missingColumns,
              (QStringList{QStringLiteral("学校"), QStringLiteral("班级"), QStringLiteral("考场"),
                           QStringLiteral("考号"), QStringLiteral("座位号")}));
}

TEST_F(SpreadsheetImportTest, TheRoomCapacityIsTheSecondColumn)
{
    Import::Target rooms{QStringLiteral("Sheet1"), QStringLiteral("rooms"), Import::roomColumns(),
                         true};
    // second.xlsx's Sheet1 is 姓名, 成绩, 班级: a second column, but no room number or place.
    Result<ImportReport> report = Import::importSheets(data.db, fixture("second.xlsx"), {rooms});
    ASSERT_TRUE(report.isOk());
    EXPECT_EQ(report->tables[0].missingColumns,
              (QStringList{QStringLiteral("考场号"), QStringLiteral("考场地点")}));
    rooms.sheet = QStringLiteral("Sheet2"); // 考场号, 容量, 考场地点
    report = Import::importSheets(data.db, fixture("second.xlsx"), {rooms});
    ASSERT_TRUE(report.isOk());
    EXPECT_TRUE(report->tables[0].missingColumns.isEmpty());
}

TEST_F(SpreadsheetImportTest, ImportingTwiceKeepsOnlyTheSecondWorkbook)
{
    ASSERT_TRUE(Import::importArrangement(data.db, fixture("same.xls")).isOk());
    const Result<ImportReport> report = Import::importArrangement(data.db, fixture("second.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(
        data.db.columns(TableNames::examinees),
        (QStringList{QStringLiteral("姓名"), QStringLiteral("成绩"), QStringLiteral("班级")}));
    EXPECT_EQ(tableRows(TableNames::examinees),
              (QStringList{QStringLiteral("周杰\t70\t一班"), QStringLiteral("吴敏\t80\t二班")}));
    EXPECT_EQ(tableRows(TableNames::rooms), QStringList{QStringLiteral("9\t25\t实验楼201")});
}

TEST_F(SpreadsheetImportTest, SheetNamesIgnoreCase)
{
    const Result<ImportReport> report = Import::importDivision(data.db, fixture("sheet1only.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(report->tables[0].sheet, QStringLiteral("sheet1"));
    EXPECT_EQ(report->tables[0].rowCount, 4);
}

// Whatever goes wrong, the tables of the last good import stay exactly as they were.
TEST_F(SpreadsheetImportTest, AFailedImportChangesNothing)
{
    ASSERT_TRUE(Import::importArrangement(data.db, fixture("same.xlsx")).isOk());
    ASSERT_TRUE(Import::importDivision(data.db, fixture("same-sst.xlsx")).isOk());
    const QStringList before = snapshot();

    QTemporaryDir dir;
    const QString half = dir.filePath(QStringLiteral("half.xlsx"));
    const QByteArray bytes = readFile(fixture("same.xlsx"));
    writeFile(half, bytes.left(bytes.size() * 2 / 3));
    const QString text = dir.filePath(QStringLiteral("名单.xlsx"));
    writeFile(text, "姓名\t成绩\n");

    const struct
    {
        const char *what;
        bool division;
        QString path;
        QString message;
    } cases[] = {
        {"division without Sheet1", true, fixture("nosheet1.xlsx"), Import::adviceMessage()},
        {"arrangement without Sheet1", false, fixture("nosheet1.xlsx"), Import::adviceMessage()},
        {"arrangement without Sheet2", false, fixture("sheet1only.xlsx"), Import::adviceMessage()},
        {"truncated", true, half,
         QStringLiteral("无法读取文件“half.xlsx”：") + WorkbookReader::reasonDamaged()},
        {"text named .xlsx", false, text,
         QStringLiteral("无法读取文件“名单.xlsx”：") + WorkbookReader::reasonNotWorkbook()},
        {"missing file", true, dir.filePath(QStringLiteral("无.xls")),
         QStringLiteral("无法读取文件“无.xls”：") + WorkbookReader::reasonMissing()},
        {"empty Sheet1", true, fixture("emptysheet.xlsx"),
         QStringLiteral("无法导入“emptysheet.xlsx”：工作表“Sheet1”是空的，没有可导入的数据。")},
    };
    for (const auto &c : cases) {
        const Result<ImportReport> report = c.division ? Import::importDivision(data.db, c.path)
                                                       : Import::importArrangement(data.db, c.path);
        ASSERT_FALSE(report.isOk()) << c.what;
        EXPECT_EQ(report.status().message(), c.message) << c.what;
        EXPECT_EQ(snapshot(), before) << c.what;
    }
}

TEST_F(SpreadsheetImportTest, AFailureWhileWritingRollsBack)
{
    ASSERT_TRUE(Import::importArrangement(data.db, fixture("same.xlsx")).isOk());
    const QStringList before = snapshot();
    // The second table cannot be created (a view holds the name), after the first was replaced.
    data.exec({QStringLiteral("CREATE VIEW blocker AS SELECT 1")});
    const Result<ImportReport> report =
        Import::importSheets(data.db, fixture("second.xlsx"),
                             {{QStringLiteral("Sheet1"), TableNames::examinees, {}},
                              {QStringLiteral("Sheet2"), QStringLiteral("blocker"), {}}});
    ASSERT_FALSE(report.isOk());
    EXPECT_TRUE(report.status().message().startsWith(QStringLiteral("导入“second.xlsx”失败：")))
        << report.status().message().toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(data.db.inTransaction());
}

} // namespace
} // namespace fenpai::test
