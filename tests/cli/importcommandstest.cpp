#include "cli/cli.h"
#include "jobs/import/spreadsheetimport.h"
#include "support/clirun.h"
#include "support/importtestutil.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

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
    r = run({"--data-dir", d, "sql", "select count(*) from 分班数据表"});
    EXPECT_EQ(r.out, QStringLiteral("count(*)\n600\n"));
}

TEST(ImportCommandsTest, MissingSheetAndMissingColumns)
{
    QTemporaryDir dir;
    Outcome r =
        run({"--data-dir", dir.path(), "import", "arrangement", fixture("sheet1only.xlsx")});
    EXPECT_EQ(r.status, 1);
    // The advice's carriage return becomes a line break on a terminal.
    EXPECT_EQ(r.err, SpreadsheetImport::adviceMessage().replace(u'\r', u'\n') + QLatin1Char('\n'));

    r = run({"--data-dir", dir.path(), "import", "division", fixture("same.xls")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("分班数据表：原班级、新分班")))
        << r.err.toStdString();
}

TEST(ImportCommandsTest, Usage)
{
    for (const QStringList &args : {QStringList{"import"}, QStringList{"import", "division"},
                                    QStringList{"import", "rooms", "a.xlsx"}, QStringList{"demo"}})
        EXPECT_EQ(run(args).status, 2) << args.join(u' ').toStdString();
}

TEST(ImportCommandsTest, DemoWritesEveryWorkbook)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("新目录/演示"));
    const Outcome r = run({"demo", target});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(QDir(target).filePath(DemoData::divisionFileName())));
    EXPECT_TRUE(QFile::exists(QDir(target).filePath(DemoData::arrangementFileName())));
    EXPECT_TRUE(QFile::exists(QDir(target).filePath(DemoData::scoresFileName())));
    EXPECT_EQ(r.out.count(u'\n'), 3);
}

// The small workbooks are the manual's templates, byte for byte (remade by
// `fenpai demo --small resources/help/templates`); they import as they are and arrange into their
// rooms.
TEST(ImportCommandsTest, SmallDemoIsTheManualsTemplates)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("模板"));
    ASSERT_EQ(run({"demo", "--small", target}).status, 0);
    for (const QString &name : {DemoData::divisionFileName(), DemoData::arrangementFileName(),
                                DemoData::scoresFileName()}) {
        QFile made(QDir(target).filePath(name));
        QFile kept(QStringLiteral(FENPAI_SOURCE_DIR "/resources/help/templates/") + name);
        ASSERT_TRUE(made.open(QIODevice::ReadOnly) && kept.open(QIODevice::ReadOnly));
        EXPECT_TRUE(made.readAll() == kept.readAll()) << name.toStdString();
    }
    const QString data = dir.filePath(QStringLiteral("data"));
    Outcome r = run({"--data-dir", data, "import", "division",
                     QDir(target).filePath(DemoData::divisionFileName())});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("分班数据表：40 行"))) << r.out.toStdString();
    r = run({"--data-dir", data, "import", "arrangement",
             QDir(target).filePath(DemoData::arrangementFileName())});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("考生表：60 行"))) << r.out.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_EQ(run({"--data-dir", data, "arrange", "--mode", "3"}).status, 0);
    EXPECT_EQ(run({"--data-dir", data, "divide", "--classes", "2"}).status, 0);
    EXPECT_EQ(run({"demo", "--big", target}).status, 2);
}

// The demo scores go into 成绩表 and 教师表; the score report summarises them per school.
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
    const QStringList lines = QString::fromUtf8(readFile(csv)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << "two header rows, the totals and two schools";
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("合 计,24,1200,"))) << lines[2].toStdString();

    r = run({"--data-dir", dir.filePath(QStringLiteral("empty")), "report", "nothing", "-o", csv});
    EXPECT_EQ(r.status, 2);
}

} // namespace
} // namespace fenpai::test
