#include "jobs/division/classdivision.h"

#include "support/divisiontestdata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>

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
}

TEST(BalanceRefinement, WithoutOptionsOnlyTheScoresAndSizesCount)
{
    DivisionData data;
    data.add(intake(301, 5, 11));
    const Result<DivisionSummary> dealt = divide(data, settings(false, false, false, 7));
    const Result<DivisionSummary> r = divide(data, settings(true, false, false, 7));
    ASSERT_TRUE(dealt.isOk());
    ASSERT_TRUE(r.isOk());
    EXPECT_LE(r->sizeSpread(), 1);
    EXPECT_LT(r->meanSpread(), dealt->meanSpread() / 4);
}

TEST(BalanceRefinement, SameTableAndSettingsGiveTheSameClasses)
{
    DivisionData data;
    data.add(intake(240, 6, 3));
    ASSERT_TRUE(divide(data, settings(true, true, true, 8)).isOk());
    const std::vector<int> first = data.classes();
    ASSERT_TRUE(divide(data, settings(false, true, true, 8)).isOk());
    ASSERT_NE(data.classes(), first);
    ASSERT_TRUE(divide(data, settings(true, true, true, 8)).isOk());
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
