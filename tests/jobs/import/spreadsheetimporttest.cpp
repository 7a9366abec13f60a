#include "support/importtestutil.h"
#include "support/tempdata.h"
#include "support/workbookwriter.h"

#include "core/tablenames.h"
#include "db/query.h"
#include "jobs/division/classdivision.h"
#include "jobs/import/spreadsheetimport.h"
#include "workbook/textencoding.h"

#include <QStringEncoder>
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
    QString path(const QString &name) const { return files.filePath(name); }
    QString writeText(const QString &name, const QString &text, const char *encoding = "UTF-8")
    {
        QStringEncoder encoder(encoding);
        writeFile(path(name), encoder.encode(text));
        return path(name);
    }
    Result<ImportReport> run(ImportKind kind, const QStringList &paths,
                             const QStringList &sheets = {},
                             const QHash<QString, QString> &columns = {})
    {
        return Import::import(data.db, {kind, paths, sheets, columns});
    }

    TempData data;
    QTemporaryDir files;
};

TEST_F(SpreadsheetImportTest, DivisionDataFromSheet1)
{
    const Result<ImportReport> report = Import::importDivision(data.db, fixture("same.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    ASSERT_EQ(report->tables.size(), 1u);
    const ImportedTable &t = report->tables[0];
    EXPECT_EQ(t.rowCount, 4);
    EXPECT_FALSE(report->lacksColumns());
    // The two columns the division fills itself are added empty, and said so.
    EXPECT_EQ(report->mappingNotice(), QStringLiteral("分班数据表：原班级：空列，新分班：空列"));
    EXPECT_EQ(data.db.columns(TableNames::divisionData), t.columns);
    EXPECT_EQ(t.columns.mid(9), (QStringList{"在校", "空列", "原班级", "新分班"}));
    EXPECT_EQ(
        tableRows(TableNames::divisionData).first(),
        QStringLiteral("1001\t张伟\t男\t523.5\t城关一小\t班长\t2012-03-04\t甲\t张伟伟\t1\t\t\t"));
    // Number columns are doubles to whoever reads them; text columns texts.
    Result<Query> q = data.db.query(QStringLiteral("分班数据表"));
    ASSERT_TRUE(q.isOk());
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("成绩"))));
    EXPECT_TRUE(q->isDouble(q->fieldIndex(QStringLiteral("空列"))));
    EXPECT_FALSE(q->isDouble(q->fieldIndex(QStringLiteral("备注"))));
    EXPECT_EQ(q->fieldType(q->fieldIndex(QStringLiteral("姓名"))), Query::FieldType::Text);
}

