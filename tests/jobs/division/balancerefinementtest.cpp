#include "jobs/division/balancerefinement.h"
#include "jobs/division/classdivision.h"

#include "support/divisiontestdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <string>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

// An intake like a real one: uneven schools (a few tiny), more boys than girls in some, whole
// and half scores with ties, inserted in no particular order.
std::vector<PupilRow> intake(int pupils, int schools, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<PupilRow> rows;
    for (int i = 0; i < pupils; ++i) {
        const int school = static_cast<int>(random() % static_cast<unsigned>(schools * schools));
        const int s = static_cast<int>(std::sqrt(static_cast<double>(school)));
        const bool boy = random() % 100 < static_cast<unsigned>(40 + 3 * s);
        const double score = 400 + static_cast<double>(random() % 5000) / 20.0 + 8.0 * s;
        rows.push_back(
            {boy ? "男" : "女", std::floor(score * 2) / 2, QStringLiteral("第%1中学").arg(s)});
    }
    return rows;
}

DivisionSettings settings(bool refine, bool sex = true, bool school = true, int classes = 12)
{
    DivisionSettings s;
    s.classes = classes;
    s.balanceSex = sex;
    s.balanceSchool = school;
    s.refine = refine;
    return s;
}

Result<DivisionSummary> divide(DivisionData &data, const DivisionSettings &s)
{
    return ClassDivision::run(data.db, s);
}

// Largest minus smallest count per class of the pupils matching `where`, over classes lo..hi.
int countSpread(DivisionData &data, const QString &where, int lo, int hi)
{
    std::map<int, int> counts;
    for (int c = lo; c <= hi; ++c)
        counts[c] = 0;
    for (int c : data.column("SELECT 新分班 FROM 分班数据表 WHERE " + where))
        ++counts[c];
    int low = 1 << 30;
    int high = 0;
    for (const auto &[c, n] : counts) {
        low = std::min(low, n);
        high = std::max(high, n);
    }
    return high - low;
}

} // namespace

TEST(BalanceRefinement, BothOptionsBringEveryCountWithinOneAndTheMeansTogether)
{
    DivisionData data;
    data.add(intake(600, 9, 7));
    const Result<DivisionSummary> dealt = divide(data, settings(false));
    ASSERT_TRUE(dealt.isOk());
    EXPECT_GE(dealt->sizeSpread(), 3) << "the intake must leave the dealing uneven";
    EXPECT_EQ(dealt->dealt(), nullptr);

    const Result<DivisionSummary> r = divide(data, settings(true));
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    ASSERT_NE(r->dealt(), nullptr);
    EXPECT_EQ(r->dealt()->sizeSpread(), dealt->sizeSpread());
    EXPECT_LE(r->sizeSpread(), 1);
    EXPECT_LE(r->boysSpread(), 1);
    EXPECT_LE(r->girlsSpread(), 1);
    EXPECT_LE(r->schoolSpread(), 1);
    EXPECT_LE(r->meanSpread(), 0.1);
    EXPECT_LT(r->sdSpread(), dealt->sdSpread() / 4);
    // The summary reads what was written.
    EXPECT_LE(countSpread(data, "1=1", 1, 12), 1);
    EXPECT_LE(countSpread(data, "性别='男'", 1, 12), 1);
    EXPECT_LE(countSpread(data, "原学校='第3中学'", 1, 12), 1);

    // The same table and settings give the same classes, whatever the table held before.
    const std::vector<int> first = data.classes();
    ASSERT_TRUE(divide(data, settings(false)).isOk());
    ASSERT_NE(data.classes(), first);
    ASSERT_TRUE(divide(data, settings(true)).isOk());
    EXPECT_EQ(data.classes(), first);
}

TEST(BalanceRefinement, APupilNeverLeavesHisLayer)
{
    DivisionData data;
    data.add(intake(400, 7, 5));
    DivisionSettings s = settings(false);
    s.mode = DivisionSettings::Mode::Layered;
    s.layers = {2, 3, 0, 3};
    ASSERT_TRUE(divide(data, s).isOk());
    const std::vector<int> dealt = data.classes();
    s.refine = true;
    const Result<DivisionSummary> r = divide(data, s);
    ASSERT_TRUE(r.isOk());
    const std::vector<int> refined = data.classes();
    auto layer = [](int c) { return c <= 2 ? 0 : c <= 5 ? 1 : 2; };
    ASSERT_EQ(refined.size(), dealt.size());
    int moved = 0;
    for (size_t i = 0; i < dealt.size(); ++i) {
        EXPECT_EQ(layer(refined[i]), layer(dealt[i])) << "row " << i;
        moved += refined[i] != dealt[i] ? 1 : 0;
    }
    EXPECT_GT(moved, 0);
    for (auto [lo, hi] : {std::pair{1, 2}, std::pair{3, 5}, std::pair{6, 8}}) {
        const QString in = QStringLiteral("新分班 BETWEEN %1 AND %2").arg(lo).arg(hi);
        EXPECT_LE(countSpread(data, in, lo, hi), 1);
        EXPECT_LE(countSpread(data, in + " AND 性别='女'", lo, hi), 1);
    }
    // The summary's spreads are taken inside each layer: layers differ in score by design.
    EXPECT_LE(r->sizeSpread(), 1);
    EXPECT_LE(r->girlsSpread(), 1);
    EXPECT_LE(r->schoolSpread(), 1);
    EXPECT_LT(r->meanSpread(), 1);
    EXPECT_GT(r->classes().front().mean - r->classes().back().mean, 50);
}

