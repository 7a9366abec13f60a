#include "jobs/division/classdivision.h"

#include "support/divisiontestdata.h"
#include "support/literaldivision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <tuple>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

using Mode = DivisionSettings::Mode;

DivisionSettings balanced(int n, bool sex = false, bool school = false)
{
    DivisionSettings s;
    s.mode = Mode::Balanced;
    s.classes = n;
    s.balanceSex = sex;
    s.balanceSchool = school;
    return s;
}

DivisionSettings layered(std::array<int, 4> layers, bool sex = false, bool school = false)
{
    DivisionSettings s;
    s.mode = Mode::Layered;
    s.layers = layers;
    s.balanceSex = sex;
    s.balanceSchool = school;
    return s;
}

// n pupils of one school and sex with scores n, n−1, …, 1, inserted worst first so that the
// ranking has to come from the scores.
std::vector<PupilRow> descending(int n, const QString &sex = "男", const QString &school = "一中")
{
    std::vector<PupilRow> rows;
    for (int i = 1; i <= n; ++i)
        rows.push_back({sex, i, school});
    return rows;
}

void expectRun(DivisionData &data, const DivisionSettings &settings)
{
    const Result<DivisionSummary> r = ClassDivision::run(data.db, settings);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
}

} // namespace

TEST(BalancedDivision, OneClassTakesEverybodyWithAnyOptions)
{
    for (int options = 0; options < 4; ++options) {
        for (Mode mode : {Mode::Balanced, Mode::Layered}) {
            DivisionData data;
            data.add({{"男", 90, "一中"},
                      {"女", 80, "二中"},
                      {"", 70, ""},
                      {"男", 60, {}},
                      {{}, 50, "三中"}});
            DivisionSettings s = mode == Mode::Balanced
                                     ? balanced(1, options & 1, options & 2)
                                     : layered({0, 1, 0, 0}, options & 1, options & 2);
            expectRun(data, s);
            EXPECT_EQ(data.classes(), std::vector<int>(5, 1)) << "options " << options;
        }
    }
}

TEST(BalancedDivision, RunsAreIndependentOfThePreviousResult)
{
    DivisionData data;
    std::vector<PupilRow> rows;
    std::mt19937 random(7);
    for (int i = 0; i < 60; ++i)
        rows.push_back({random() % 2 ? "男" : "女", static_cast<int>(random() % 40) + 60,
                        QString("学校%1").arg(random() % 5)});
    data.add(rows, 9);
    const DivisionSettings s = balanced(5, true, true);
    const QStringList cacheSize = data.rows("PRAGMA cache_size");
    expectRun(data, s);
    EXPECT_EQ(data.rows("PRAGMA cache_size"), cacheSize); // the connection is left as it was
    const std::vector<int> first = data.classes();
    ASSERT_TRUE(data.db.exec("UPDATE 分班数据表 SET 新分班 = 3 WHERE rowid < 20").isOk());
    expectRun(data, s);
    EXPECT_EQ(data.classes(), first);
}

TEST(LayeredDivision, TheLastLayersQueryStaysDefined)
{
    DivisionData data;
    data.add(descending(60));
    expectRun(data, layered({2, 3, 0, 1}));
    // NewQry2 stays defined for the last layer dealt.
    const QStringList sql = data.rows("SELECT sql FROM sqlite_master WHERE name = 'NewQry2'");
    ASSERT_EQ(sql.size(), 1);
    EXPECT_TRUE(sql.value(0).contains("新分班=1004"));
}

