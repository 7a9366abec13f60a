#include "jobs/division/classplacement.h"
#include "jobs/division/classdivision.h"

#include "grid/grid.h"
#include "support/divisiontestdata.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

// An intake of `n` pupils of four schools, boys and girls alternating, scores spread.
std::vector<PupilRow> intake(int n, unsigned seed = 7)
{
    std::mt19937 random(seed);
    std::vector<PupilRow> rows;
    for (int i = 0; i < n; ++i) {
        const QString school = QStringLiteral("第%1小学").arg(random() % 4 + 1);
        rows.push_back(
            {i % 2 ? "女" : "男", 400 + static_cast<int>(random() % 3000) / 10.0, school});
    }
    return rows;
}

DivisionSettings balanced(int classes, bool sex = true, bool school = true)
{
    DivisionSettings s;
    s.classes = classes;
    s.balanceSex = sex;
    s.balanceSchool = school;
    s.refine = true;
    return s;
}

void divide(DivisionData &data, const DivisionSettings &settings)
{
    const Result<DivisionSummary> r = ClassDivision::run(data.db, settings);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
}

PlacementOutcome place(DivisionData &data, int maxMoves,
                       const PlacementSearch::Limits &limits = PlacementSearch::Limits())
{
    PlacementSettings s;
    s.maxMoves = maxMoves;
    Result<PlacementOutcome> r = ClassPlacement::run(data.db, s, limits);
    EXPECT_TRUE(r.isOk()) << r.status().message().toStdString();
    return r ? *r : PlacementOutcome();
}

// rowid → class, for comparing before and after.
std::map<qint64, int> classesByRow(DivisionData &data)
{
    std::map<qint64, int> out;
    for (const QString &line : data.rows("SELECT rowid, 新分班 FROM 分班数据表")) {
        const QStringList f = line.split(u'\t');
        out[f[0].toLongLong()] = f[1].toInt();
    }
    return out;
}

// Pupils whose class differs between the two, late pupils (class 0 before) left out.
int movedBetween(const std::map<qint64, int> &before, const std::map<qint64, int> &after)
{
    int moved = 0;
    for (const auto &[row, cls] : before) {
        if (cls > 0 && after.count(row) && after.at(row) != cls)
            ++moved;
    }
    return moved;
}

} // namespace

TEST(ClassPlacement, WithoutMovesOnlyTheLatePupilsAreWrittenAndSizesStayWithinOne)
{
    DivisionData data;
    data.add(intake(120));
    divide(data, balanced(6));
    const std::map<qint64, int> before = classesByRow(data);
    // Late pupils of extreme scores, some with 新分班 empty, some with 0.
    data.add({{"男", 700, "第1小学"}, {"女", 705, "第2小学"}, {"男", 120, "第3小学"}});
    data.add({{"女", 90, "第4小学"}, {"男", {}, {}}}, 0);
    data.exec({"UPDATE 分班数据表 SET 新分班 = NULL WHERE rowid IN (121, 122)"});

    const PlacementOutcome out = place(data, 0);
    const std::map<qint64, int> after = classesByRow(data);
    EXPECT_EQ(movedBetween(before, after), 0);
    EXPECT_TRUE(out.moved.empty());
    ASSERT_EQ(out.placed.size(), 5u);
    std::set<int> classesUsed;
    for (const ClassChange &c : out.placed) {
        EXPECT_EQ(c.from, 0);
        EXPECT_GE(c.to, 1);
        EXPECT_LE(c.to, 6);
        EXPECT_EQ(after.at(c.rowid), c.to);
        classesUsed.insert(c.to);
    }
    EXPECT_EQ(classesUsed.size(), 5u) << "five late pupils, six classes of equal size";
    EXPECT_LE(out.after.sizeSpread(), 1);
    EXPECT_LE(out.after.boysSpread(), 1);
    EXPECT_TRUE(out.lastRunKnown);
}

