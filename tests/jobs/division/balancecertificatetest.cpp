#include "jobs/division/balancecertificate.h"

#include "jobs/division/classdivision.h"
#include "jobs/import/spreadsheetimport.h"
#include "support/tempdata.h"
#include "workbook/demodata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

using namespace fenpai;
using Kind = BalanceCertificate::Kind;
using Pupil = DivisionSummary::Pupil;

namespace {

Pupil pupil(int classNumber, double score, bool boy = true, int school = -1)
{
    return {classNumber, boy, !boy, true, score, school};
}

// The smallest mean spread of any division of the scores into classes of these sizes, by trying
// every one.
double bruteForceMeanSpread(const std::vector<double> &scores, const std::vector<int> &sizes)
{
    std::vector<int> labels;
    for (size_t c = 0; c < sizes.size(); ++c)
        labels.insert(labels.end(), static_cast<size_t>(sizes[c]), static_cast<int>(c));
    double best = 1e300;
    do {
        std::vector<double> sums(sizes.size(), 0.0);
        for (size_t i = 0; i < labels.size(); ++i)
            sums[static_cast<size_t>(labels[i])] += scores[i];
        double low = 1e300, high = -1e300;
        for (size_t c = 0; c < sizes.size(); ++c) {
            low = std::min(low, sums[c] / sizes[c]);
            high = std::max(high, sums[c] / sizes[c]);
        }
        best = std::min(best, high - low);
    } while (std::next_permutation(labels.begin(), labels.end()));
    return best;
}

} // namespace

TEST(BalanceCertificateBounds, MeanBoundOnHandMadeIntakes)
{
    const struct
    {
        std::vector<double> scores;
        std::vector<int> sizes;
        std::optional<double> bound;
    } cases[] = {
        {{70, 70, 70, 70}, {2, 2}, 0.0},             // equal scores: equal means
        {{1, 2, 3, 5}, {2, 2}, 0.5},                 // mean 2.75 between halves: 2.5 and 3
        {{0, 0, 1}, {2, 1}, 0.5},                    // sizes of their own grids
        {{60, 62, 64, 66, 68, 70}, {3, 3}, 2.0 / 3}, // even sums, 195 each impossible
        {{1.0 / 3, 1, 2}, {2, 1}, std::nullopt},     // no decimal step
        {{1, 2, 3}, {2, 2}, std::nullopt},           // sizes that do not hold the pupils
    };
    for (const auto &c : cases) {
        const std::optional<double> bound = BalanceCertificate::meanBound(c.scores, c.sizes);
        ASSERT_EQ(bound.has_value(), c.bound.has_value()) << c.scores.size();
        if (c.bound) {
            EXPECT_NEAR(*bound, *c.bound, 1e-12) << c.scores.size() << ' ' << c.scores[0];
        }
    }
}

// The bound is sound: never above the best any division can do, on small intakes tried whole.
TEST(BalanceCertificateBounds, MeanBoundNeverExceedsTheBestDivision)
{
    std::mt19937 random(7);
    const std::vector<std::vector<int>> shapes = {{2, 2}, {3, 3}, {2, 3}, {2, 2, 3}, {3, 4}};
    int tight = 0;
    for (int round = 0; round < 200; ++round) {
        const std::vector<int> &sizes = shapes[static_cast<size_t>(round) % shapes.size()];
        std::vector<double> scores;
        for (int n = 0; n < std::accumulate(sizes.begin(), sizes.end(), 0); ++n)
            scores.push_back(60 + static_cast<int>(random() % 9) * 0.5);
        std::sort(scores.begin(), scores.end());
        const double best = bruteForceMeanSpread(scores, sizes);
        const std::optional<double> bound = BalanceCertificate::meanBound(scores, sizes);
        ASSERT_TRUE(bound.has_value());
        ASSERT_LE(*bound, best + 1e-9) << "round " << round;
        tight += std::fabs(*bound - best) < 1e-9 ? 1 : 0;
    }
    // Most small intakes reach it: the bound is not a trivial one.
    EXPECT_GT(tight, 100);
}

