#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/pdfcheck.h"
#include "support/tempdata.h"

using namespace fenpai;
using test::pdfText;

namespace {

const QString longSchool = QStringLiteral("湖滨市第一实验初级中学南校区");

// Whether every character of `part` stands in `text`, in order.
bool inOrder(const QString &text, const QString &part)
{
    qsizetype at = 0;
    for (QChar ch : part) {
        at = text.indexOf(ch, at);
        if (at < 0)
            return false;
        ++at;
    }
    return true;
}

// A year as a county hands it out: long school names, the common surnames 黄, 马 and 金,
// 18-digit exam numbers, and a division intake from many schools.
class PaperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // 考号 as an import of an empty column makes it, wide enough for 18 digits.
        ASSERT_TRUE(t.db.execNative("CREATE TABLE 考生表 (学校 TEXT, 班级 TEXT, 姓名 TEXT, 性别 "
                                    "TEXT, 成绩 REAL, 考场 REAL, 考号 NUMERIC, 座位号 REAL);"
                                    "CREATE TABLE 考场表 (考场号 REAL, 人数 REAL, 考场地点 TEXT)")
                        .isOk());
        const QStringList schools = {longSchool, QStringLiteral("湖滨市第一实验初级中学北校区"),
                                     QStringLiteral("湖滨市第二中学")};
        const QStringList surnames = {QStringLiteral("黄"), QStringLiteral("马"),
                                      QStringLiteral("金")};
        std::vector<test::Pupil> pupils;
        for (int i = 0; i < 36; ++i)
            pupils.push_back({schools[i % 3], QStringLiteral("初三(%1)班").arg(10 + i % 2),
                              surnames[i % 3] + QStringLiteral("博欣"), 300 + i});
        ASSERT_TRUE(test::addPupils(t.db, pupils).isOk());
        ASSERT_TRUE(test::addRooms(t.db, {18, 18}).isOk());
        const test::CliOutcome arranged =
            run({"arrange", "--mode", "1", "--start-number", firstNumber});
        ASSERT_EQ(arranged.status, 0) << arranged.err.toStdString();

        // 24 source schools make the new-class statistics three landscape pages wide.
        t.exec({"CREATE TABLE 分班数据表 (姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 "
                "TEXT, 新分班 REAL)"});
        for (int i = 0; i < 96; ++i)
            t.exec({QStringLiteral("INSERT INTO 分班数据表 VALUES ('%1同学','%2',%3,'湖滨市第%4"
                                   "实验小学','1班',0)")
                        .arg(surnames[i % 3], i % 2 ? "男" : "女")
                        .arg(400 + i * 3)
                        .arg(i % 24 + 1)});
        ASSERT_EQ(run({"divide", "--classes", "4"}).status, 0);
        t.exec(
            {QStringLiteral("INSERT INTO 成绩表 (学校, 语文) VALUES ('%1', 90)").arg(longSchool),
             QStringLiteral("INSERT INTO 教师表 (学校, 班级, 语文) VALUES ('%1', '1班', '金老师')")
                 .arg(longSchool)});
    }

    test::CliOutcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }

    const QString firstNumber = QStringLiteral("202600000000000001");
    test::TempData t;
};

} // namespace