TEST(BalanceRefinement, ACancelledRunLeavesTheClassesAsTheyWere)
{
    DivisionData data;
    data.add(intake(120, 4, 9), 5);
    const std::vector<int> before = data.classes();
    const Result<DivisionSummary> r = ClassDivision::run(data.db, settings(true, true, true, 4),
                                                         [](int done, int) { return done == 0; });
    ASSERT_FALSE(r.isOk());
    EXPECT_EQ(r.status().kind(), Status::Kind::Cancelled);
    EXPECT_EQ(data.classes(), before);
}

namespace {

// A table with the three wish columns; rows as intake() makes them.
class WishData : public DivisionData
{
public:
    WishData()
        : DivisionData("姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 TEXT, 新分班 REAL, "
                       "指定班级, 同班 TEXT, 分开 TEXT")
    {}

    void wish(int row, const char *column, const QVariant &value)
    {
        Result<Statement> st =
            db.prepareNative(QStringLiteral("UPDATE 分班数据表 SET %1 = ?1 WHERE rowid = ?2")
                                 .arg(QString::fromUtf8(column)));
        ASSERT_TRUE(st.isOk());
        st->bindAll({value, row});
        ASSERT_TRUE(st->exec().isOk());
    }
    QString name(int row)
    {
        return db.scalar("SELECT 姓名 FROM 分班数据表 WHERE rowid = ?1", {row})->toString();
    }
};

} // namespace

TEST(BalanceRefinement, WishesAreMetBeforeTheBalance)
{
    WishData data;
    data.add(intake(240, 6, 17));
    ASSERT_TRUE(divide(data, settings(false, true, true, 8)).isOk());
    const std::vector<int> dealt = data.classes(); // rowid r is dealt[r - 1]
    // Twins the dealing put into one class; three friends from three classes; a pupil whose
    // class is decided, and one given a class that does not exist.
    int twin = 0;
    for (int r = 2; r <= 240 && !twin; ++r)
        twin = dealt[static_cast<size_t>(r - 1)] == dealt[0] ? r : 0;
    ASSERT_GT(twin, 0);
    data.wish(1, "分开", "双胞胎");
    data.wish(twin, "分开", "双胞胎");
    std::vector<int> friends;
    for (int r = 1; r <= 240 && friends.size() < 3; ++r) {
        const int c = dealt[static_cast<size_t>(r - 1)];
        if (c != dealt[0] && std::none_of(friends.begin(), friends.end(), [&](int f) {
                return dealt[static_cast<size_t>(f - 1)] == c;
            }))
            friends.push_back(r);
    }
    for (int f : friends)
        data.wish(f, "同班", 7); // a number is a code like any other
    const int decided = dealt[9] == 3 ? 11 : 10;
    data.wish(decided, "指定班级", "3班");
    data.wish(20, "指定班级", 99);

    // Without the refinement the dealing stays exactly as it was, and says the wishes went unused.
    const Result<DivisionSummary> off = divide(data, settings(false, true, true, 8));
    ASSERT_TRUE(off.isOk());
    EXPECT_EQ(data.classes(), dealt);
    ASSERT_EQ(off->wishes().notes.size(), 1);
    EXPECT_TRUE(off->wishes().notes[0].contains("没有采用"));

    const Result<DivisionSummary> r = divide(data, settings(true, true, true, 8));
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    const std::vector<int> classes = data.classes();
    EXPECT_NE(classes[0], classes[static_cast<size_t>(twin - 1)]);
    for (int f : friends)
        EXPECT_EQ(classes[static_cast<size_t>(f - 1)],
                  classes[static_cast<size_t>(friends[0] - 1)]);
    EXPECT_EQ(classes[static_cast<size_t>(decided - 1)], 3);
    const WishOutcome &w = r->wishes();
    EXPECT_EQ(w.wishes, 3) << "the class 99 is reported, not counted";
    EXPECT_EQ(w.met, 3);
    EXPECT_EQ(w.metBefore, 0);
    ASSERT_EQ(w.notes.size(), 1);
    EXPECT_TRUE(w.notes[0].contains(data.name(20))) << w.notes[0].toStdString();
    EXPECT_TRUE(w.notes[0].contains("99"));
    // The wishes cost no balance.
    EXPECT_LE(r->sizeSpread(), 1);
    EXPECT_LE(r->boysSpread(), 1);
    EXPECT_LE(r->schoolSpread(), 1);
    EXPECT_LT(r->meanSpread(), 0.5);
}

