// Class division on a large intake: the in-memory dealing with one transaction, and beside it the
// statement-per-walk, UPDATE-per-row design that commits every row on its own.

#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/division/classdivision.h"
#include "support/literaldivision.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

using namespace fenpai;

namespace {

// The benchmark's own setup cannot go on after a failed statement.
void must(const Status &status)
{
    if (!status.isOk())
        std::abort();
}

// An intake of `pupils` rows as an import makes it: 40 source schools, boys and girls, a few
// pupils without a school or sex, scores with many ties.
struct Intake
{
    explicit Intake(int pupils)
        : directory(dir.path())
    {
        if (!directory.openDatabase(db).isOk())
            std::abort();
        must(
            db.exec("CREATE TABLE 分班数据表 (姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 "
                    "TEXT, 新分班 REAL)"));
        Result<Statement> insert =
            db.prepareNative("INSERT INTO 分班数据表 VALUES (?1, ?2, ?3, ?4, '1班', 0)");
        std::mt19937 random(42);
        must(db.begin());
        for (int i = 0; i < pupils; ++i) {
            const unsigned r = static_cast<unsigned>(random());
            const QVariant sex = r % 50 == 0 ? QVariant() : QVariant(r % 2 ? "女" : "男");
            const QVariant school =
                r % 97 == 0 ? QVariant() : QVariant(QStringLiteral("第%1中学").arg(r % 40));
            insert->bindAll(
                {QStringLiteral("学生%1").arg(i), sex, 300 + (r >> 8) % 4000 / 10.0, school});
            must(insert->exec());
            insert->reset();
        }
        must(db.commit());
    }

    QTemporaryDir dir;
    DataDirectory directory;
    Database db;
};

DivisionSettings settingsFor(bool layered)
{
    DivisionSettings s;
    s.balanceSex = true;
    s.balanceSchool = true;
    if (layered) {
        s.mode = DivisionSettings::Mode::Layered;
        s.layers = {4, 8, 8, 4};
    } else {
        s.classes = 24;
    }
    return s;
}

void runDivision(benchmark::State &state, bool layered)
{
    Intake intake(static_cast<int>(state.range(0)));
    const DivisionSettings s = settingsFor(layered);
    for (auto _ : state) {
        const Result<DivisionSummary> r = ClassDivision::run(intake.db, s);
        if (!r)
            state.SkipWithError(r.status().message().toStdString().c_str());
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_DivisionBalanced(benchmark::State &state)
{
    runDivision(state, false);
}
void BM_DivisionLayered(benchmark::State &state)
{
    runDivision(state, true);
}

BENCHMARK(BM_DivisionBalanced)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DivisionLayered)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both designs once on the same 10,000-pupil file (balanced, both options). The row-by-row run
// waits for the disk at every commit, so it takes minutes.
void BM_RowByRowComparison(benchmark::State &state)
{
    const int pupils = 10000;
    const DivisionSettings s = settingsFor(false);
    for (auto _ : state) {
        Intake ours(pupils);
        Intake literal(pupils);
        QElapsedTimer clock;
        clock.start();
        const Result<DivisionSummary> r = ClassDivision::run(ours.db, s);
        const double oursMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        clock.restart();
        const Status l = test::LiteralDivision(literal.db).run(s);
        const double literalMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!r || !l.isOk()) {
            state.SkipWithError("a division failed");
            return;
        }
        state.counters["ours_ms"] = oursMs;
        state.counters["row_by_row_ms"] = literalMs;
        state.counters["ratio"] = literalMs / oursMs;
        std::printf("10,000 pupils: ours %.1f ms, row by row %.1f ms, ratio %.0fx\n", oursMs,
                    literalMs, literalMs / oursMs);
    }
}

BENCHMARK(BM_RowByRowComparison)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