// What the dialog and the command line refuse before a run, in the dialog's words; counts past
// 32 bits were once read as negative numbers and slipped past every check.
TEST(DivisionSettingsTest, TypedCountsAreCheckedWhereTheyAreRead)
{
    const char *const notWhole = "新分班级数必须是不小于1的整数。";
    const char *const tooMany = "新分班级数不能超过32767。";
    const struct
    {
        const char *text;
        int value; // 0: refused with `message`
        const char *message;
    } classes[] = {
        {" 3 ", 3, ""},
        {"32767", 32767, ""},
        {"0", 0, notWhole},
        {"2.5", 0, notWhole},
        {"3班", 0, notWhole},
        {"32768", 0, tooMany},
        {"4294967297", 0, tooMany},
    };
    for (const auto &c : classes) {
        const Result<int> n = DivisionSettings::parseClasses(QString::fromUtf8(c.text));
        if (c.value > 0) {
            ASSERT_TRUE(n.isOk()) << c.text;
            EXPECT_EQ(*n, c.value);
        } else {
            ASSERT_FALSE(n.isOk()) << c.text;
            EXPECT_EQ(n.status().message(), QString::fromUtf8(c.message)) << c.text;
        }
    }

    const struct
    {
        std::array<const char *, 4> texts;
        const char *message; // empty: accepted
    } layers[] = {
        {{"2", "3", "0", "1"}, ""},
        {{"0", "0", "0", "0"}, "各层的新分班级数都为0，无法分班。"},
        {{"1", "1.5", "0", "0"}, "B层的新分班级数必须是不小于0的整数。"},
        {{"1", "0", "0", "-1"}, "D层的新分班级数必须是不小于0的整数。"},
        {{"20000", "20000", "0", "0"}, tooMany},
        {{"4294967297", "0", "0", "0"}, tooMany},
    };
    for (const auto &c : layers) {
        std::array<QString, 4> texts;
        for (size_t k = 0; k < 4; ++k)
            texts[k] = QString::fromUtf8(c.texts[k]);
        const Result<std::array<int, 4>> parsed = DivisionSettings::parseLayers(texts);
        EXPECT_EQ(parsed.status().message(), QString::fromUtf8(c.message)) << c.texts[1];
    }
    EXPECT_EQ(*DivisionSettings::parseLayers({"2", "3", "0", "1"}),
              (std::array<int, 4>{2, 3, 0, 1}));
}

TEST(DivisionEdgeCases, SettingsTheDataCannotMeetAreRefusedAndNothingIsWritten)
{
    const struct
    {
        DivisionSettings settings;
        int pupils;
        const char *message;
    } cases[] = {
        {balanced(11), 10, "新分班级数不能超过学生人数(10)"},
        {layered({5, 6, 0, 0}), 10, "新分班级数不能超过学生人数(10)"},
        // 6 pupils in 4 classes: p = 2, so layer D gets nobody.
        {layered({1, 1, 1, 1}), 6,
         "D层有1个班级，但按每班平均2人分层后没有学生，请调整各层的新分班级数。"},
        {balanced(2), 0, "分班数据表中没有学生，无法分班。"},
        {layered({1, 0, 0, 0}), 0, "分班数据表中没有学生，无法分班。"},
    };
    for (const auto &c : cases) {
        DivisionData data;
        data.add(descending(c.pupils), 7);
        const Result<DivisionSummary> r = ClassDivision::run(data.db, c.settings);
        ASSERT_FALSE(r.isOk()) << c.message;
        EXPECT_EQ(r.status().message(), QString::fromUtf8(c.message));
        EXPECT_EQ(data.classes(), std::vector<int>(static_cast<size_t>(c.pupils), 7));
    }
}

TEST(DivisionEdgeCases, AnImportOnAnotherConnectionWaitsForTheDivision)
{
    DivisionData data;
    data.add(descending(6), 7);
    Database other;
    ASSERT_TRUE(other.open(data.db.path()).isOk());
    ASSERT_TRUE(other.execNative("PRAGMA busy_timeout = 0").isOk());
    // A re-import between the reading of the pupils and the writing of their classes would
    // receive classes dealt for other rows; the run holds the table from the reading on.
    Status replaced = Status::ok();
    bool tried = false;
    const auto progress = [&](int, int) {
        if (!tried) {
            tried = true;
            replaced = other.execNative("DELETE FROM 分班数据表; INSERT INTO 分班数据表 "
                                        "(姓名, 成绩, 新分班) VALUES ('新生', 1, 9)");
        }
        return true;
    };
    const Result<DivisionSummary> r = ClassDivision::run(data.db, balanced(2), progress);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    ASSERT_TRUE(tried);
    EXPECT_EQ(replaced.sqliteCode() & 0xff, 5); // SQLITE_BUSY
    EXPECT_EQ(data.rows("SELECT count(*) FROM 分班数据表 WHERE 新分班 IN (1, 2)"),
              QStringList{"6"});
}

