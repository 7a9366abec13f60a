// The arrangement on a large year, each mode including the write and the summary the command
// line prints, beside SQLite's own floor for the same table: sorting every row and writing one
// column of each in one transaction. Then the step-by-step design (a walk per step, one UPDATE
// per row, each committed on its own) beside ours for mode 2.
#include "db/largepagecache.h"
#include "db/rowcursor.h"
#include "db/transaction.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/lateseating.h"
#include "support/arrangementdata.h"
#include "support/literalarrangement.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

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

// The least any arrangement must do on the database: read the rows in score order and write
// one column of each, in one transaction, with the same page cache as the run.
Status sqliteFloor(Database &db, qint64 base)
{
    const LargePageCache cache(db);
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    Result<RowCursor> read =
        RowCursor::prepare(db, QStringLiteral("SELECT rowid FROM 考生表 ORDER BY 成绩 DESC"));
    if (!read)
        return read.status();
    std::vector<qint64> rowids;
    for (;;) {
        const Result<bool> row = read->next();
        if (!row)
            return row.status();
        if (!*row)
            break;
        rowids.push_back(read->integer(0));
    }
    Result<RowCursor> write =
        RowCursor::prepare(db, QStringLiteral("UPDATE 考生表 SET 考号 = ? WHERE rowid = ?"));
    if (!write)
        return write.status();
    for (size_t i = 0; i < rowids.size(); ++i) {
        write->bindInteger(1, base + static_cast<qint64>(i));
        write->bindInteger(2, rowids[i]);
        if (const Status s = write->run(); !s.isOk())
            return s;
    }
    return transaction.commit();
}

// What `fenpai arrange` does: the run, whose outcome carries the summary it prints.
Status arrangeWithSummary(Database &db, const ArrangementSettings &settings)
{
    const Result<ArrangementOutcome> r = Arrangement::run(db, settings);
    if (!r)
        return r.status();
    benchmark::DoNotOptimize(r->summary.classmatePairs);
    return Status::ok();
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
    double floorMs = 0;
    double runMs = 0;
    QElapsedTimer clock;
    for (auto _ : state) {
        // A new start number each time, so every iteration rewrites every row. The floor is
        // measured beside each run, so both see the same machine load.
        odd = !odd;
        settings.startNumber = odd ? 3100001 : 2100001;
        state.PauseTiming();
        clock.start();
        const Status f = sqliteFloor(data->db, odd ? 5100001 : 4100001);
        floorMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
        clock.restart();
        const Status s = arrangeWithSummary(data->db, settings);
        runMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!f.isOk() || !s.isOk()) {
            state.SkipWithError(qPrintable((f.isOk() ? s : f).message()));
            return;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorMs / n;
    state.counters["run_ms"] = runMs / n;
    state.counters["ratio"] = runMs / floorMs;
    std::printf("mode %d, 100000 examinees, 3400 rooms: run and summary %.1f ms, "
                "SQLite floor %.1f ms, %.2fx the floor\n",
                static_cast<int>(state.range(0)), runMs / n, floorMs / n, runMs / floorMs);
    state.SetLabel(
        QStringLiteral("mode %1, 100000 examinees, 3400 rooms").arg(state.range(0)).toStdString());
}
BENCHMARK(arrangeYear)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

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

// 200 late examinees seated into an arrangement of 100,000 (3,400 rooms of 30, so 2,000 free
// seats), read, seated, numbered and written in one transaction. Target: under 0.5 s.
void placeLateExaminees(benchmark::State &state)
{
    const int mode = static_cast<int>(state.range(0));
    std::unique_ptr<BenchData> data = makeData(100000, 3400);
    if (!data || !arrangeWithSummary(data->db, settingsFor(mode)).isOk()) {
        state.SkipWithError("no data");
        return;
    }
    const std::vector<test::Pupil> late = test::makeYear(200, 40, 100000 / 45, 7);
    double totalMs = 0;
    size_t seated = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!test::addPupils(data->db, late).isOk()) {
            state.SkipWithError("no late examinees");
            return;
        }
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        const Result<SeatingOutcome> r = LateSeating::run(data->db);
        totalMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        state.PauseTiming();
        if (!r) {
            state.SkipWithError(qPrintable(r.status().message()));
            return;
        }
        seated = r->seated.size();
        // The late ones leave again, so each iteration seats the same 200.
        if (!data->db.execNative("DELETE FROM 考生表 WHERE rowid > 100000").isOk()) {
            state.SkipWithError("cannot remove the late examinees");
            return;
        }
        state.ResumeTiming();
    }
    const double ms = totalMs / static_cast<double>(state.iterations());
    state.counters["place_ms"] = ms;
    std::printf("mode %d, 100000 examinees arranged, %zu late placed: %.1f ms (target < 500 ms)\n",
                mode, seated, ms);
}
BENCHMARK(placeLateExaminees)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace

BENCHMARK_MAIN();