TEST(ClassPlacement, AMoveBudgetIsNeverExceededAndBuysBalance)
{
    // Extreme late pupils: the budget buys the means back; more budget never balances worse.
    double lastSpread = 1e9;
    for (int budget : {0, 2, 6, 20}) {
        DivisionData data;
        data.add(intake(160, 11));
        divide(data, balanced(8));
        const std::map<qint64, int> before = classesByRow(data);
        data.add({{"男", 750, "第1小学"},
                  {"女", 748, "第2小学"},
                  {"男", 745, "第3小学"},
                  {"女", 40, "第4小学"},
                  {"男", 35, "第1小学"},
                  {"女", 30, "第2小学"}});
        const PlacementOutcome out = place(data, budget);
        const std::map<qint64, int> after = classesByRow(data);
        SCOPED_TRACE(budget);
        EXPECT_EQ(movedBetween(before, after), static_cast<int>(out.moved.size()));
        EXPECT_LE(static_cast<int>(out.moved.size()), budget);
        EXPECT_LE(out.after.sizeSpread(), 1);
        EXPECT_LE(out.after.boysSpread(), 1);
        EXPECT_LE(out.after.girlsSpread(), 1);
        EXPECT_LE(out.after.meanSpread(), lastSpread + 1e-9);
        lastSpread = out.after.meanSpread();
        for (const ClassChange &c : out.moved) {
            EXPECT_EQ(before.at(c.rowid), c.from);
            EXPECT_EQ(after.at(c.rowid), c.to);
        }
    }
    EXPECT_LT(lastSpread, 1.0);
}

TEST(ClassPlacement, AfterWithdrawalsOnlyTheBudgetRebalancesTheSizes)
{
    DivisionData data;
    data.add(intake(60, 3));
    divide(data, balanced(3, false, false));
    // Three pupils of class 1 withdraw: 17, 20, 20.
    data.exec({"DELETE FROM 分班数据表 WHERE rowid IN (SELECT rowid FROM 分班数据表 WHERE "
               "新分班 = 1 LIMIT 3)"});
    PlacementOutcome out = place(data, 0);
    EXPECT_TRUE(out.placed.empty());
    EXPECT_TRUE(out.moved.empty());
    EXPECT_EQ(out.after.sizeSpread(), 3);

    out = place(data, 2);
    EXPECT_TRUE(out.placed.empty());
    EXPECT_EQ(out.moved.size(), 2u);
    EXPECT_EQ(out.after.sizeSpread(), 0);
    for (const ClassChange &c : out.moved)
        EXPECT_EQ(c.to, 1);
}

TEST(ClassPlacement, WishesAreKept)
{
    DivisionData data("姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 TEXT, 新分班 REAL, "
                      "指定班级 TEXT, 同班 TEXT, 分开 TEXT");
    data.add(intake(80, 5));
    // A placed pupil with a set class and a placed pair that shares a class.
    data.exec({"UPDATE 分班数据表 SET 指定班级 = '2' WHERE rowid = 1",
               "UPDATE 分班数据表 SET 同班 = 'T' WHERE rowid IN (2, 3)"});
    divide(data, balanced(4));
    const std::map<qint64, int> before = classesByRow(data);
    ASSERT_EQ(before.at(1), 2);
    ASSERT_EQ(before.at(2), before.at(3));
    // Late: one set to class 3, one joining the pair, two to be kept apart from each other.
    data.add({{"男", 700, "第1小学", "甲"},
              {"女", 300, "第1小学", "乙"},
              {"男", 650, "第2小学", "丙"},
              {"女", 655, "第2小学", "丁"}});
    data.exec({"UPDATE 分班数据表 SET 指定班级 = '3班' WHERE 姓名 = '甲'",
               "UPDATE 分班数据表 SET 同班 = 'T' WHERE 姓名 = '乙'",
               "UPDATE 分班数据表 SET 分开 = 'A' WHERE 姓名 IN ('丙', '丁')"});

    for (int budget : {0, 30}) {
        const PlacementOutcome out = place(data, budget);
        const std::map<qint64, int> after = classesByRow(data);
        SCOPED_TRACE(budget);
        EXPECT_EQ(after.at(1), 2);
        EXPECT_EQ(after.at(2), before.at(2));
        EXPECT_EQ(after.at(3), before.at(3));
        EXPECT_EQ(data.rows("SELECT 新分班 FROM 分班数据表 WHERE 姓名 = '甲'"), QStringList{"3"});
        EXPECT_EQ(data.rows("SELECT 新分班 FROM 分班数据表 WHERE 姓名 = '乙'"),
                  QStringList{QString::number(before.at(2))});
        const QStringList apart =
            data.rows("SELECT DISTINCT 新分班 FROM 分班数据表 WHERE 分开 = 'A'");
        EXPECT_EQ(apart.size(), 2);
        EXPECT_TRUE(out.notes.isEmpty()) << out.notes.join(u'\n').toStdString();
        // The second round finds nobody late: it may only rebalance.
        data.exec({"UPDATE 分班数据表 SET 新分班 = 0 WHERE 姓名 IN ('甲', '乙', '丙', '丁')"});
    }
}

