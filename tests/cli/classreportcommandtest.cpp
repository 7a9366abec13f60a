#include "cli/cli.h"
#include "support/clirun.h"
#include "support/divisiontestdata.h"

#include <QFile>

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

// Each report names what it wrote and where; the new class list takes its class.
TEST_F(ClassReportCommandTest, StatisticsAndClassListAsCsv)
{
    d.add({{"男", 90, "一中", "甲"}, {"女", 95, "二中", "乙"}}, 1);
    d.add({{"女", 70, "一中", "丙"}}, 2);
    const QString csv = d.dir.filePath("out.csv");
    Outcome r = run({"report", "new-class-stats", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "新分班基本情况表 → " + csv + "\n");
    EXPECT_TRUE(read(csv).startsWith("新分班,学生数,"));

    ASSERT_EQ(run({"report", "source-school-stats", "-o", csv}).status, 0);

    r = run({"report", "new-class-list", "1", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1班 → " + csv + "\n");
    const QStringList lines = QString::fromUtf8(read(csv)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 3);
    EXPECT_EQ(run({"report", "new-class-list", "-o", csv}).status, 2);
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

// The balance report's format follows the file name or --format; its figures and charts are the
// report's own tests' business.
TEST_F(ClassReportCommandTest, BalanceReportTableAndPdf)
{
    d.add({{"男", 90, "一中"}, {"女", 95, "二中"}, {"男", 61, "二中"}}, 1);
    d.add({{"女", 70, "一中"}, {"男", 88, "一中"}}, 2);
    const QString csv = d.dir.filePath("balance.csv");
    Outcome r = run({"report", "balance", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "分班均衡报告 → " + csv + "\n");
    EXPECT_TRUE(read(csv).startsWith("新分班,人数,男生,女生,平均分,"));

    const QString html = d.dir.filePath("balance.htm");
    ASSERT_EQ(run({"report", "balance", "--format", "html", "-o", html}).status, 0);
    EXPECT_TRUE(QString::fromUtf8(read(html)).contains("优于随机分班"));

    const QString pdf = d.dir.filePath("balance.pdf");
    r = run({"report", "balance", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(read(pdf).startsWith("%PDF-"));
}
