#include "cli/cli.h"
#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QFileInfo>

using namespace fenpai;

namespace {

using Outcome = test::CliOutcome;

class ArrangeCommandTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(test::createArrangementTables(t.db).isOk()); }

    Outcome arrange(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path(), "arrange"} + args);
    }

    test::TempData t;
};

} // namespace

TEST_F(ArrangeCommandTest, PrintsTheRoomsAndTheSameClassNeighbours)
{
    ASSERT_TRUE(test::addPupils(t.db, {{"一中", "1班", "甲", 90},
                                       {"一中", "1班", "乙", 80},
                                       {"一中", "2班", "丙", 70},
                                       {"二中", "1班", "丁", 60},
                                       {"二中", "1班", "戊", 50}})
                    .isOk());
    ASSERT_TRUE(test::addRooms(t.db, {3, 3}).isOk());

    Outcome r = arrange({"--mode", "3"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    // One row of five desks a room: 甲 beside 乙, 丁 beside 戊.
    EXPECT_EQ(r.out, "编排完成!\n"
                     "第1考场 考生 3 人 班级 2 个 考号 2100001--2100003 座位相邻的同班考生 1 对\n"
                     "第2考场 考生 2 人 班级 1 个 考号 2100004--2100005 座位相邻的同班考生 1 对\n"
                     "考号相邻的同班考生 2 对\n"
                     "座位相邻的同班考生 2 对\n");

    r = arrange({"--mode=2", "--prefix", "9"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("第1考场 考生 3 人 班级 2 个 考号 900101--900103\n"))
        << r.out.toStdString();

    // Room 1 can part 甲 and 乙 (丙 between them); room 2 holds one class only.
    r = arrange({"--mode", "3", "--separate-classmates", "--seat-order", "按列蛇形"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("座位相邻的同班考生 1 对（调整座位前 2 对）\n"))
        << r.out.toStdString();
    EXPECT_EQ(t.rows("SELECT 姓名 FROM 考生表 WHERE 考场 = 1 ORDER BY 座位号"),
              (QStringList{"甲", "丙", "乙"}));

    r = arrange({"--mode", "1", "--groups", "2", "--group-by", "school", "--order", "spread",
                 "--adjacent", "--start-number", "100"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(t.rows("SELECT 姓名 FROM 考生表 ORDER BY 考号"),
              (QStringList{"甲", "戊", "乙", "丁", "丙"}));
    EXPECT_EQ(t.rows("SELECT min(考号) FROM 考生表"), QStringList{"100"});
}

// Paper versions: counted in the summary, left out without them; the choices are 2 and 4.
TEST_F(ArrangeCommandTest, VersionsAreCounted)
{
    ASSERT_TRUE(test::addPupils(t.db, test::makeYear(7, 1, 2, 1)).isOk());
    ASSERT_TRUE(test::addRooms(t.db, {4, 4}).isOk());
    Outcome r = arrange({"--mode", "3", "--versions", "2"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("试卷：A卷 4 份，B卷 3 份；相邻座位试卷相同 0 对\n"))
        << r.out.toStdString();
    r = arrange({"--mode", "3"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("试卷")) << r.out.toStdString();
    EXPECT_EQ(arrange({"--mode", "3", "--versions", "3"}).status, 2);
}

// The job's refusals are its own tests' business: one shows the message and the exit status.
TEST_F(ArrangeCommandTest, RefusalsAndBadUsage)
{
    ASSERT_TRUE(test::addPupils(t.db, test::makeYear(7, 1, 2, 1)).isOk());
    ASSERT_TRUE(test::addRooms(t.db, {3, 3}).isOk());
    Outcome r = arrange({"--mode", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("  你设置的考场数太少(2)")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());

    for (const QStringList &bad :
         {QStringList{}, QStringList{"--mode", "4"},
          QStringList{"--mode", "1", "--prefix", "2", "--start-number", "3"}}) {
        r = arrange(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("用法：")) << r.err.toStdString();
    }
}

// The documents keep 18 digits by their own tests; the summary must print them too.
TEST_F(ArrangeCommandTest, EighteenDigitNumbersReachTheSummaryExactly)
{
    // 考号 as the import declares it.
    ASSERT_TRUE(t.db.execNative("DROP TABLE 考生表; CREATE TABLE 考生表 (学校 TEXT, 班级 TEXT, "
                                "姓名 TEXT, 性别 TEXT, 成绩 REAL, 考场 REAL, 考号 NUMERIC, "
                                "座位号 REAL)")
                    .isOk());
    ASSERT_TRUE(test::addPupils(t.db, test::makeYear(5, 1, 2, 3)).isOk());
    ASSERT_TRUE(test::addRooms(t.db, {3, 3}).isOk());
    Outcome r = arrange({"--mode", "3", "--start-number", "900000000000000001"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("第2考场 考生 2 人 班级 2 个 考号 900000000000000004--"
                               "900000000000000005\n") ||
                r.out.contains("第2考场 考生 2 人 班级 1 个 考号 900000000000000004--"
                               "900000000000000005\n"))
        << r.out.toStdString();
}

TEST_F(ArrangeCommandTest, PlaceNewSeatsTheLateExamineesTheWayTheLastRunDid)
{
    ASSERT_TRUE(
        test::addPupils(
            t.db, {{"一中", "1班", "甲", 90}, {"一中", "1班", "乙", 80}, {"一中", "2班", "丙", 70}})
            .isOk());
    ASSERT_TRUE(test::addRooms(t.db, {3, 2}).isOk());
    ASSERT_EQ(arrange({"--mode", "3", "--prefix", "77"}).status, 0);
    ASSERT_TRUE(test::addPupils(t.db, {{"二中", "3班", "丁", 60}}).isOk());
    Outcome r = arrange({"--place-new"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "安置完成!\n"
                     "安置新增考生1人，考场还剩空座位1个\n"
                     "考场调整清单\n"
                     "学校\t班级\t姓名\t考场\t座位号\t考号\t考场地点\n"
                     "二中\t3班\t丁\t2\t1\t7700201\t教学楼2\n");

    // Options given replace the stored ones: consecutive numbers, not below the start. The only
    // seat left is beside a classmate, and the printout says so.
    ASSERT_TRUE(test::addPupils(t.db, {{"二中", "3班", "戊", 50}}).isOk());
    r = arrange({"--place-new", "--start-number", "9000000"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("二中\t3班\t戊\t2\t2\t9000000\t教学楼2\n"
                               "其中1人旁边坐着同班考生（所在考场没有更合适的空座位）\n"))
        << r.out.toStdString();

    ASSERT_TRUE(test::addPupils(t.db, {{"二中", "3班", "己", 40}}).isOk());
    r = arrange({"--mode", "3", "-o", "清单.pdf"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith("-o 只能与 --place-new 一起用"));

    // The list as a file too: one withdraws, 己 takes the seat.
    t.exec({"DELETE FROM 考生表 WHERE 姓名 = '乙'"});
    const QString file = t.dir.filePath("清单.xlsx");
    r = arrange({"--place-new", "-o", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("二中\t3班\t己\t1\t2\t7700102\t教学楼1\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("考场调整清单 → " + file + "\n"));
    EXPECT_GT(QFileInfo(file).size(), 1000);
    r = arrange({"--place-new", "-o", file});
    EXPECT_TRUE(r.out.contains("没有需要安置的新增考生。")) << r.out.toStdString();
}
