#include "cli/cli.h"
#include "support/clirun.h"

#include "support/divisiontestdata.h"

#include <QFile>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

using Outcome = fenpai::test::CliOutcome;

Outcome divide(DivisionData &data, const QStringList &args)
{
    return fenpai::test::runCli(QStringList{"--data-dir", data.directory.path(), "divide"} + args);
}

} // namespace

TEST(DivideCommand, PrintsTheBalanceOfEachClass)
{
    DivisionData data;
    data.add({{"男", 90, "一中"},
              {"女", 80, "二中"},
              {"男", 70, "一中"},
              {"女", 61, "二中"},
              {"男", {}, "一中"}});
    Outcome r = divide(data, {"--classes", "3"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    // The certificate's line (its wording is its own tests') ends the summary.
    EXPECT_TRUE(r.out.section('\n', -2, -2).startsWith("均衡证明：各班平均分最大差 0.5000，"))
        << r.out.toStdString();
    EXPECT_EQ(r.out.section('\n', 0, -3) + '\n',
              "分班完成!\n"
              "新分班\t人数\t男生\t女生\t平均分\t标准差\t最高分\t最低分\n"
              "1\t1\t1\t0\t-\t-\t-\t-\n"
              "2\t2\t1\t1\t75.50\t14.50\t90\t61\n"
              "3\t2\t1\t1\t75.00\t5.00\t80\t70\n"
              "各班平均分最大差：0.50\n"
              "各班标准差最大差：9.50\n"
              "原学校\t人数\t每班最少\t每班最多\t差\n"
              "一中\t3\t1\t1\t0\n"
              "二中\t2\t0\t1\t1\n");

    r = divide(data, {"--layers=1,1", "--sex", "--school"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("分班完成!\n"));
    EXPECT_TRUE(r.out.contains("同层各班平均分最大差：")) << r.out.toStdString();
    EXPECT_EQ(data.rows("SELECT DISTINCT 新分班 FROM 分班数据表 ORDER BY 1"),
              (QStringList{"1", "2"}));
}

TEST(DivideCommand, RefusalsAndBadArguments)
{
    DivisionData data;
    data.add({{"男", 90, "一中"}, {"女", 80, "一中"}}, 5);
    const struct
    {
        QStringList args;
        int status;
        const char *firstErrorLine;
    } cases[] = {
        {{"--classes", "3"}, 1, "新分班级数不能超过学生人数(2)"}, // one of the job's refusals
        {{"--layers", "1,2,3,4,5"}, 2, "最多四层：1,2,3,4,5"},
        {{"--sex"}, 2, "请给出 --classes 或 --layers 之一"},
        // Counts are read as the dialog reads them, before anything is opened.
        {{"--classes", "2.5"}, 2, "新分班级数必须是不小于1的整数。"},
    };
    for (const auto &c : cases) {
        const Outcome r = divide(data, c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.section('\n', 0, 0), c.firstErrorLine);
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_EQ(data.classes(), (std::vector<int>{5, 5}));

    test::TempData none;
    const Outcome r =
        fenpai::test::runCli({"--data-dir", none.directory.path(), "divide", "--classes", "2"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "找不到分班数据表，请先导入新生分班数据。\n");
}

TEST(DivideCommand, RefinePrintsTheSpreadsBeforeAndAfter)
{
    DivisionData data;
    std::vector<PupilRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back({i % 3 ? "男" : "女", 50 + (i * 37) % 51, i % 5 ? "一中" : "二中"});
    data.add(rows);
    Outcome r = divide(data, {"--classes", "4", "--sex", "--school", "--refine"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines[lines.size() - 3].startsWith("优化前：平均分差")) << r.out.toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("优化后：平均分差")) << r.out.toStdString();
    EXPECT_TRUE(lines.last().startsWith("均衡证明：各班平均分最大差 ")) << r.out.toStdString();

    r = divide(data, {"--classes", "4", "--sex", "--school"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("优化前"));
}

TEST(DivideCommand, PlaceNewPrintsTheChangesAndTheClasses)
{
    DivisionData data;
    std::vector<PupilRow> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back({i % 2 ? "女" : "男", 60 + i, "一中"});
    data.add(rows);
    ASSERT_EQ(divide(data, {"--classes", "3"}).status, 0);
    data.add({{"女", 99, "二中", "新来的"}});

    Outcome r = divide(data, {"--place-new", "--max-moves=0"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[1], "安置新增学生1人，调动已分班学生0人（最多允许0人）");
    EXPECT_TRUE(lines[4].startsWith("新来的\t女\t99\t二中\t\t")) << lines[4].toStdString();
    EXPECT_TRUE(r.out.contains("安置后：平均分差")) << r.out.toStdString();

    r = divide(data, {"--place-new"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("没有需要安置的新增学生，也没有学生调班。"));

    // The list as a file too.
    data.add({{"男", 50, "三中", "又来的"}});
    const QString file = data.dir.filePath("清单.csv");
    r = divide(data, {"--place-new", "-o", file});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("分班调整清单 → " + file + "\n")) << r.out.toStdString();
    QFile csv(file);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(csv.readAll());
    EXPECT_TRUE(text.contains("又来的,男,50,三中,,")) << text.toStdString();

    const struct
    {
        QStringList args;
        const char *firstErrorLine;
    } refused[] = {
        {{"--place-new", "--classes", "3"}, "--place-new 按上次分班接着安置，不能再给 --classes"},
        {{"--place-new", "--max-moves", "-1"}, "允许调动的人数必须是不小于0的整数。"},
        {{"--classes", "3", "--max-moves", "2"}, "--max-moves 只能与 --place-new 一起用"},
        {{"--classes", "3", "-o", "a.csv"}, "-o 只能与 --place-new 一起用"},
        {{"--place-new", "-o", "清单.doc"},
         "无法从文件名 清单.doc 看出输出格式，请用 --format 指定：csv、xlsx、html 或 pdf"},
    };
    for (const auto &c : refused) {
        r = divide(data, c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.section('\n', 0, 0), c.firstErrorLine);
    }
}
