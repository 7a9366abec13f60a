// The "同班考生不相邻" step: neighbouring classmates before and after it on the demo year and
// on a year of 100,000, what it adds to a run, and a hard room beside its lower bound.
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/seatseparation.h"
#include "jobs/import/spreadsheetimport.h"
#include "support/arrangementdata.h"
#include "workbook/demodata.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <limits>
#include <utility>

using namespace fenpai;

namespace {

ArrangementSettings scoreOnly(bool separate)
{
    ArrangementSettings s;
    s.mode = ArrangementSettings::Mode::ScoreOnly;
    s.separateClassmates = separate;
    return s;
}

void demoYear(benchmark::State &state)
{
    QTemporaryDir dir;
    Database db;
    const QString workbook = dir.filePath("demo.xlsx");
    Status s = DemoData::writeArrangement(workbook, DemoOptions{});
    if (s.isOk())
        s = db.open(dir.filePath("bench.db"));
    if (s.isOk())
        s = SpreadsheetImport::importArrangement(db, workbook).status();
    if (!s.isOk()) {
        state.SkipWithError(qPrintable(s.message()));
        return;
    }
    int before = 0;
    int after = 0;
    for (auto _ : state) {
        const Result<ArrangementOutcome> r = Arrangement::run(db, scoreOnly(true));
        if (!r) {
            state.SkipWithError(qPrintable(r.status().message()));
            return;
        }
        before = r->classmatePairsBefore;
        after = r->classmatePairs;
    }
    state.counters["pairs_before"] = before;
    state.counters["pairs_after"] = after;
    std::printf("demo year, 1200 examinees in 40 rooms, mode 3: neighbouring classmates %d "
                "before the step, %d after\n",
                before, after);
}
BENCHMARK(demoYear)->Unit(benchmark::kMillisecond)->Iterations(1);

void largeYear(benchmark::State &state)
{
    QTemporaryDir dir;
    Database db;
    Status s = db.open(dir.filePath("bench.db"));
    if (s.isOk())
        s = test::createArrangementTables(db);
    if (s.isOk())
        s = test::addPupils(db, test::makeYear(100000, 40, static_cast<int>(state.range(0)), 2024));
    if (s.isOk())
        s = test::addRooms(db, QVariantList(3400, 30));
    if (!s.isOk()) {
        state.SkipWithError(qPrintable(s.message()));
        return;
    }
    // Each run rewrites the seats the other one wrote, so both write about as much.
    double plain = std::numeric_limits<double>::max();
    double separated = plain;
    int before = 0;
    int after = 0;
    for (auto _ : state) {
        for (bool separate : {false, true}) {
            QElapsedTimer clock;
            clock.start();
            const Result<ArrangementOutcome> r = Arrangement::run(db, scoreOnly(separate));
            const double seconds = clock.nsecsElapsed() / 1e9;
            if (!r) {
                state.SkipWithError(qPrintable(r.status().message()));
                return;
            }
            (separate ? separated : plain) = std::min(separate ? separated : plain, seconds);
            before = r->classmatePairsBefore;
            after = r->classmatePairs;
        }
    }
    state.counters["run_s"] = plain;
    state.counters["with_step_s"] = separated;
    std::printf("100000 examinees of %d classes in 3400 rooms, mode 3: run %.3f s, with the step "
                "%.3f s (%+.3f s, target < 0.3 s); neighbouring classmates %d before, %d after\n",
                static_cast<int>(state.range(0)), plain, separated, separated - plain, before,
                after);
}
// Classes of 45 as the arrangement bench has them, and 40 classes of 2,500, where every room
// starts with classmates side by side.
BENCHMARK(largeYear)->Arg(100000 / 45)->Arg(40)->Unit(benchmark::kMillisecond)->Iterations(3);

// The fewest neighbouring pairs k desks of one class can form in a full room of rows × cols:
// a row-by-row search over which desks of each row the class takes.
int fewestPairs(int rows, int cols, int k)
{
    const int masks = 1 << cols;
    constexpr int none = std::numeric_limits<int>::max() / 2;
    std::vector<std::vector<int>> best(static_cast<size_t>(masks),
                                       std::vector<int>(static_cast<size_t>(k) + 1, none));
    for (int m = 0; m < masks; ++m) {
        const int n = std::popcount(static_cast<unsigned>(m));
        if (n <= k)
            best[m][n] = std::popcount(static_cast<unsigned>(m & (m >> 1)));
    }
    for (int r = 1; r < rows; ++r) {
        std::vector<std::vector<int>> next(static_cast<size_t>(masks),
                                           std::vector<int>(static_cast<size_t>(k) + 1, none));
        for (int m = 0; m < masks; ++m) {
            for (int n = 0; n <= k; ++n) {
                if (best[m][n] >= none)
                    continue;
                for (int m2 = 0; m2 < masks; ++m2) {
                    const int n2 = n + std::popcount(static_cast<unsigned>(m2));
                    if (n2 > k)
                        continue;
                    const int pairs = best[m][n] +
                                      std::popcount(static_cast<unsigned>(m2 & (m2 >> 1))) +
                                      std::popcount(static_cast<unsigned>(m & m2));
                    next[m2][n2] = std::min(next[m2][n2], pairs);
                }
            }
        }
        best = std::move(next);
    }
    int fewest = none;
    for (int m = 0; m < masks; ++m)
        fewest = std::min(fewest, best[m][k]);
    return fewest;
}

void crowdedRoom(benchmark::State &state)
{
    // A room of 30 (6 rows of 5) holding 18 of one class and four classes of three, seated as
    // mode 3 would leave them: the class in a block.
    const DeskLayout layout(6, 5, 30, SeatOrder::ByColumn);
    std::vector<int> classes(30, 0);
    for (int i = 18; i < 30; ++i)
        classes[static_cast<size_t>(i)] = 1 + (i - 18) / 3;
    int pairs = 0;
    for (auto _ : state) {
        const std::vector<int> from = SeatSeparation::separate(layout, classes);
        std::vector<int> seated(30);
        for (size_t s = 0; s < 30; ++s)
            seated[s] = classes[static_cast<size_t>(from[s])];
        pairs = layout.classmatePairCount(seated);
        benchmark::DoNotOptimize(pairs);
    }
    const int bound = fewestPairs(6, 5, 18);
    state.counters["pairs"] = pairs;
    state.counters["lower_bound"] = bound;
    // The library calls this function more than once to settle its iteration count.
    static bool printed = false;
    if (std::exchange(printed, true))
        return;
    std::printf("room of 30, one class of 18: %d neighbouring classmates before, %d after the "
                "step; lower bound %d\n",
                layout.classmatePairCount(classes), pairs, bound);
}
BENCHMARK(crowdedRoom)->Unit(benchmark::kMicrosecond);

void crowdedHall(benchmark::State &state)
{
    // A hall of 40 rows of 30 desks: one class of 700 beside ten classes of 50, in blocks.
    const DeskLayout layout(40, 30, 1200, SeatOrder::ByColumn);
    std::vector<int> classes(1200, 0);
    for (int i = 700; i < 1200; ++i)
        classes[static_cast<size_t>(i)] = 1 + (i - 700) / 50;
    int pairs = 0;
    for (auto _ : state) {
        const std::vector<int> from = SeatSeparation::separate(layout, classes);
        std::vector<int> seated(classes.size());
        for (size_t s = 0; s < seated.size(); ++s)
            seated[s] = classes[static_cast<size_t>(from[s])];
        pairs = layout.classmatePairCount(seated);
    }
    state.counters["pairs"] = pairs;
    static bool printed = false;
    if (std::exchange(printed, true))
        return;
    std::printf("hall of 1200 desks, one class of 700: %d neighbouring classmates before, %d "
                "after the step\n",
                layout.classmatePairCount(classes), pairs);
}
BENCHMARK(crowdedHall)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
