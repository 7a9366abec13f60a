#include "cli/cli.h"
#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/import/spreadsheetimport.h"
#include "support/clirun.h"
#include "support/importtestutil.h"
#include "support/workbookwriter.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fenpai::test {
namespace {

using Outcome = CliOutcome;

Outcome run(const QStringList &args)
{
    return runCli(args);
}

const QString bundledIntake =
    QStringLiteral(FENPAI_SOURCE_DIR "/resources/demo/") + DemoData::divisionFileName();

TEST(ImportCommandsTest, ImportsAndKeepsTheDataWhenAWorkbookIsBroken)
{
    QTemporaryDir dir;
    const QString d = dir.filePath(QStringLiteral("data"));
    Outcome r = run({"--data-dir", d, "import", "division", bundledIntake});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("分班数据表：600 行\n") + SpreadsheetImport::successMessage() +
                         QLatin1Char('\n'));
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString(); // nothing missing in the demo intake

    const QString broken = dir.filePath(QStringLiteral("坏.xlsx"));
    writeFile(broken, readFile(bundledIntake).left(10000));
    r = run({"--data-dir", d, "import", "division", broken});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("无法读取文件“坏.xlsx”：") + WorkbookReader::reasonDamaged() +
                         QLatin1Char('\n'));
}

// A script is not asked whether a division may go; it is told what the import replaced.
TEST(ImportCommandsTest, ReimportOverADivisionSaysWhatItReplaced)
{
    QTemporaryDir dir;
    const QString d = dir.filePath(QStringLiteral("data"));
    ASSERT_EQ(run({"--data-dir", d, "import", "division", bundledIntake}).status, 0);
    {
        Database db;
        ASSERT_TRUE(DataDirectory(d).openDatabase(db).isOk());
        ASSERT_TRUE(
            db.exec(QStringLiteral("update 分班数据表 set 新分班=4 where rowid<=7")).isOk());
    }
    const Outcome r = run({"--data-dir", d, "import", "division", bundledIntake});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("分班数据表：600 行\n已替换：分班数据表中 7 名学生的分班结果。\n") +
                  SpreadsheetImport::successMessage() + QLatin1Char('\n'));
}

TEST(ImportCommandsTest, MissingSheetAndMissingColumns)
{
    QTemporaryDir dir;
    Outcome r =
        run({"--data-dir", dir.path(), "import", "arrangement", fixture("sheet1only.xlsx")});
    EXPECT_EQ(r.status, 1);
    // The import's question, then what to type to answer it.
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("“sheet1only.xlsx”只有一个工作表，")));
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("\n请在第一个文件后再给出考场表的文件。\n")))
        << r.err.toStdString();

    // Fields the sheet has not: refused naming them, imported once --map says which columns.
    r = run({"--data-dir", dir.path(), "import", "arrangement", fixture("same.xls")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith(
        QStringLiteral("工作表“Sheet1”中找不到考生表需要的字段：学校、班级。工作表的列有：学号、")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("请用 --map 字段=列名 指明"))) << r.err.toStdString();
    r = run({"--data-dir", dir.path(), "import", "arrangement", fixture("same.xls"), "--map",
             "学校=原学校，班级=,座位号=备注"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("考生表：4 行\n考场表：2 行\n"
                                    "考生表：学校 ← 原学校，班级：空列，考场：空列，考号：空列，"
                                    "座位号 ← 备注\n") +
                         SpreadsheetImport::successMessage() + QLatin1Char('\n'));
    EXPECT_EQ(r.err, QStringLiteral("导入的数据缺少以下字段，分班、编排等功能需要它们：\n"
                                    "考生表：班级\n"));
}

// A workbook without Sheet1: its one sheet is taken; of several, --sheet names one.
TEST(ImportCommandsTest, SheetChoice)
{
    QTemporaryDir dir;
    const QString book = dir.filePath(QStringLiteral("年级.xlsx"));
    writeWorkbook(book, {{QStringLiteral("初一"), schoolIntake(3)},
                         {QStringLiteral("初二"), schoolIntake(5)}});
    Outcome r = run({"--data-dir", dir.path(), "import", "division", book});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("\n请用 --sheet 工作表名 指定。\n")))
        << r.err.toStdString();
    r = run({"--data-dir", dir.path(), "import", "division", "--sheet=初二", book});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("分班数据表：5 行\n分班数据表：工作表“初二”；")))
        << r.out.toStdString();

    // Two files for the arrangement; the second's table from its only sheet.
    const QString rooms = dir.filePath(QStringLiteral("考场.csv"));
    writeFile(rooms, "考场号,人数,考场地点\n1,30,101\n");
    const QString examinees = dir.filePath(QStringLiteral("考生.xlsx"));
    writeWorkbook(examinees,
                  {{QStringLiteral("名单"),
                    {{"学校", "班级", "姓名", "性别", "成绩"}, {"一中", "1班", "张伟", "男", 80}}},
                   {QStringLiteral("其他"), {{"x"}}}});
    r = run(
        {"--data-dir", dir.path(), "import", "arrangement", examinees, rooms, "--sheet", "名单"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("考生表：1 行\n考场表：1 行\n")))
        << r.out.toStdString();
}