// A school's own workbook: one sheet of its own name, its own headers. It imports with our field
// names, and the division runs on it.
TEST_F(SpreadsheetImportTest, ASchoolsOwnWorkbookImportsAndDivides)
{
    writeWorkbook(path("新生.xlsx"), {{QStringLiteral("初一新生"), schoolIntake(8)}});
    const Result<ImportReport> report = Import::importDivision(data.db, path("新生.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(data.db.columns(TableNames::divisionData),
              (QStringList{"姓名", "性别", "成绩", "原学校", "原班级", "新分班"}));
    EXPECT_EQ(report->mappingNotice(),
              QStringLiteral("分班数据表：工作簿中没有“Sheet1”，导入了它唯一的工作表“初一新生”；"
                             "姓名 ← 考生姓名，性别 ← 性 别，成绩 ← 中考成绩，原学校 ← "
                             "毕业学校，原班级：空列，新分班：空列"));
    const QStringList xlsxRows = tableRows(TableNames::divisionData);

    DivisionSettings settings;
    settings.classes = 2;
    const Result<DivisionSummary> divided = ClassDivision::run(data.db, settings);
    ASSERT_TRUE(divided.isOk()) << divided.status().message().toStdString();

    // The same data as a GBK text file reads the same.
    const QString csv = writeText(QStringLiteral("初一新生.csv"), csvText(schoolIntake(8)), "GBK");
    ASSERT_TRUE(Import::importDivision(data.db, csv).isOk());
    EXPECT_EQ(tableRows(TableNames::divisionData), xlsxRows);
}

// A control character from a cell never reaches the table; the import says how many it took out.
TEST_F(SpreadsheetImportTest, ControlCharactersAreCounted)
{
    Rows rows = schoolIntake(2);
    rows[1][0] = QStringLiteral("学生") + QChar(7) + QStringLiteral("一");
    rows[2][3] = QStringLiteral("实验") + QChar(0x1F) + QChar(0x1F) + QStringLiteral("小学");
    writeWorkbook(path("新生.xlsx"), {{QStringLiteral("Sheet1"), rows}});
    const Result<ImportReport> report = Import::importDivision(data.db, path("新生.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(data.rows(QStringLiteral("SELECT 姓名, 原学校 FROM 分班数据表 ORDER BY rowid")),
              (QStringList{"学生一\t城关一中", "学生2\t实验小学"}));
    EXPECT_EQ(report->controlsNotice(),
              QStringLiteral("单元格中有 3 个控制字符（如 NUL），不是文字，导入时已删除。"));
    EXPECT_TRUE(Import::importDivision(data.db, fixture("same.xlsx"))->controlsNotice().isEmpty());
}

// A sheet at the column limit has no room for the fields the program adds: refused in words,
// not by the database; a refusal lists a long header row in short.
TEST_F(SpreadsheetImportTest, NoRoomForTheAddedFieldsIsRefused)
{
    QVariantList header = {"姓名", "性别", "成绩", "原学校"};
    QVariantList values = {"甲", "男", 90, "一中"};
    while (header.size() < 1999) {
        header.append(QStringLiteral("备注%1").arg(header.size()));
        values.append(QVariant());
    }
    writeWorkbook(path("宽.xlsx"), {{QStringLiteral("Sheet1"), Rows{header, values}}});
    const QStringList before = snapshot();
    Result<ImportReport> report = Import::importDivision(data.db, path("宽.xlsx"));
    EXPECT_EQ(report.status().message(),
              QStringLiteral("工作表“Sheet1”的列太多：加上分班数据表需要的字段共 2001 列，最多 "
                             "2000 列。"));
    EXPECT_EQ(snapshot(), before);

    header[0] = QStringLiteral("名单");
    writeWorkbook(path("宽.xlsx"), {{QStringLiteral("Sheet1"), Rows{header, values}}});
    report = Import::importDivision(data.db, path("宽.xlsx"));
    EXPECT_TRUE(report.status().message().endsWith(QStringLiteral("备注29……共 1999 列。")))
        << report.status().message().right(40).toStdString();
}

TEST_F(SpreadsheetImportTest, SheetChoice)
{
    writeWorkbook(path("年级.xlsx"), {{QStringLiteral("初一"), schoolIntake(3)},
                                      {QStringLiteral("初二"), schoolIntake(5)}});
    Result<ImportReport> report = run(ImportKind::Division, {path("年级.xlsx")});
    ASSERT_FALSE(report.isOk());
    EXPECT_EQ(report.status().kind(), Status::Kind::InvalidObjectName);
    EXPECT_EQ(report.status().message(),
              QStringLiteral("“年级.xlsx”中没有工作表“Sheet1”，请指定分班数据表所在的工作表。"
                             "工作簿中的工作表：初一（3 行）、初二（5 行）。"));

    report = run(ImportKind::Division, {path("年级.xlsx")}, {QStringLiteral("初二")});
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(report->tables[0].rowCount, 5);
    EXPECT_TRUE(report->mappingNotice().startsWith(QStringLiteral("分班数据表：工作表“初二”；")));

    report = run(ImportKind::Division, {path("年级.xlsx")}, {QStringLiteral("初三")});
    ASSERT_FALSE(report.isOk());
    EXPECT_EQ(report.status().message(),
              QStringLiteral("“年级.xlsx”中没有工作表“初三”。工作簿中的工作表：初一、初二。"));

    // Sheet names compare without regard to case, as spreadsheet programs treat them.
    report = Import::importDivision(data.db, fixture("sheet1only.xlsx"));
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(report->tables[0].sheet, QStringLiteral("sheet1"));
}

// The arrangement from a workbook with a sheet of its own name beside Sheet2, whose examinees
// lack 学校 and 班级: refused naming them, imported once the user says which columns.
TEST_F(SpreadsheetImportTest, ArrangementWithChosenSheetAndColumns)
{
    const QString book = fixture("nosheet1.xlsx");
    Result<ImportReport> report = run(ImportKind::Arrangement, {book});
    ASSERT_FALSE(report.isOk());
    EXPECT_TRUE(report.status().message().contains(QStringLiteral("学生名单（4 行）")))
        << report.status().message().toStdString();

    report = run(ImportKind::Arrangement, {book}, {QStringLiteral("学生名单")});
    ASSERT_FALSE(report.isOk());
    EXPECT_EQ(report.status().kind(), Status::Kind::MissingColumn);
    EXPECT_TRUE(report.status().message().startsWith(QStringLiteral(
        "工作表“学生名单”中找不到考生表需要的字段：学校、班级。工作表的列有：学号、")))
        << report.status().message().toStdString();

    report = run(
        ImportKind::Arrangement, {book}, {QStringLiteral("学生名单")},
        {{QStringLiteral("学校"), QStringLiteral("原学校")}, {QStringLiteral("班级"), QString()}});
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(report->tables[1].sheet, QStringLiteral("Sheet2"));
    EXPECT_EQ(report->missingColumnsNotice(),
              QStringLiteral("导入的数据缺少以下字段，分班、编排等功能需要它们：\n考生表：班级"));
    EXPECT_EQ(
        data.rows(QStringLiteral("SELECT 学校, 班级, 考号 FROM 考生表 ORDER BY rowid")).first(),
        QStringLiteral("城关一小\t\t"));
    EXPECT_EQ(tableRows(TableNames::rooms), (QStringList{QStringLiteral("1\t30\t教学楼101"),
                                                         QStringLiteral("2\t30\t教学楼102")}));
}

TEST_F(SpreadsheetImportTest, WrongRequestsAreRefused)
{
    const QString book = fixture("same.xlsx");
    const struct
    {
        const char *what;
        QStringList files;
        QHash<QString, QString> columns;
        QString message;
    } cases[] = {
        {"a column the sheet lacks",
         {book},
         {{"学校", "单位"}, {"班级", ""}},
         "工作表“Sheet1”中没有列“单位”（指定给字段“学校”）。工作表的列有：学号、姓名、性别、"
         "成绩、原学校、备注、生日、F8、姓名1、在校、空列。"},
        {"the capacity left empty",
         {book},
         {{"人数", ""}},
         "字段“人数”不能是空列：编排按它给每个考场排人。"},
    };
    for (const auto &c : cases) {
        const Result<ImportReport> report = run(ImportKind::Arrangement, c.files, {}, c.columns);
        ASSERT_FALSE(report.isOk()) << c.what;
        EXPECT_EQ(report.status().message(), c.message) << c.what;
    }
}

// Examinees and rooms from two text files; exam numbers with leading zeros stay as they are.
TEST_F(SpreadsheetImportTest, ArrangementFromTwoTextFiles)
{
    const QString examinees = writeText(QStringLiteral("考生.csv"),
                                        QStringLiteral("学校;班级;学生姓名;性别;总分;准考证号\n"
                                                       "一中;1班;张伟;男;80;0101\n"
                                                       "一中;2班;李娜;女;90.5;0102\n"),
                                        "GBK");
    const QString rooms = writeText(QStringLiteral("考场.txt"),
                                    QStringLiteral("\uFEFF考场\t地点\t容量\n1\t教学楼101\t30\n"));
    Result<ImportReport> report = run(ImportKind::Arrangement, {examinees});
    ASSERT_FALSE(report.isOk());
    EXPECT_EQ(report.status().message(),
              QStringLiteral("“考生.csv”只有一个工作表，已导入考生表；考场表需要工作簿中的第二个"
                             "工作表“Sheet2”，或另一个文件。"));

    report = run(ImportKind::Arrangement, {examinees, rooms});
    ASSERT_TRUE(report.isOk()) << report.status().message().toStdString();
    EXPECT_EQ(data.db.columns(TableNames::examinees),
              (QStringList{"学校", "班级", "姓名", "性别", "成绩", "考号", "考场", "座位号"}));
    EXPECT_EQ(data.rows(QStringLiteral("SELECT 考号, typeof(考号), 成绩 FROM 考生表")),
              (QStringList{"0101\ttext\t80", "0102\ttext\t90.5"}));
    EXPECT_EQ(tableRows(TableNames::rooms), QStringList{"1\t30\t教学楼101"});
    EXPECT_EQ(report->mappingNotice(),
              QStringLiteral("考生表：姓名 ← 学生姓名，成绩 ← 总分，考场：空列，考号 ← 准考证号，"
                             "座位号：空列\n考场表：考场号 ← 考场，人数 ← 容量，考场地点 ← 地点"));
}

// Whatever goes wrong, the tables of the last good import stay exactly as they were.
TEST_F(SpreadsheetImportTest, AFailedImportChangesNothing)
{
    ASSERT_TRUE(run(ImportKind::Arrangement, {fixture("same.xlsx")}, {},
                    {{"学校", "原学校"}, {"班级", "备注"}})
                    .isOk());
    ASSERT_TRUE(Import::importDivision(data.db, fixture("same-sst.xlsx")).isOk());
    const QStringList before = snapshot();

    const QString half = path(QStringLiteral("half.xlsx"));
    const QByteArray bytes = readFile(fixture("same.xlsx"));
    writeFile(half, bytes.left(bytes.size() * 2 / 3));
    const QString text = path(QStringLiteral("名单.xlsx"));
    writeFile(text, "姓名\t成绩\n");
    const QString damaged = path(QStringLiteral("坏.csv"));
    writeFile(damaged, "姓名,性别,成绩,原学校\n张伟,男,80,一中\n\xFF\xFE\xFD,女,90,二中\n");
    const QString unmatched = writeText(QStringLiteral("名单.csv"), "名称,性别,成绩,原学校\n");

    const struct
    {
        const char *what;
        bool division;
        QString path;
        QString message;
    } cases[] = {
        {"several sheets, none Sheet1", true, fixture("nosheet1.xlsx"), {}},
        {"arrangement without Sheet2", false, fixture("sheet1only.xlsx"), {}},
        {"truncated", true, half,
         QStringLiteral("无法读取文件“half.xlsx”：") + WorkbookReader::reasonDamaged()},
        {"text named .xlsx", false, text,
         QStringLiteral("无法读取文件“名单.xlsx”：") + WorkbookReader::reasonNotWorkbook()},
        {"missing file", true, path(QStringLiteral("无.xls")),
         QStringLiteral("无法读取文件“无.xls”：") + WorkbookReader::reasonMissing()},
        {"empty Sheet1", true, fixture("emptysheet.xlsx"),
         QStringLiteral("无法导入“emptysheet.xlsx”：工作表“Sheet1”是空的，没有可导入的数据。")},
        {"damaged text", true, damaged,
         QStringLiteral("无法读取文件“坏.csv”：") + TextEncoding::reasonUndecodable()},
        {"a field not found", true, unmatched,
         QStringLiteral("工作表“名单”中找不到分班数据表需要的字段：姓名。工作表的列有：名称、"
                        "性别、成绩、原学校。")},
    };
    for (const auto &c : cases) {
        const Result<ImportReport> report = c.division ? Import::importDivision(data.db, c.path)
                                                       : Import::importArrangement(data.db, c.path);
        ASSERT_FALSE(report.isOk()) << c.what;
        if (!c.message.isEmpty()) {
            EXPECT_EQ(report.status().message(), c.message) << c.what;
        }
        EXPECT_EQ(snapshot(), before) << c.what;
    }
}

TEST_F(SpreadsheetImportTest, AFailureWhileWritingRollsBack)
{
    ASSERT_TRUE(Import::importDivision(data.db, fixture("same.xlsx")).isOk());
    // The room table's name is held by a view, which the import cannot replace, after the
    // examinee table was already written.
    data.exec({QStringLiteral("CREATE VIEW 考场表 AS SELECT 1 AS a")});
    const QStringList before = snapshot();
    const Result<ImportReport> report = run(ImportKind::Arrangement, {fixture("same.xlsx")}, {},
                                            {{"学校", "原学校"}, {"班级", "备注"}});
    ASSERT_FALSE(report.isOk());
    EXPECT_TRUE(report.status().message().startsWith(QStringLiteral("导入“same.xlsx”失败：")))
        << report.status().message().toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(data.db.hasTable(TableNames::examinees));
    EXPECT_FALSE(data.db.inTransaction());
}

} // namespace
} // namespace fenpai::test
