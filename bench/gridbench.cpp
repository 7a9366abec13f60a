// Grid model figures for a 100,000 × 10 table: fill by AddItem, sort by one column, save and
// open a grid file, and the memory the filled grid takes.
#include "grid/grid.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

using namespace fenpai;

namespace {

constexpr int kRows = 100'000;
constexpr int kCols = 10;

QStringList makeLines()
{
    QStringList lines;
    lines.reserve(kRows);
    static const QStringList names = {QStringLiteral("张三"), QStringLiteral("李四"),
                                      QStringLiteral("王五"), QStringLiteral("赵六")};
    for (int i = 0; i < kRows; ++i) {
        QStringList fields;
        fields << names.at(i % 4) + QString::number(i)
               << (i % 2 ? QStringLiteral("男") : QStringLiteral("女"))
               << QString::number((i * 7919) % 1000 / 10.0) << QStringLiteral("第一中学")
               << QString::number(i % 40 + 1) << QString::number(20260000 + i)
               << QString::number(i % 30 + 1) << QStringLiteral("初一(%1)班").arg(i % 12)
               << QString::number(i);
        lines << fields.join(u'\t');
    }
    return lines;
}

const QStringList &lines()
{
    static const QStringList l = makeLines();
    return l;
}

void fill(Grid &g)
{
    g.setAutoRedraw(false);
    g.setRows(1);
    g.setCols(kCols);
    for (const QString &line : lines())
        g.addItem(line, false);
    g.setAutoRedraw(true);
    g.refresh();
}

long residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = statm.readAll().split(' ');
    return parts.size() > 1 ? parts.at(1).toLong() * sysconf(_SC_PAGESIZE) : 0;
}

void BM_GridAddItemFill(benchmark::State &state)
{
    lines();
    for (auto _ : state) {
        auto g = std::make_unique<Grid>();
        fill(*g);
        benchmark::DoNotOptimize(g->rows());
        state.PauseTiming();
        g.reset(); // freeing is not part of the fill
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GridAddItemFill)->Unit(benchmark::kMillisecond);

void BM_GridMemory(benchmark::State &state)
{
    lines();
    for (auto _ : state) {
        const long before = residentBytes();
        auto g = std::make_unique<Grid>();
        fill(*g);
        state.counters["MB"] = double(residentBytes() - before) / (1024.0 * 1024.0);
    }
}
BENCHMARK(BM_GridMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_GridSortNumberColumn(benchmark::State &state)
{
    Grid g;
    fill(g);
    int order = 0;
    for (auto _ : state) {
        g.sortByColumn(3, order);
        order = 1 - order;
    }
}
BENCHMARK(BM_GridSortNumberColumn)->Unit(benchmark::kMillisecond);

void BM_GridSortTextColumn(benchmark::State &state)
{
    Grid g;
    fill(g);
    int order = 0;
    for (auto _ : state) {
        g.sortByColumn(8, order);
        order = 1 - order;
    }
}
BENCHMARK(BM_GridSortTextColumn)->Unit(benchmark::kMillisecond);

void BM_GridSaveFile(benchmark::State &state)
{
    Grid g;
    fill(g);
    g.range(0, 1, 0, kCols - 1).setFontBold(true);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.cel"));
    for (auto _ : state) {
        const Status s = g.saveFile(path);
        if (!s.isOk())
            state.SkipWithError(s.message().toStdString().c_str());
    }
    state.counters["fileMB"] = double(QFile(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_GridSaveFile)->Unit(benchmark::kMillisecond);

void BM_GridOpenFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.cel"));
    {
        Grid g;
        fill(g);
        const Status s = g.saveFile(path);
        if (!s.isOk())
            state.SkipWithError(s.message().toStdString().c_str()); // the loop does not run
    }
    for (auto _ : state) {
        Grid g;
        const Status s = g.openFile(path);
        if (!s.isOk())
            state.SkipWithError(s.message().toStdString().c_str());
        benchmark::DoNotOptimize(g.rows());
    }
}
BENCHMARK(BM_GridOpenFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