TEST(DivisionEdgeCases, MissingTableOrColumnIsNamed)
{
    {
        test::TempData empty;
        const Result<DivisionSummary> r = ClassDivision::run(empty.db, balanced(2));
        ASSERT_FALSE(r.isOk());
        EXPECT_EQ(r.status().kind(), Status::Kind::MissingTable);
        EXPECT_EQ(r.status().message(), "找不到分班数据表，请先导入新生分班数据。");
    }
    const struct
    {
        const char *columns;
        DivisionSettings settings;
        const char *missing; // null: the run succeeds
        const char *dealt = "";
    } cases[] = {
        {"姓名 TEXT, 性别 TEXT, 原学校 TEXT, 新分班 REAL", balanced(2), "成绩"},
        {"姓名 TEXT, 成绩 REAL, 原学校 TEXT, 新分班 REAL", balanced(2, true), "性别"},
        {"姓名 TEXT, 性别 TEXT, 成绩 REAL, 新分班 REAL", layered({1, 1, 0, 0}), "原学校"},
        {"姓名 TEXT, 成绩 REAL, 新分班 REAL", balanced(1), nullptr, "1"},
        // A workbook column named rowid does not hide the rows' own numbers.
        {"rowid TEXT, 成绩 REAL, 原学校 TEXT, 新分班 REAL", balanced(1, false, true), nullptr, "1"},
    };
    for (const auto &c : cases) {
        test::TempData data;
        data.exec({QString("CREATE TABLE 分班数据表 (%1)").arg(c.columns),
                   "INSERT INTO 分班数据表 DEFAULT VALUES"});
        if (QString(c.columns).contains("成绩"))
            data.exec({"UPDATE 分班数据表 SET 成绩 = 1"});
        const Result<DivisionSummary> r = ClassDivision::run(data.db, c.settings);
        if (!c.missing) {
            EXPECT_TRUE(r.isOk()) << c.columns << ": " << r.status().message().toStdString();
            EXPECT_EQ(data.rows("SELECT 新分班 FROM 分班数据表"), QStringList{c.dealt});
            continue;
        }
        ASSERT_FALSE(r.isOk()) << c.columns;
        EXPECT_EQ(r.status().kind(), Status::Kind::MissingColumn);
        EXPECT_EQ(r.status().message(),
                  QString("分班数据表中没有字段“%1”，无法分班。").arg(c.missing));
    }
}

TEST(DivisionEdgeCases, AFailedOrCancelledRunLeavesTheClassesAsTheyWere)
{
    DivisionData data;
    std::vector<PupilRow> rows = descending(5000);
    data.add(rows, 7);
    // A write that fails part-way.
    data.exec({"CREATE TRIGGER refuse BEFORE UPDATE OF 新分班 ON 分班数据表 WHEN NEW.rowid = 4500 "
               "BEGIN SELECT RAISE(ABORT, 'disk says no'); END"});
    Result<DivisionSummary> r = ClassDivision::run(data.db, layered({2, 2, 0, 0}));
    ASSERT_FALSE(r.isOk());
    EXPECT_TRUE(r.status().message().startsWith("分班失败，新分班未作改动："));
    // The trigger's own words stay in the log; the user reads the kind of failure.
    EXPECT_TRUE(r.status().message().endsWith("数据不符合数据表的约束"));
    EXPECT_EQ(r.status().sqliteCode() & 0xff, 19); // SQLITE_CONSTRAINT
    EXPECT_EQ(data.classes(), std::vector<int>(5000, 7));
    EXPECT_TRUE(data.rows("SELECT name FROM sqlite_master WHERE name = 'NewQry2'").isEmpty());
    data.exec({"DROP TRIGGER refuse"});

    // Cancelled part-way and at the very end.
    for (int stopAt : {4096, 5000}) {
        std::vector<std::pair<int, int>> calls;
        r = ClassDivision::run(data.db, balanced(3), [&](int done, int total) {
            calls.emplace_back(done, total);
            return done < stopAt;
        });
        ASSERT_FALSE(r.isOk());
        EXPECT_EQ(r.status().kind(), Status::Kind::Cancelled);
        EXPECT_EQ(r.status().message(), "分班已取消，新分班未作改动。");
        EXPECT_EQ(data.classes(), std::vector<int>(5000, 7));
        EXPECT_EQ(calls.front(), std::make_pair(0, 5000));
        EXPECT_EQ(calls.back(), std::make_pair(stopAt, 5000));
    }
    EXPECT_FALSE(data.db.inTransaction());
}

TEST(DivisionSummary, CountsAndScoresPerClass)
{
    DivisionData data;
    data.add({{"男", 90, "一中"},
              {"女", 80, "一中"},
              {"男", 70, "一中"},
              {"女", 60, "一中"},
              {"", {}, "一中"}});
    const Result<DivisionSummary> r = ClassDivision::run(data.db, balanced(3));
    ASSERT_TRUE(r.isOk());
    // Ranks 90 80 70 60 (null last) → 2 3 3 2 1
    const std::vector<ClassBalance> &c = r->classes();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(r->pupils(), 5);
    EXPECT_EQ(std::tuple(c[0].classNumber, c[0].pupils, c[0].scored), std::tuple(1, 1, 0));
    EXPECT_EQ(std::tuple(c[1].pupils, c[1].boys, c[1].girls), std::tuple(2, 1, 1));
    // Whole scores: the means and extremes are exact.
    EXPECT_EQ(std::tuple(c[1].mean, c[1].highest, c[1].lowest), std::tuple(75.0, 90.0, 60.0));
    EXPECT_DOUBLE_EQ(c[2].mean, 75);
    // Class 1 has no scores and stays out of the spread.
    EXPECT_DOUBLE_EQ(r->meanSpread(), 0);
}