TEST(ClassPlacement, LayeredDivisionsKeepEveryPupilInHisLayer)
{
    DivisionData data;
    data.add(intake(90, 9));
    DivisionSettings layers;
    layers.mode = DivisionSettings::Mode::Layered;
    layers.layers = {2, 0, 3, 1};
    layers.balanceSex = true;
    divide(data, layers);
    const std::map<qint64, int> before = classesByRow(data);
    // The best, a middling and the weakest score of the intake, and one without a score.
    data.add(
        {{"男", 999, "第1小学"}, {"女", 560, "第1小学"}, {"男", 1, "第1小学"}, {"女", {}, {}}});
    const PlacementOutcome out = place(data, 40);
    ASSERT_EQ(out.placed.size(), 4u);
    EXPECT_TRUE(out.layered);
    auto layer = [](int cls) { return cls <= 2 ? 0 : cls <= 5 ? 1 : 2; };
    EXPECT_EQ(layer(out.placed[0].to), 0);
    EXPECT_EQ(layer(out.placed[2].to), 2);
    EXPECT_EQ(layer(out.placed[3].to), 2);
    const std::map<qint64, int> after = classesByRow(data);
    for (const auto &[row, cls] : before)
        EXPECT_EQ(layer(after.at(row)), layer(cls)) << row;
    // The middling score joins the first layer whose weakest pupil placed before it reaches.
    auto lowest = [&](int from, int to) {
        return data
            .rows(QString("SELECT min(成绩) FROM 分班数据表 WHERE 新分班 BETWEEN %1 AND %2 "
                          "AND rowid <= 90")
                      .arg(from)
                      .arg(to))
            .value(0)
            .toDouble();
    };
    const int expected = 560 >= lowest(1, 2) ? 0 : 560 >= lowest(3, 5) ? 1 : 2;
    EXPECT_EQ(layer(out.placed[1].to), expected);
}

