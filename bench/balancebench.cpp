// The balance report (its 1,000 random divisions, the charts at 300 dpi and the PDF) on the
// bundled demo intake and on 20,000 pupils in 400 classes. Targets: under 1 s and under 10 s.

#include "db/database.h"
#include "db/datadirectory.h"
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "jobs/division/balancecertificate.h"
#include "jobs/division/classdivision.h"
#include "jobs/import/spreadsheetimport.h"
#include "jobs/reports/balanceintake.h"
#include "jobs/reports/balancereport.h"
#include "workbook/demodata.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace fenpai;

namespace {

void must(const Status &status)
{
    if (!status.isOk()) {
        std::fprintf(stderr, "%s\n", status.message().toUtf8().constData());
        std::abort();
    }
}

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

// 0: the demo workbook in 12 classes by sex and school, refined; 1: c.csv (20,000 pupils, 60
// schools) in 400 classes by the serpentine alone (refining that intake is the division
// benchmark's business).
void BM_BalanceReport(benchmark::State &state)
{
    const bool large = state.range(0) == 1;
    QTemporaryDir dir;
    DataDirectory directory(dir.path());
    Database db;
    must(directory.openDatabase(db));
    DivisionSettings s;
    if (large) {
        fillFromCsv(db, QStringLiteral(FENPAI_SOURCE_DIR "/../shared/bench-data/c.csv"));
        s.classes = 400;
    } else {
        const QString workbook = dir.filePath("demo.xlsx");
        must(DemoData::writeDivision(workbook));
        if (!SpreadsheetImport::importDivision(db, workbook))
            std::abort();
        s.classes = 12;
        s.balanceSex = true;
        s.balanceSchool = true;
        s.refine = true;
    }
    if (!ClassDivision::run(db, s))
        std::abort();
    const QString pdf = dir.filePath("balance.pdf");
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        Grid grid;
        const Result<ReportDocument> built = BalanceReport::build(db, grid);
        const double buildMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!built) {
            state.SkipWithError("the report failed");
            return;
        }
        must(GridPageRenderer(grid).writePdf(pdf));
        const double totalMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        std::printf("%-26s report %7.0f ms (grid and charts %6.0f ms, PDF %6.0f ms), %d pictures, "
                    "%.1f MB, target %s\n",
                    large ? "20,000 pupils, 400 classes" : "demo, 600 pupils, 12 classes", totalMs,
                    buildMs, totalMs - buildMs, int(grid.imageKeys().size()),
                    static_cast<double>(QFileInfo(pdf).size()) / 1e6, large ? "10 s" : "1 s");
        state.counters["report_ms"] = totalMs;
    }
    // Of which the certificate: the table read and its 1,000 random divisions.
    QElapsedTimer clock;
    clock.start();
    const Result<BalanceIntake> intake = BalanceIntake::read(db);
    if (!intake)
        std::abort();
    const BalanceCertificate certificate(intake->pupils(), intake->classCount(),
                                         intake->schoolNames(), intake->layers());
    std::printf("%-26s certificate %6.0f ms: %s\n", "",
                static_cast<double>(clock.nsecsElapsed()) / 1e6,
                certificate.meanLine().toUtf8().constData());
}

BENCHMARK(BM_BalanceReport)
    ->DenseRange(0, 1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // the charts and the PDF need fonts
    FontSubstitutes::install();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