// The engine against the walk-by-walk reference on random intakes: every mode, every option,
// pupils without sex or school (dealt after the others), equal scores (kept in import order),
// quoted school names, and ranks past the layers.
TEST(DivisionReference, SameClassesAsTheStatementByStatementDivision)
{
    std::mt19937 random(20261206);
    const std::vector<DivisionSettings> settings = {
        balanced(1),
        balanced(4),
        balanced(7, true),
        balanced(5, false, true),
        balanced(6, true, true),
        balanced(40, true, true),
        layered({2, 2, 0, 0}),
        layered({2, 3, 0, 1}, true),
        layered({1, 2, 2, 1}, false, true),
        layered({3, 0, 2, 2}, true, true),
        layered({0, 0, 1, 3}, true, true),
    };
    const QString sexes[] = {"男", "女", "男", "女", "", "x"};
    // Mostly whole and half scores with many ties; a few missing, and a few texts, which the
    // database ranks above every number.
    const auto score = [](unsigned r) {
        if (r % 10 == 0)
            return QVariant();
        if (r % 29 == 0)
            return QVariant(r % 2 ? "缺考" : "免试");
        return QVariant(40 + static_cast<int>(r % 50) + (r % 3 == 0 ? 0.5 : 0.0));
    };
    for (int round = 0; round < 3; ++round) {
        std::vector<PupilRow> rows;
        const int count = 150 + static_cast<int>(random() % 200);
        for (int i = 0; i < count; ++i) {
            const int s = static_cast<int>(random() % 6);
            const int school = static_cast<int>(random() % 9);
            rows.push_back({s == 5 && i % 2 ? QVariant() : QVariant(sexes[s]), score(random()),
                            school == 8   ? QVariant()
                            : school == 7 ? QVariant("")
                                          : QVariant(QString("第%1中学'").arg(school))});
        }
        for (const DivisionSettings &s : settings) {
            DivisionData ours;
            ours.add(rows, 3);
            DivisionData reference;
            // Row-by-row commits are the reference's nature; waiting for the disk on each is not.
            reference.exec({"PRAGMA synchronous = OFF"});
            reference.add(rows, 3);
            const Result<DivisionSummary> r = ClassDivision::run(ours.db, s);
            ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
            const Status literal = test::LiteralDivision(reference.db).run(s);
            ASSERT_TRUE(literal.isOk()) << literal.message().toStdString();
            const std::vector<int> classes = ours.classes();
            EXPECT_EQ(classes, reference.classes())
                << "round " << round << " mode " << static_cast<int>(s.mode) << " sex "
                << s.balanceSex << " school " << s.balanceSchool;
            const int c = s.classCount();
            for (int k : classes)
                ASSERT_TRUE(k >= 1 && k <= c) << k;
            int total = 0;
            for (const ClassBalance &b : r->classes())
                total += b.pupils;
            EXPECT_EQ(total, count);
        }
    }
}

TEST(DivisionSettingsTest, TheStoredSettingsComeBackAndDamageIsRefused)
{
    DivisionSettings layeredRun = layered({2, 0, 3, 1}, true, false);
    layeredRun.refine = true;
    for (const DivisionSettings &s : {balanced(12, false, true), layeredRun}) {
        const Result<DivisionSettings> back = DivisionSettings::fromStored(s.stored());
        ASSERT_TRUE(back.isOk()) << back.status().message().toStdString();
        EXPECT_EQ(back->mode, s.mode);
        EXPECT_EQ(back->classes, s.classes);
        EXPECT_EQ(back->layers, s.layers);
        EXPECT_EQ(back->balanceSex, s.balanceSex);
        EXPECT_EQ(back->balanceSchool, s.balanceSchool);
        EXPECT_EQ(back->refine, s.refine);
    }
    const std::vector<std::pair<QString, QString>> damage = {
        {"方式", "随便"}, {"班数", "0"}, {"各层班数", "1,2,3"}, {"各层班数", "0,0,0,0"}};
    for (const auto &[key, value] : damage) {
        QMap<QString, QString> values = balanced(3).stored();
        values[key] = value;
        EXPECT_EQ(DivisionSettings::fromStored(values).status().message(),
                  "数据库中保存的上次分班设置已损坏。")
            << key.toStdString();
    }
}