TEST(ClassPlacement, RefusesWhatItCannotContinue)
{
    struct Case
    {
        const char *name;
        std::function<void(DivisionData &)> prepare;
        const char *message;
    };
    const std::vector<Case> cases = {
        {"nothing divided", [](DivisionData &d) { d.add(intake(10)); },
         "分班数据表中还没有分好班的学生，请先分班。"},
        {"a gap without the last run's settings",
         [](DivisionData &d) {
             d.add({{"男", 1, "a"}, {"女", 2, "a"}}, 1);
             d.add({{"男", 3, "a"}}, 3);
             d.add({{"女", 4, "a"}}, 0);
         },
         "新分班中的班号不连续（最大是3班，但只有2个班有学生），不知道该分到哪些班，请重新分班。"},
        {"a class past the last run's",
         [](DivisionData &d) {
             d.add(intake(10));
             divide(d, balanced(2));
             d.exec({"UPDATE 分班数据表 SET 新分班 = 5 WHERE rowid = 1"});
         },
         "新分班中有第5班，但上次分班只分了2个班，无法接着安置，请重新分班。"},
        {"damaged settings",
         [](DivisionData &d) {
             d.add(intake(10));
             divide(d, balanced(2));
             d.exec({"UPDATE 上次运行设置 SET 数值 = 'x' WHERE 项目 = '方式'"});
         },
         "数据库中保存的上次分班设置已损坏。请重新分班。"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DivisionData data;
        c.prepare(data);
        const QStringList before = data.rows("SELECT rowid, 新分班 FROM 分班数据表");
        const Result<PlacementOutcome> r =
            ClassPlacement::run(data.db, PlacementSettings{5, {}, {}});
        ASSERT_FALSE(r.isOk());
        EXPECT_EQ(r.status().message(), c.message);
        EXPECT_EQ(data.rows("SELECT rowid, 新分班 FROM 分班数据表"), before);
    }
    fenpai::test::TempData none;
    const Result<PlacementOutcome> missing = ClassPlacement::run(none.db, PlacementSettings{});
    EXPECT_EQ(missing.status().kind(), Status::Kind::MissingTable);
}

TEST(ClassPlacement, TheLastFullDivisionIsKeptAndFollowed)
{
    DivisionData data;
    data.add(intake(40));
    DivisionSettings s = balanced(4, true, false);
    divide(data, s);
    data.add({{"男", 500, "第1小学"}});
    PlacementOutcome out = place(data, 0);
    EXPECT_TRUE(out.balanceSex);
    EXPECT_FALSE(out.balanceSchool);
    // Options given override the stored ones; without stored settings the table's classes.
    data.exec({"DROP TABLE 上次运行设置"});
    data.add({{"女", 500, "第1小学"}});
    PlacementSettings p;
    p.balanceSchool = true;
    Result<PlacementOutcome> r = ClassPlacement::run(data.db, p);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    EXPECT_FALSE(r->lastRunKnown);
    EXPECT_FALSE(r->balanceSex);
    EXPECT_TRUE(r->balanceSchool);
    EXPECT_EQ(r->classCount, 4);
    EXPECT_EQ(ClassPlacement::latePupilCount(data.db).value(), 0);
}

TEST(ClassPlacement, CappedSearchesStillKeepTheBudgetAndPlaceEveryone)
{
    for (int steps : {0, 1, 3}) {
        DivisionData data;
        data.add(intake(100, 13));
        divide(data, balanced(5));
        data.exec({"DELETE FROM 分班数据表 WHERE rowid IN (1, 2, 3, 4, 5, 6, 7)"});
        data.add({{"男", 800, "第1小学"}, {"女", 20, "第2小学"}});
        const std::map<qint64, int> before = classesByRow(data);
        const PlacementOutcome out = place(data, 10, PlacementSearch::Limits{steps});
        SCOPED_TRACE(steps);
        EXPECT_EQ(out.placed.size(), 2u);
        EXPECT_LE(static_cast<int>(out.moved.size()), std::min(10, 2 * steps));
        EXPECT_EQ(movedBetween(before, classesByRow(data)), static_cast<int>(out.moved.size()));
        EXPECT_EQ(data.rows("SELECT count(*) FROM 分班数据表 WHERE 新分班 NOT BETWEEN 1 AND 5"),
                  QStringList{"0"});
    }
}

TEST(ClassPlacement, TheListNamesEveryPlacedAndMovedPupil)
{
    PlacementOutcome out;
    out.placed.push_back({1, "张三", "男", 512.5, "第1小学", 0, 3});
    out.moved.push_back({2, "李四", "女", QVariant(), "", 2, 5});
    Grid grid;
    ClassPlacement::fillList(grid, out, {"左", "右", false});
    ASSERT_EQ(grid.rows(), 4) << "the header, two pupils, the blank row";
    QStringList lines;
    for (int r = 1; r < 3; ++r) {
        QStringList cells;
        for (int c = 1; c < grid.cols(); ++c)
            cells.append(grid.cellText(r, c));
        lines.append(cells.join(u'|'));
    }
    EXPECT_EQ(lines, (QStringList{"张三|男|512.5|第1小学||3|新增学生", "李四|女|||2|5|调班"}));
}

TEST(PlacementSettings, MovesAreWholeNumbersFromZero)
{
    EXPECT_EQ(PlacementSettings::parseMaxMoves(" 12 ").value(), 12);
    EXPECT_EQ(PlacementSettings::parseMaxMoves("0").value(), 0);
    for (const char *bad : {"-1", "3人"})
        EXPECT_EQ(PlacementSettings::parseMaxMoves(bad).status().message(),
                  "允许调动的人数必须是不小于0的整数。")
            << bad;
    EXPECT_EQ(PlacementSettings::parseMaxMoves("100001").status().message(),
              "允许调动的人数不能超过100000。");
}