TEST_F(PaperTest, EveryOutputKeepsItsValuesWholeItsTextTrueAndItsOuterFiveMillimetresWhite)
{
    struct Output
    {
        QStringList args;
        bool showsFirstNumber; // the 18-digit number of room 1's first examinee
    };
    const QList<Output> outputs = {
        {{"show", "考生表", "--format", "pdf"}, true},
        {{"show", "考生表", "--report", "plain", "--format", "pdf"}, true},
        {{"report", "score-info", "--format", "pdf"}, false},
        {{"report", "room-list", "1", "--format", "pdf"}, true},
        {{"report", "exam-class-list", longSchool + "/初三(10)班", "--format", "pdf"}, true},
        {{"report", "brief-stats", "--format", "pdf"}, false},
        {{"report", "school-stats", longSchool, "--format", "pdf"}, false},
        {{"report", "first-last", "--format", "pdf"}, true},
        {{"report", "by-class", "--format", "pdf"}, false},
        {{"report", "by-school", "--format", "pdf"}, false},
        {{"report", "new-class-stats", "--format", "pdf"}, false},
        {{"report", "source-school-stats", "--format", "pdf"}, false},
        {{"report", "new-class-list", "1", "--format", "pdf"}, false},
        {{"seats", "--room", "1"}, true},
        {{"tickets", "--room", "1", "--economy"}, true},
        {{"tickets", "--stacked-rooms", "1,2"}, true},
        {{"labels", "--room", "1", "--seat"}, false},
        {{"labels", "--room", "1", "--exam-number"}, true},
    };
    for (const Output &output : outputs) {
        const QString name = output.args.mid(0, 3).join(u'-');
        const QString path = t.dir.filePath(QStringLiteral("out.pdf"));
        const test::CliOutcome r = run(output.args + QStringList{"-o", path});
        ASSERT_EQ(r.status, 0) << name.toStdString() << ": " << r.err.toStdString();
        const QString text = pdfText(path, 0, false);
        if (text.isEmpty())
            GTEST_SKIP() << "poppler's tools are not installed";
        EXPECT_EQ(test::pagesInkedNearEdge(path), QList<int>()) << name.toStdString();
        EXPECT_EQ(test::radicalsIn(text), QString()) << name.toStdString();
        EXPECT_FALSE(text.contains(u'#')) << name.toStdString();
        EXPECT_FALSE(text.contains(QChar(0x2026))) << name.toStdString(); // …
        QString joined = text;
        joined.remove(u'\n').remove(u' ');
        EXPECT_TRUE(!output.showsFirstNumber || joined.contains(firstNumber)) << name.toStdString();
        // Names are whole: on one line in the score report's school column, and in the room
        // list every character in order, however the cell wraps among its neighbours.
        EXPECT_TRUE(!output.args.contains("score-info") || joined.contains(longSchool));
        EXPECT_TRUE(!output.args.contains("room-list") || inOrder(joined, longSchool));
        EXPECT_TRUE(!output.args.contains("room-list") || joined.contains("黄博欣"));
    }
}

TEST_F(PaperTest, StatisticsNameTheirRowsOnEveryPage)
{
    const QString path = t.dir.filePath(QStringLiteral("新分班.pdf"));
    ASSERT_EQ(run({"report", "new-class-stats", "--format", "pdf", "-o", path}).status, 0);
    if (pdfText(path).isEmpty())
        GTEST_SKIP() << "poppler's tools are not installed";
    int pages = 0;
    for (int page = 1; !pdfText(path, page).isEmpty(); ++page) {
        ++pages;
        const QString text = pdfText(path, page);
        EXPECT_TRUE(text.contains(QStringLiteral("新分班")) &&
                    text.contains(QStringLiteral("合计")))
            << "page " << page << " names its rows: " << text.toStdString();
    }
    EXPECT_GE(pages, 3);
}

TEST_F(PaperTest, TitlesAreSetOnTheCommandLineAndReachEveryReport)
{
    // The factory titles: printed, with a hint, and the first PDF says so too.
    test::CliOutcome r = run({"titles"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "左标题：XX县XX中学\n右标题：2008-2009年度下学期\n显示日期：否\n");
    EXPECT_TRUE(r.err.contains("fenpai titles")) << r.err.toStdString();
    const QString path = t.dir.filePath(QStringLiteral("名单.pdf"));
    r = run({"report", "room-list", "1", "--format", "pdf", "-o", path});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.err.count(u'\n'), 1) << "one line: " << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("XX县XX中学"));
    r = run({"report", "room-list", "1", "--format", "csv", "-o", t.dir.filePath("名单.csv")});
    EXPECT_EQ(r.err, "") << "a CSV prints no titles";

    r = run({"titles", "--left", "湖滨市第一中学", "--right", "2025—2026学年第一学期 期中考试",
             "--date", "on"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out,
              "左标题：湖滨市第一中学\n右标题：2025—2026学年第一学期 期中考试\n显示日期：是\n");
    EXPECT_EQ(r.err, "");
    r = run({"titles", "--date", "off"});
    EXPECT_TRUE(r.out.startsWith("左标题：湖滨市第一中学\n")) << "what is left out stays";
    EXPECT_TRUE(r.out.endsWith("显示日期：否\n"));

    // Every report reads them through one routine, checked with the reports; one shows it here.
    r = run({"report", "room-list", "1", "--format", "pdf", "-o", path});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "") << "no hint once the titles are set";
    const QString text = pdfText(path);
    EXPECT_TRUE(text.isEmpty() || (text.contains("湖滨市第一中学") && text.contains("期中考试")))
        << text.toStdString();

    // A text longer than the table holds.
    r = run({"titles", "--left", QString(51, u'校')});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("50")) << r.err.toStdString();
}