TEST(BalanceCertificateBounds, CountsDifferUnlessTheClassesDivideThem)
{
    EXPECT_EQ(BalanceCertificate::countBound(12, 4), 0);
    EXPECT_EQ(BalanceCertificate::countBound(13, 4), 1);
    EXPECT_EQ(BalanceCertificate::countBound(0, 3), 0);
}

TEST(BalanceCertificateTexts, SharesAndBoundsAreNeverRoundedUp)
{
    EXPECT_EQ(BalanceCertificate::beatenText(1000, 1000), "100%");
    EXPECT_EQ(BalanceCertificate::beatenText(9999, 10000), "99.9%");
    BalanceCertificate::Criterion mean;
    mean.kind = Kind::Mean;
    mean.reached = 0.006;
    mean.bound = 0.00196;
    EXPECT_EQ(BalanceCertificate::boundText(mean), "0.0019");
    mean.reached = 2.0 / 3;
    mean.bound = 2.0 / 3;
    EXPECT_EQ(BalanceCertificate::boundText(mean), "0.6667"); // reached: the same figure
    mean.bound.reset();
    EXPECT_EQ(BalanceCertificate::boundText(mean), "—");
}

// Seven pupils in two classes: sizes cannot be equal; equal scores give equal means whatever
// the division, so no random division is beaten there.
TEST(BalanceCertificate, SizesNotDivisibleAndEqualScores)
{
    std::vector<Pupil> pupils;
    for (int i = 0; i < 7; ++i)
        pupils.push_back(pupil(1 + i % 2, 80, i % 3 == 0, i % 2));
    const BalanceCertificate cert(pupils, 2, {"一中", "二中"});
    const BalanceCertificate::Criterion *size = cert.find(Kind::Size);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->reached, 1);
    EXPECT_EQ(size->bound, 1);
    EXPECT_FALSE(size->randomMedian.has_value()); // random divisions keep the sizes
    const BalanceCertificate::Criterion *mean = cert.find(Kind::Mean);
    ASSERT_NE(mean, nullptr);
    EXPECT_EQ(mean->reached, 0);
    EXPECT_EQ(mean->bound, 0);
    EXPECT_EQ(mean->randomMedian, 0);
    EXPECT_EQ(mean->beaten, 0);
    EXPECT_FALSE(cert.find(Kind::Sd)->bound.has_value());
    // Boys 0, 3, 6 → classes 1, 2, 1: two and one. Each school sits in one class alone.
    EXPECT_EQ(cert.find(Kind::Boys)->reached, 1);
    EXPECT_EQ(cert.find(Kind::Boys)->bound, 1);
    ASSERT_EQ(cert.criteria().size(), 7u); // size, boys, girls, mean, SD, two schools
    EXPECT_EQ(cert.caption(cert.criteria()[5]), "原学校 一中");
    EXPECT_EQ(cert.criteria()[5].reached, 4);
    EXPECT_EQ(cert.criteria()[5].bound, 0); // 4 pupils over 2 classes
}

// Without scores the mean and SD are left out; a pupil without a score leaves the mean's bound
// unknown, as class sizes then no longer fix the scored counts.
TEST(BalanceCertificate, CriteriaFollowWhatTheIntakeHas)
{
    std::vector<Pupil> pupils = {{1, false, false, false, 0, -1}, {2, false, false, false, 0, -1}};
    BalanceCertificate none(pupils, 2, {});
    EXPECT_EQ(none.criteria().size(), 1u);
    EXPECT_EQ(none.meanLine(), "均衡证明：没有成绩，无法比较各班平均分");

    pupils = {pupil(1, 90), pupil(1, 80), pupil(2, 85), {2, true, false, false, 0, -1}};
    const BalanceCertificate partly(pupils, 2, {});
    ASSERT_NE(partly.find(Kind::Mean), nullptr);
    EXPECT_FALSE(partly.find(Kind::Mean)->bound.has_value());
    EXPECT_EQ(partly.find(Kind::Mean)->reached, 0);
    EXPECT_TRUE(partly.meanLine().contains("可能的最小差无法推算"));
}

