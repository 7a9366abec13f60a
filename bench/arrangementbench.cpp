// The arrangement on a large year, each mode including the write, and the step-by-step design
// (a walk per step, one UPDATE per row, each committed on its own) beside ours for mode 2.
#include "jobs/arrangement/arrangement.h"
#include "support/arrangementdata.h"
#include "support/literalarrangement.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

using namespace fenpai;

namespace {

struct BenchData
{
    QTemporaryDir dir;
    Database db;
};

std::unique_ptr<BenchData> makeData(int examinees, int rooms, const char *pragmas = "")
{
    auto data = std::make_unique<BenchData>();
    Status s = data->db.open(data->dir.filePath("bench.db"));
    if (s.isOk())
        s = data->db.execNative(QString::fromUtf8(pragmas));
    if (s.isOk())
        s = test::createArrangementTables(data->db);
    if (s.isOk())
        s = test::addPupils(data->db, test::makeYear(examinees, 40, examinees / 45, 2024));
    if (s.isOk())
        s = test::addRooms(data->db, QVariantList(rooms, 30));
    if (!s.isOk()) {
        std::fprintf(stderr, "%s\n", qPrintable(s.message()));
        return nullptr;
    }
    return data;
}

ArrangementSettings settingsFor(int mode)
{
    ArrangementSettings s;
    s.mode = static_cast<ArrangementSettings::Mode>(mode);
    return s;
}

void arrangeYear(benchmark::State &state)
{
    // 100,000 examinees in 3,400 rooms of 30, on the database's default (durable) settings.
    static std::unique_ptr<BenchData> data = makeData(100000, 3400);
    if (!data) {
        state.SkipWithError("no data");
        return;
    }
    ArrangementSettings settings = settingsFor(static_cast<int>(state.range(0)));
    bool odd = false;
    for (auto _ : state) {
        // A new start number each time, so every iteration rewrites every row.
        odd = !odd;
        settings.startNumber = odd ? 3100001 : 2100001;
        const Result<ArrangementOutcome> r = Arrangement::run(data->db, settings);
        if (!r) {
            state.SkipWithError(qPrintable(r.status().message()));
            return;
        }
        benchmark::DoNotOptimize(r->rowsWritten);
    }
    state.SetLabel(
        QStringLiteral("mode %1, 100000 examinees, 3400 rooms").arg(state.range(0)).toStdString());
}
BENCHMARK(arrangeYear)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(5);

void stepByStepVersusOurs(benchmark::State &state)
{
    // WAL with synchronous=NORMAL makes a commit cheap, which favours the row-by-row design;
    // both runs use the same settings.
    const char *pragmas = "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;";
    const ArrangementSettings settings = settingsFor(2);
    double literalMs = 0;
    double oursMs = 0;
    for (auto _ : state) {
        std::unique_ptr<BenchData> walked = makeData(10000, 340, pragmas);
        std::unique_ptr<BenchData> ours = makeData(10000, 340, pragmas);
        if (!walked || !ours) {
            state.SkipWithError("no data");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        const Status w = LiteralArrangement::run(walked->db, settings, true);
        literalMs = clock.nsecsElapsed() / 1e6;
        clock.restart();
        const Result<ArrangementOutcome> r = Arrangement::run(ours->db, settings);
        oursMs = clock.nsecsElapsed() / 1e6;
        if (!w.isOk() || !r) {
            state.SkipWithError("run failed");
            return;
        }
    }
    state.counters["step_by_step_ms"] = literalMs;
    state.counters["ours_ms"] = oursMs;
    state.counters["ratio"] = literalMs / oursMs;
    std::printf("mode 2, 10000 examinees: step by step %.1f ms, ours %.1f ms, %.0fx faster\n",
                literalMs, oursMs, literalMs / oursMs);
}
BENCHMARK(stepByStepVersusOurs)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