TEST(ImportCommandsTest, Usage)
{
    for (const QStringList &args : {QStringList{"import", "rooms", "a.xlsx"}, QStringList{"demo"},
                                    QStringList{"import", "division", "a.csv", "--map", "姓名"},
                                    QStringList{"import", "scores", "a.csv", "b.csv", "c.csv"}})
        EXPECT_EQ(run(args).status, 2) << args.join(u' ').toStdString();
}

// The small workbooks are the manual's templates, byte for byte (remade by
// `fenpai demo --small resources/help/templates`); the target folder is made, parents and all.
// That they import whole and divide and arrange is ReadOnlyReportTest's setting up.
TEST(ImportCommandsTest, SmallDemoIsTheManualsTemplates)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("新目录/模板"));
    const Outcome made = run({"demo", "--small", target});
    ASSERT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_EQ(made.out.count(u'\n'), 3);
    for (const QString &name : {DemoData::divisionFileName(), DemoData::arrangementFileName(),
                                DemoData::scoresFileName()}) {
        QFile made(QDir(target).filePath(name));
        QFile kept(QStringLiteral(FENPAI_SOURCE_DIR "/resources/help/templates/") + name);
        ASSERT_TRUE(made.open(QIODevice::ReadOnly) && kept.open(QIODevice::ReadOnly));
        EXPECT_TRUE(made.readAll() == kept.readAll()) << name.toStdString();
    }
    EXPECT_EQ(run({"demo", "--big", target}).status, 2);
}

// The scores' two tables are counted as they come in; the score report reads them.
TEST(ImportCommandsTest, ScoresImportFeedsTheScoreReport)
{
    QTemporaryDir dir;
    const QString d = dir.filePath(QStringLiteral("data"));
    const QString scores =
        QStringLiteral(FENPAI_SOURCE_DIR "/resources/demo/") + DemoData::scoresFileName();
    Outcome r = run({"--data-dir", d, "import", "scores", scores});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("成绩表：1200 行\n教师表：24 行\n")))
        << r.out.toStdString();
    const QString csv = dir.filePath(QStringLiteral("基本情况表.csv"));
    r = run({"--data-dir", d, "report", "score-info", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_GT(QFileInfo(csv).size(), 0);
}

// fenpai status prints the year's state, and the import and division just run are its last runs.
TEST(ImportCommandsTest, StatusSaysWhatCameInAndWhatRanLast)
{
    QTemporaryDir dir;
    const QString d = dir.filePath(QStringLiteral("data"));
    Outcome r = run({"--data-dir", d, "status"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\n分班：未导入新生分班数据 → 未分班\n")))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("最近运行")));

    ASSERT_EQ(run({"--data-dir", d, "import", "division", bundledIntake}).status, 0);
    ASSERT_EQ(run({"--data-dir", d, "divide", "--classes", "12"}).status, 0);
    r = run({"--data-dir", d, "status"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(u'\n');
    ASSERT_GE(lines.size(), 7) << r.out.toStdString();
    EXPECT_EQ(lines[4], QStringLiteral("最近运行："));
    EXPECT_TRUE(lines[5].contains(QStringLiteral("  分班  "))) << r.out.toStdString();
    EXPECT_TRUE(lines[6].endsWith(QStringLiteral("  导入分班数据  分班数据.xlsx")))
        << r.out.toStdString();
}

} // namespace
} // namespace fenpai::test