// Layers differ by design: spreads, bounds and random divisions stay inside each block.
TEST(BalanceCertificate, LayersAreComparedWithinThemselves)
{
    std::vector<Pupil> pupils;
    for (int i = 0; i < 8; ++i) {
        pupils.push_back(pupil(1 + i % 2, 90 + i % 4)); // layer A: classes 1, 2
        pupils.push_back(pupil(3 + i % 2, 40 + i % 4)); // layer B: classes 3, 4
    }
    const BalanceCertificate layered(pupils, 4, {}, {{1, 2}, {3, 4}});
    EXPECT_TRUE(layered.layered());
    EXPECT_NEAR(layered.find(Kind::Mean)->reached, 1.0, 1e-12); // 90,92,90,92 vs 91,93,91,93
    EXPECT_LT(*layered.find(Kind::Mean)->randomMedian, 3);
    EXPECT_TRUE(layered.meanLine().startsWith("均衡证明：同层各班平均分最大差 1.0000"));

    const BalanceCertificate whole(pupils, 4, {});
    EXPECT_FALSE(whole.layered());
    EXPECT_GT(whole.find(Kind::Mean)->reached, 49);
}

TEST(BalanceCertificate, RandomComparisonIsReproducibleForASeed)
{
    std::vector<Pupil> pupils;
    std::mt19937 random(3);
    for (int i = 0; i < 120; ++i) {
        const double score = 50 + random() % 500 / 10.0;
        const bool boy = random() % 2 == 0;
        pupils.push_back(pupil(1 + i % 4, score, boy, static_cast<int>(random() % 3)));
    }
    BalanceCertificate::Options options;
    options.divisions = 200;
    const BalanceCertificate first(pupils, 4, {"a", "b", "c"}, {}, options);
    const BalanceCertificate again(pupils, 4, {"a", "b", "c"}, {}, options);
    options.seed += 1;
    const BalanceCertificate other(pupils, 4, {"a", "b", "c"}, {}, options);
    ASSERT_EQ(first.criteria().size(), again.criteria().size());
    bool differs = false;
    for (size_t k = 0; k < first.criteria().size(); ++k) {
        EXPECT_EQ(first.criteria()[k].randomMedian, again.criteria()[k].randomMedian);
        EXPECT_EQ(first.criteria()[k].beaten, again.criteria()[k].beaten);
        differs = differs || first.criteria()[k].randomMedian != other.criteria()[k].randomMedian;
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(first.meanLine(), again.meanLine());
}

// On the demo intake the plain serpentine beats fewer random divisions than the refined run,
// and the refined run's mean spread stands at most a few steps above the bound.
TEST(BalanceCertificate, RefinedBeatsMoreRandomDivisionsThanTheSerpentine)
{
    test::TempData data;
    const QString workbook = data.dir.filePath("demo.xlsx");
    ASSERT_TRUE(DemoData::writeDivision(workbook).isOk());
    ASSERT_TRUE(SpreadsheetImport::importDivision(data.db, workbook));
    DivisionSettings settings;
    settings.classes = 12;
    settings.balanceSex = true;
    settings.balanceSchool = true;
    const Result<DivisionSummary> dealt = ClassDivision::run(data.db, settings);
    settings.refine = true;
    const Result<DivisionSummary> refined = ClassDivision::run(data.db, settings);
    ASSERT_TRUE(dealt.isOk() && refined.isOk());
    const BalanceCertificate plain(*dealt);
    const BalanceCertificate best(*refined);
    EXPECT_EQ(plain.divisions(), 1000);
    for (Kind kind : {Kind::Mean, Kind::Sd})
        EXPECT_LT(plain.find(kind)->beaten, best.find(kind)->beaten) << int(kind);
    const BalanceCertificate::Criterion &mean = *best.find(Kind::Mean);
    ASSERT_TRUE(mean.bound.has_value());
    EXPECT_GT(*mean.bound, 0);
    EXPECT_LE(*mean.bound, mean.reached);
    EXPECT_EQ(mean.beaten, 1000);
    // The summary's own spread and the certificate's agree.
    EXPECT_NEAR(mean.reached, refined->meanSpread(), 1e-9);
}
