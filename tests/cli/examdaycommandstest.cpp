#include "cli/cli.h"
#include "jobs/examday/ticketcheck.h"
#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/pdfcheck.h"
#include "support/tempdata.h"

using namespace fenpai;

namespace {

// An arranged year of 40 in two rooms of 20 (one row of five desks, four deep).
class ExamDayCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, test::makeYear(40, 2, 4, 3)).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {20, 20}).isOk());
        const test::CliOutcome r = run({"arrange", "--mode", "3", "--versions", "2"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }

    test::CliOutcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }

    test::TempData t;
};

} // namespace

TEST_F(ExamDayCommandsTest, SheetsForOneRoomOrAllAndTheirRefusals)
{
    const QString pdf = t.dir.filePath("签到表.pdf");
    test::CliOutcome r = run({"sheets", "--room", "2", "--kind", "sign-in", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "第 2 考场签到表 → " + pdf + "\n");
    EXPECT_TRUE(test::pagesInkedNearEdge(pdf).isEmpty());

    const QString doors = t.dir.filePath("门贴.pdf");
    r = run({"sheets", "--room", "all", "--kind=door", "-o", doors});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "全部考场门贴 → " + doors + "\n");
    EXPECT_TRUE(test::pagesInkedNearEdge(doors).isEmpty());

    r = run({"sheets", "--room", "1", "--kind", "sign-in", "--format", "xlsx", "-o",
             t.dir.filePath("1.xlsx")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();

    r = run({"sheets", "--room", "7", "--kind", "door", "-o", doors});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("没有第 7 考场。")) << r.err.toStdString();
    for (const QStringList &bad :
         {QStringList{"sheets", "--room", "0", "--kind", "door", "-o", pdf},
          QStringList{"sheets", "--room", "1", "--kind", "door", "-o", t.dir.filePath("a.csv")},
          QStringList{"sheets", "--room", "1", "--kind", "sign-in", "--photos", t.dir.path(), "-o",
                      pdf},
          QStringList{"sheets", "--room", "1", "--kind", "door", "--photos", t.dir.path(),
                      "--photo-name", "姓名", "-o", pdf}})
        EXPECT_EQ(run(bad).status, 2) << bad.join(' ').toStdString();
}

// The code of a printed ticket is read back to its examinee; a forged check value, an unknown
// number and a ticket printed before a swap are refused (exit 1).
TEST_F(ExamDayCommandsTest, VerifyTellsWhoseCodeAndRefusesForgeries)
{
    test::CliOutcome r = run({"verify", "2100001 00000000"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("没有校验密钥")) << r.err.toStdString();

    const QString pdf = t.dir.filePath("准考证.pdf");
    r = run({"tickets", "--room", "1", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList e =
        t.rows("SELECT 考号, 姓名, 学校, 班级, 试卷 FROM 考生表 WHERE 考场 = 1 AND 座位号 = 3")[0]
            .split('\t');
    const QByteArray key = *TicketCheck::key(t.db, false);
    const QString code = TicketCheck::code(key, e[0], e[1], "1", "3").text();
    r = run({"verify", code});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QString("考号 %1：%2，%3 %4，第 1 考场 3 号座位，%5卷\n校验码相符。\n")
                         .arg(e[0], e[1], e[2], e[3], e[4]));

    QString forged = code;
    forged[forged.size() - 1] = forged.endsWith('0') ? '1' : '0';
    r = run({"verify", forged});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.out.endsWith("校验码不符：这个二维码不是为这名考生生成的，准考证可能是伪造的。\n"))
        << r.out.toStdString();

    // Read from standard input, as a scanner's output is piped in: the row's short code fits.
    const QString row = TicketCheck::code(key, e[0], e[1]).text();
    r = test::runCli({"--data-dir", t.dir.path(), "verify", "-"}, row + "\n\n" + code + "\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count("校验码相符。"), 2);

    ASSERT_TRUE(
        t.db.execNative("UPDATE 考生表 SET 座位号 = 99 WHERE 考场 = 1 AND 座位号 = 3").isOk());
    r = run({"verify", code});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.contains("与现在的编排不同")) << r.out.toStdString();

    r = run({"verify", TicketCheck::code(key, "7654321", "无名").text()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("没有考号为 7654321 的考生")) << r.out.toStdString();
    r = run({"verify", "not a code"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(TicketCheck::noCodeMessage())) << r.err.toStdString();
    EXPECT_EQ(run({"verify"}).status, 2);
}
