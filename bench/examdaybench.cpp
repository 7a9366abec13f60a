// The exam-day kit on a large year: the paper versions laid over 3,400 rooms (the step alone, and
// what it adds to a whole arrangement), the sign-in sheets of every room in one PDF with the
// peak memory of the process, and 1,000 tickets with their QR codes as a PDF.
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/paperversions.h"
#include "jobs/examday/signinsheet.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/tickettemplates.h"
#include "support/arrangementdata.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <vector>

using namespace fenpai;

namespace {

constexpr int kExaminees = 100000;
constexpr int kRooms = 3400;

struct BenchData
{
    QTemporaryDir dir;
    Database db;
};

// `examinees` in `rooms` rooms of `capacity`, arranged by score only.
std::unique_ptr<BenchData> makeArranged(int examinees, int rooms, int capacity)
{
    auto data = std::make_unique<BenchData>();
    Status s = data->db.open(data->dir.filePath("bench.db"));
    if (s.isOk())
        s = test::createArrangementTables(data->db);
    if (s.isOk())
        s = test::addPupils(data->db, test::makeYear(examinees, 40, examinees / 45 + 1, 2024));
    if (s.isOk())
        s = test::addRooms(data->db, QVariantList(rooms, capacity));
    if (s.isOk()) {
        ArrangementSettings settings;
        settings.mode = ArrangementSettings::Mode::ScoreOnly;
        s = Arrangement::run(data->db, settings).status();
    }
    if (!s.isOk()) {
        std::fprintf(stderr, "%s\n", qPrintable(s.message()));
        return nullptr;
    }
    return data;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The step alone: 3,400 rooms of 6 × 5 desks holding 100,000 examinees between them.
void versionsStep(benchmark::State &state)
{
    const int count = static_cast<int>(state.range(0));
    const DeskLayout layout(6, 5, 30, SeatOrder::ByColumn);
    std::vector<std::vector<bool>> rooms;
    for (int r = 0; r < kRooms; ++r) {
        const int seated = kExaminees / kRooms + (r < kExaminees % kRooms ? 1 : 0);
        std::vector<bool> occupied(30, false);
        std::fill(occupied.begin(), occupied.begin() + seated, true);
        rooms.push_back(occupied);
    }
    for (auto _ : state) {
        for (const std::vector<bool> &occupied : rooms)
            benchmark::DoNotOptimize(PaperVersions::assign(layout, occupied, count));
    }
    state.SetLabel(QStringLiteral("%1 versions, 3400 rooms").arg(count).toStdString());
}
BENCHMARK(versionsStep)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// A whole arrangement (mode 3, written and summarised) without versions, with AB and with ABCD:
// the difference is what the versions add, the column's writing included.
void arrangeWithVersions(benchmark::State &state)
{
    static std::unique_ptr<BenchData> data = makeArranged(kExaminees, kRooms, 30);
    if (!data) {
        state.SkipWithError("no data");
        return;
    }
    ArrangementSettings settings;
    settings.mode = ArrangementSettings::Mode::ScoreOnly;
    settings.versions = static_cast<ArrangementSettings::Versions>(state.range(0));
    bool odd = false;
    for (auto _ : state) {
        // Every iteration rewrites every row, as a new arrangement does.
        odd = !odd;
        settings.startNumber = odd ? 3100001 : 2100001;
        const Result<ArrangementOutcome> r = Arrangement::run(data->db, settings);
        if (!r) {
            state.SkipWithError(qPrintable(r.status().message()));
            return;
        }
        benchmark::DoNotOptimize(r->versionPairs);
    }
    state.SetLabel(QStringLiteral("versions %1, 100000 examinees, 3400 rooms")
                       .arg(state.range(0))
                       .toStdString());
}
BENCHMARK(arrangeWithVersions)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(4);

// Sign-in sheets of 3,400 rooms in one PDF: built, painted (a QR code a row) and written.
void signInSheets(benchmark::State &state)
{
    static std::unique_ptr<BenchData> data = makeArranged(kExaminees, kRooms, 30);
    if (!data) {
        state.SkipWithError("no data");
        return;
    }
    const QString pdf = data->dir.filePath("签到表.pdf");
    double buildMs = 0;
    double pdfMs = 0;
    double builtPeak = 0;
    // The data's making (100,000 examinees arranged) has its own peak; the sheets' is above it.
    const double setupPeak = peakMegabytes();
    QElapsedTimer clock;
    for (auto _ : state) {
        Grid grid;
        clock.start();
        const Result<SignInSheet::Outcome> sheet = SignInSheet::build(data->db, grid, {});
        buildMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        builtPeak = peakMegabytes();
        clock.restart();
        const Status written =
            sheet ? GridPageRenderer(grid).writePdf(pdf) : Status(sheet.status());
        pdfMs += static_cast<double>(clock.nsecsElapsed()) / 1e6;
        if (!written.isOk()) {
            state.SkipWithError(qPrintable(written.message()));
            return;
        }
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["build_ms"] = buildMs / n;
    state.counters["pdf_ms"] = pdfMs / n;
    state.counters["pdf_MB"] = static_cast<double>(QFileInfo(pdf).size()) / 1e6;
    state.counters["peak_MB"] = peakMegabytes();
    std::printf("sign-in sheets, 3400 rooms: peak before %.0f MB; built %.0f ms (peak %.0f MB), "
                "PDF %.0f ms, %.1f MB, peak memory %.0f MB\n",
                setupPeak, buildMs / n, builtPeak, pdfMs / n,
                static_cast<double>(QFileInfo(pdf).size()) / 1e6, peakMegabytes());
}
BENCHMARK(signInSheets)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// 1,000 tickets of one room with their codes, standard template, as a PDF.
void ticketsWithCodes(benchmark::State &state)
{
    static std::unique_ptr<BenchData> data = makeArranged(1000, 1, 1000);
    if (!data) {
        state.SkipWithError("no data");
        return;
    }
    Grid ticketTemplate;
    TicketTemplates::build(ticketTemplate, TicketSettings::Layout::Standard);
    TicketSettings settings;
    settings.grouping = TicketSettings::Grouping::ByRoom;
    settings.groups = {QStringLiteral("1")};
    const QString pdf = data->dir.filePath("准考证.pdf");
    for (auto _ : state) {
        Grid grid;
        const Result<TicketProduction::Outcome> made =
            TicketProduction::build(data->db, ticketTemplate, settings, grid);
        const Status written = made ? GridPageRenderer(grid).writePdf(pdf) : made.status();
        if (!written.isOk()) {
            state.SkipWithError(qPrintable(written.message()));
            return;
        }
    }
    state.counters["pdf_MB"] = static_cast<double>(QFileInfo(pdf).size()) / 1e6;
    state.SetLabel("1000 tickets with QR codes, PDF");
}
BENCHMARK(ticketsWithCodes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    // Painting text needs a GUI application; no window opens.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
