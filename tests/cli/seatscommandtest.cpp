#include "cli/cli.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QFile>

using namespace fenpai;

// The demo year, arranged by score with classmates parted: the charts of one room or all.
TEST(SeatsCommandTest, ChartsOfOneRoomOrAll)
{
    test::TempData t;
    const QString dir = t.dir.path();
    const auto run = [&](const QStringList &args) {
        return test::runCli(QStringList{"--data-dir", dir} + args);
    };
    ASSERT_EQ(run({"demo", dir}).status, 0);
    test::CliOutcome r = run({"import", "arrangement", dir + "/考场编排数据.xlsx"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    ASSERT_EQ(run({"arrange", "--mode", "3", "--separate-classmates"}).status, 0);
    // The check reads the seat order it is given, as the arrangement laid the desks.
    r = run({"check", "mixing", "--seat-order", "column"});
    EXPECT_FALSE(r.out.contains("座位的考生同班相邻")) << r.out.toStdString();

    const QString pdf = dir + "/座位表.pdf";
    r = run({"seats", "--room", "all", "-o", pdf});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "全部考场座位表 → " + pdf + "\n");
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    r = run({"seats", "--room", "2", "--format", "xlsx", "-o", dir + "/2.xlsx"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir + "/2.xlsx"));

    r = run({"seats", "--room", "999", "-o", pdf});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("没有第 999 考场")) << r.err.toStdString();
    for (const QStringList &bad : {QStringList{"seats", "-o", pdf},
                                   QStringList{"seats", "--room", "1", "-o", dir + "/a.csv"}})
        EXPECT_EQ(run(bad).status, 2) << bad.join(' ').toStdString();
}
