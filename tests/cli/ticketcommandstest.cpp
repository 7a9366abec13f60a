#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QFile>

using namespace fenpai;

namespace {

class TicketCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        std::vector<test::Pupil> pupils;
        for (int i = 1; i <= 5; ++i)
            pupils.push_back({"一中", "1班", QString("甲%1").arg(i), 80, 1, 2100000 + i, i});
        for (int i = 1; i <= 2; ++i)
            pupils.push_back({"一中", "2班", QString("乙%1").arg(i), 80, 2, 2100010 + i, i});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
    }
    test::CliOutcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }
    test::TempData t;
};

} // namespace

// The choice of examinees reaches the job, whose count is printed; layouts are the job's tests'.
TEST_F(TicketCommandsTest, TicketsAndLabelsAsPdf)
{
    const QString pdf = t.dir.filePath("准考证.pdf");
    test::CliOutcome r = run({"tickets", "--class", "一中/1班", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "准考证 5 张 → " + pdf + "\n");

    r = run({"tickets", "--stacked-rooms", "1,2,1", "--economy", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "准考证 15 张 → " + pdf + "\n");

    r = run({"labels", "--room", "1", "--seat", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "第 1 考场桌贴 → " + pdf + "\n");
}

TEST_F(TicketCommandsTest, BadChoicesAndUsage)
{
    const QString pdf = t.dir.filePath("x.pdf");
    // One of the jobs' refusals; the rest are tested with the jobs.
    EXPECT_EQ(run({"tickets", "--room", "7", "-o", pdf}).err, "所选班级或考场没有考生\n");
    EXPECT_EQ(run({"tickets", "--room", "1", "--photos", "/p", "-o", pdf}).status, 2);
    const QString noPhotos = t.dir.filePath("no photos");
    EXPECT_EQ(
        run({"tickets", "--room", "1", "--photos", noPhotos, "--photo-name", "考号", "-o", pdf})
            .err,
        "找不到存放照片的目录：" + noPhotos + "\n");
    // Stacked, a room or class without examinees is named instead of leaving blank tickets.
    EXPECT_EQ(run({"tickets", "--stacked-rooms", "1,41", "-o", pdf}).err, "第 41 考场没有考生\n");
    EXPECT_EQ(run({"tickets", "--stacked-classes", "一中/1班,9班", "-o", pdf}).err,
              "一中 9班 没有考生\n");
    EXPECT_EQ(run({"tickets", "--room", "1", "--class", "一中/1班", "-o", pdf}).status, 2);
    EXPECT_EQ(run({"tickets", "--stacked-rooms", "1,2,1", "-o", pdf}).status, 2);
    EXPECT_EQ(run({"labels", "--room", "1", "-o", pdf}).status, 2);
    EXPECT_FALSE(QFile::exists(pdf));
}