TEST(BalanceRefinement, WishesThatCannotBeMetAreNamed)
{
    WishData data;
    data.add(intake(120, 4, 23));
    DivisionSettings s = settings(false, true, false);
    s.mode = DivisionSettings::Mode::Layered;
    s.layers = {2, 2, 0, 0};
    ASSERT_TRUE(divide(data, s).isOk());
    const std::vector<int> dealt = data.classes();
    auto rowIn = [&](int lo, int hi, int after) {
        for (int r = after + 1; r <= 120; ++r) {
            if (dealt[static_cast<size_t>(r - 1)] >= lo && dealt[static_cast<size_t>(r - 1)] <= hi)
                return r;
        }
        return 0;
    };
    // Two who must share a class and also be apart.
    const int a = rowIn(1, 2, 0);
    const int b = rowIn(1, 2, a);
    for (int r : {a, b}) {
        data.wish(r, "同班", "甲");
        data.wish(r, "分开", "乙");
    }
    // A class of the other layer; friends in two layers.
    const int upper = rowIn(1, 2, b);
    data.wish(upper, "指定班级", 4);
    const int lower = rowIn(3, 4, 0);
    data.wish(upper + 1 == lower ? upper + 2 : upper + 1, "同班", "丁"); // keeps `upper` alone
    data.wish(lower, "同班", "丁");
    // Ten to be spread over the two classes of their layers.
    for (int r = 101; r <= 110; ++r)
        data.wish(r, "分开", "丙");

    s.refine = true;
    const Result<DivisionSummary> r = divide(data, s);
    ASSERT_TRUE(r.isOk()) << r.status().message().toStdString();
    const std::vector<int> classes = data.classes();
    EXPECT_EQ(classes[static_cast<size_t>(a - 1)], classes[static_cast<size_t>(b - 1)])
        << "同班 wins over 分开";
    const QStringList &notes = r->wishes().notes;
    auto noted = [&](const QString &who, const char *what) {
        return std::any_of(notes.begin(), notes.end(), [&](const QString &n) {
            return n.contains(who) && n.contains(QString::fromUtf8(what));
        });
    };
    EXPECT_TRUE(noted(data.name(a), "互相矛盾") && noted(data.name(b), "互相矛盾"));
    EXPECT_TRUE(noted(data.name(upper), "无法满足"));
    EXPECT_TRUE(noted(data.name(lower), "不在同一层"));
    EXPECT_EQ(notes.size(), 3) << notes.join('\n').toStdString();
    for (auto [lo, hi] : {std::pair{1, 2}, std::pair{3, 4}}) {
        std::map<int, int> per;
        int in = 0;
        for (int row = 101; row <= 110; ++row) {
            const int c = classes[static_cast<size_t>(row - 1)];
            if (c >= lo && c <= hi) {
                ++per[c];
                ++in;
            }
        }
        for (auto [c, n] : per)
            EXPECT_LE(n, (in + 1) / 2) << "class " << c;
    }
}

// Searches held to a pass or none still give every pupil a class of his own range, and pupils
// placed by a wish stay placed; the caps do cut the searches short.
TEST(BalanceRefinement, CappedSearchesStillPlaceEveryPupilInHisRange)
{
    using Limits = BalanceRefinement::Limits;
    // Two ranges dealt badly: nearly everybody in the first class of his range.
    std::mt19937 random(3);
    std::vector<BalanceRefinement::Pupil> dealt;
    for (int i = 0; i < 60; ++i) {
        BalanceRefinement::Pupil p;
        p.classNumber = i < 30 ? 1 + (i % 5 == 0) : 4 + (i % 7 == 0);
        p.sex = random() % 3 == 0;
        p.school = static_cast<int>(random() % 4);
        p.scored = i % 9 != 0;
        p.score = 300 + random() % 200;
        dealt.push_back(p);
    }
    dealt[3].fixedClass = 3;
    dealt[40].fixedClass = 5;
    const std::vector<std::pair<int, int>> ranges = {{1, 3}, {4, 6}};
    const auto refined = [&](const Limits &limits) {
        std::vector<BalanceRefinement::Pupil> pupils = dealt;
        BalanceRefinement::refine(pupils, ranges, true, true, limits);
        std::vector<int> classes;
        for (const BalanceRefinement::Pupil &p : pupils)
            classes.push_back(p.classNumber);
        return classes;
    };
    const std::vector<int> free = refined({});
    for (const Limits &limits :
         {Limits{0, 1000}, Limits{1, 1000}, Limits{std::numeric_limits<int>::max(), 0},
          Limits{std::numeric_limits<int>::max(), 1}}) {
        const std::vector<int> classes = refined(limits);
        const std::string caps =
            std::to_string(limits.countRounds) + "/" + std::to_string(limits.descentPasses);
        ASSERT_EQ(classes.size(), dealt.size());
        for (size_t i = 0; i < classes.size(); ++i) {
            const bool first = dealt[i].classNumber <= 3;
            EXPECT_TRUE(first ? classes[i] >= 1 && classes[i] <= 3
                              : classes[i] >= 4 && classes[i] <= 6)
                << "pupil " << i << ", caps " << caps;
        }
        EXPECT_EQ(classes[3], 3) << caps;
        EXPECT_EQ(classes[40], 5) << caps;
        EXPECT_NE(classes, free) << caps;
    }
}
