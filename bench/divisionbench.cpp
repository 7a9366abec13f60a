// Class division on a large intake: the in-memory dealing with one transaction, and beside it the
// statement-per-walk, UPDATE-per-row design that commits every row on its own.

#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/division/classdivision.h"
#include "jobs/division/classplacement.h"
#include "jobs/import/spreadsheetimport.h"
#include "support/literaldivision.h"
#include "workbook/demodata.h"

#include <QElapsedTimer>
#include <QFile>
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

// The refinement on the peer's intakes and on the bundled demo, 12 / 40 / 400 classes with both
// options: dealing alone, then dealing and refinement, beside the peer's best figures.
struct Peer
{
    const char *name;
    const char *file; // in bench-data, or empty for the bundled demo workbook
    int classes;
    double mean, sd, seconds;
};

void fillFromCsv(Database &db, const QString &path)
{
    must(db.exec("CREATE TABLE 分班数据表 (姓名 TEXT, 性别 TEXT, 成绩 REAL, 原学校 TEXT, 原班级 "
                 "TEXT, 新分班 REAL)"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    Result<Statement> insert =
        db.prepareNative("INSERT INTO 分班数据表 VALUES (?1, ?2, ?3, ?4, '', 0)");
    must(db.begin());
    file.readLine(); // header
    while (!file.atEnd()) {
        const QStringList f = QString::fromUtf8(file.readLine()).trimmed().split(u',');
        if (f.size() < 4)
            continue;
        insert->bindAll({f[0], f[1], f[2].toDouble(), f[3]});
        must(insert->exec());
        insert->reset();
    }
    must(db.commit());
}

void BM_Refinement(benchmark::State &state)
{
    static const Peer peers[] = {
        {"demo", "", 12, 0.008, 0.0109, 3.263},
        {"a.csv", "a.csv", 10, 0.0111, 0.0404, 1.332},
        {"b.csv", "b.csv", 40, 0.010, 0.0174, 2.814},
        {"c.csv", "c.csv", 400, 0.010, 0.0156, 476.56},
    };
    const Peer &peer = peers[state.range(0)];
    QTemporaryDir dir;
    DataDirectory directory(dir.path());
    Database db;
    must(directory.openDatabase(db));
    if (*peer.file) {
        fillFromCsv(db, QStringLiteral(FENPAI_SOURCE_DIR "/../shared/bench-data/") +
                            QLatin1String(peer.file));
    } else {
        const QString workbook = dir.filePath("demo.xlsx");
        must(DemoData::writeDivision(workbook));
        if (!SpreadsheetImport::importDivision(db, workbook))
            std::abort();
    }
    DivisionSettings s;
    s.classes = peer.classes;
    s.balanceSex = true;
    s.balanceSchool = true;
    s.refine = true;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const Result<DivisionSummary> r = ClassDivision::run(db, s);
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (!r || !r->dealt()) {
            state.SkipWithError("the division failed");
            return;
        }
        const DivisionSummary &d = *r->dealt();
        std::printf("%-6s %4d pupils %3d classes | %-9s %8s %8s %5s %5s %5s %6s %8s\n", peer.name,
                    r->pupils(), peer.classes, "", "mean", "SD", "size", "boys", "girls", "school",
                    "seconds");
        std::printf("%38s dealing   %8.3f %8.4f %5d %5d %5d %6d\n", "", d.meanSpread(),
                    d.sdSpread(), d.sizeSpread(), d.boysSpread(), d.girlsSpread(),
                    d.schoolSpread());
        std::printf("%38s refined   %8.3f %8.4f %5d %5d %5d %6d %8.3f\n", "", r->meanSpread(),
                    r->sdSpread(), r->sizeSpread(), r->boysSpread(), r->girlsSpread(),
                    r->schoolSpread(), seconds);
        std::printf("%38s peer best %8.3f %8.4f %5d %5d %5s %6d %8.3f\n", "", peer.mean, peer.sd, 0,
                    1, "-", 1, peer.seconds);
        if (const WishOutcome &w = r->wishes(); w.wishes > 0)
            std::printf("%38s wishes met %d of %d (dealing alone: %d)\n", "", w.met, w.wishes,
                        w.metBefore);
        state.counters["mean_spread"] = r->meanSpread();
        state.counters["sd_spread"] = r->sdSpread();
    }
}

BENCHMARK(BM_Refinement)
    ->DenseRange(0, 3)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Late pupils after a refined division of the bundled demo (600 pupils, 12 classes, both
// options): 12 of extreme scores, half above and half below everyone divided, placed with no
// moves and with 20. Targets: sizes within 1 with 0 moves; sizes and boys within 1 and the class
// means within 0.2 of each other with 20.
void BM_LatePupils(benchmark::State &state)
{
    const int budget = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        DataDirectory directory(dir.path());
        Database db;
        must(directory.openDatabase(db));
        const QString workbook = dir.filePath("demo.xlsx");
        must(DemoData::writeDivision(workbook));
        if (!SpreadsheetImport::importDivision(db, workbook))
            std::abort();
        DivisionSettings s;
        s.classes = 12;
        s.balanceSex = true;
        s.balanceSchool = true;
        s.refine = true;
        const Result<DivisionSummary> divided = ClassDivision::run(db, s);
        if (!divided)
            std::abort();
        Result<Statement> insert = db.prepareNative(
            "INSERT INTO 分班数据表 (姓名, 性别, 成绩, 原学校) VALUES (?1, ?2, ?3, ?4)");
        QStringList schools;
        for (const SchoolBalance &school : divided->schools())
            schools.append(school.name);
        if (schools.isEmpty())
            schools.append(QString());
        for (int i = 0; i < 12; ++i) {
            const double score = i < 6 ? 750 - 5 * i : 250 + 5 * (i - 6);
            const QVariantList values = {QStringLiteral("插班生%1").arg(i + 1),
                                         i % 2 ? QStringLiteral("女") : QStringLiteral("男"), score,
                                         schools[i % schools.size()]};
            insert->bindAll(values);
            must(insert->exec());
            insert->reset();
        }
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        PlacementSettings p;
        p.maxMoves = budget;
        const Result<PlacementOutcome> r = ClassPlacement::run(db, p);
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!r) {
            const std::string why = r.status().message().toStdString();
            state.SkipWithError(why.c_str());
            return;
        }
        const DivisionSummary &a = r->after;
        std::printf("demo + 12 late, max %2d moves: placed %zu, moved %2zu | size %d boys %d girls "
                    "%d school %d | mean spread %.3f (divided %.3f) SD spread %.3f (divided "
                    "%.3f) | %.1f ms\n",
                    budget, r->placed.size(), r->moved.size(), a.sizeSpread(), a.boysSpread(),
                    a.girlsSpread(), a.schoolSpread(), a.meanSpread(), divided->meanSpread(),
                    a.sdSpread(), divided->sdSpread(), ms);
        state.counters["moved"] = static_cast<double>(r->moved.size());
        state.counters["size_spread"] = a.sizeSpread();
        state.counters["boys_spread"] = a.boysSpread();
        state.counters["mean_spread"] = a.meanSpread();
    }
}

BENCHMARK(BM_LatePupils)->Arg(0)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same on a large intake: 20,000 pupils dealt into 400 classes, 200 late, 100 moves.
void BM_LatePupilsLarge(benchmark::State &state)
{
    Intake intake(20000);
    DivisionSettings s;
    s.classes = 400;
    if (!ClassDivision::run(intake.db, s))
        std::abort();
    must(intake.db.exec("UPDATE 分班数据表 SET 新分班 = 0 WHERE rowid % 100 = 0"));
    for (auto _ : state) {
        PlacementSettings p;
        p.maxMoves = 100;
        QElapsedTimer clock;
        clock.start();
        const Result<PlacementOutcome> r = ClassPlacement::run(intake.db, p);
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!r) {
            const std::string why = r.status().message().toStdString();
            state.SkipWithError(why.c_str());
            return;
        }
        std::printf("20,000 pupils, 400 classes, 200 late, max 100 moves: moved %zu | size %d | "
                    "mean spread %.3f (before %.3f) | %.0f ms\n",
                    r->moved.size(), r->after.sizeSpread(), r->after.meanSpread(),
                    r->before.meanSpread(), ms);
    }
}

BENCHMARK(BM_LatePupilsLarge)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

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
