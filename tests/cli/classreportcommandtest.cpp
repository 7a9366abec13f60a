#include "cli/cli.h"
#include "support/clirun.h"
#include "support/divisiontestdata.h"
#include "support/pdfcheck.h"

#include <QFile>
#include <QStandardPaths>

using namespace fenpai;

namespace {

using Outcome = test::CliOutcome;

class ClassReportCommandTest : public ::testing::Test
{
protected:
    Outcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", d.dir.path()} + args);
    }
    QByteArray read(const QString &path)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
        return f.readAll();
    }

    test::DivisionData d;
};

} // namespace

TEST_F(ClassReportCommandTest, StatisticsAndClassListAsCsv)
{
    d.add({{"男", 90, "一中", "甲"}, {"女", 95, "二中", "乙"}}, 1);
    d.add({{"女", 70, "一中", "丙"}}, 2);
    const QString csv = d.dir.filePath("out.csv");
    Outcome r = run({"report", "new-class-stats", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "新分班基本情况表 → " + csv + "\n");
    QStringList lines = QString::fromUtf8(read(csv)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("新分班,学生数,男生,女生,最高分,最低分,平均分,90_100,"));
    EXPECT_TRUE(lines[0].endsWith(",一中,二中"));
    EXPECT_TRUE(lines[1].startsWith("合计,3,1,2,95,70,")) << lines[1].toStdString();

    r = run({"report", "source-school-stats", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(read(csv)).split(u'\n', Qt::SkipEmptyParts).size(), 4);

    r = run({"report", "new-class-list", "1", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1班 → " + csv + "\n");
    lines = QString::fromUtf8(read(csv)).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[1].startsWith("乙,1,女,95,二中"));

    EXPECT_NE(run({"report", "new-class-list", "-o", csv}).status, 0);
}

// A new class no pupil is in is refused by name, as a room that does not exist is; class 0, the
// pupils not yet placed, is always there.
TEST_F(ClassReportCommandTest, AClassNobodyIsInIsRefused)
{
    d.add({{"男", 90, "一中", "甲"}}, 1);
    const QString csv = d.dir.filePath("out.csv");
    Outcome r = run({"report", "new-class-list", "13", "-o", csv});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "新分班中没有第 13 班。\n");
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_EQ(run({"report", "new-class-list", "0", "-o", csv}).status, 0);
}

// The balance report: the table in CSV and HTML, the whole report with its charts in a PDF.
TEST_F(ClassReportCommandTest, BalanceReportTableAndPdf)
{
    d.add({{"男", 90, "一中"}, {"女", 95, "二中"}, {"男", 61, "二中"}}, 1);
    d.add({{"女", 70, "一中"}, {"男", 88, "一中"}}, 2);
    const QString csv = d.dir.filePath("balance.csv");
    Outcome r = run({"report", "balance", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "分班均衡报告 → " + csv + "\n");
    const QStringList lines = QString::fromUtf8(read(csv)).split(u'\n');
    ASSERT_GT(lines.size(), 8);
    EXPECT_EQ(lines[0], "新分班,人数,男生,女生,平均分,标准差,最高分,最低分,一中,二中");
    EXPECT_EQ(lines[1], "1,3,2,1,82.00,14.99,95,61,1,2");
    EXPECT_EQ(lines[2], "2,2,1,1,79.00,9.00,88,70,2,0");
    EXPECT_EQ(lines[4].section(u',', 0, 0), "均衡证明");
    EXPECT_TRUE(lines.contains("人数,,1,,1,,—,,—,")) << lines.join(u'\n').toStdString();

    const QString html = d.dir.filePath("balance.html");
    ASSERT_EQ(run({"report", "balance", "--format", "html", "-o", html}).status, 0);
    EXPECT_TRUE(QString::fromUtf8(read(html)).contains("优于随机分班"));

    const QString pdf = d.dir.filePath("balance.pdf");
    r = run({"report", "balance", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "poppler's tools are missing";
    EXPECT_TRUE(test::pdfText(pdf, 0, false).contains("图1 各班平均分与标准差"));
    EXPECT_TRUE(test::pdfPagesHaveColour(pdf));
}
