// Grid view and printer figures for a 100,000 × 10 table: painting one screen of the view and
// paginating the whole table.
#include "grid/gridpagination.h"
#include "ui/grid/gridview.h"

#include <QApplication>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

using namespace fenpai;

namespace {

void fill(Grid &g)
{
    g.setAutoRedraw(false);
    g.setRows(1);
    g.setCols(11);
    g.setDisplayRowIndex(true);
    for (int c = 1; c < 11; ++c)
        g.setCellText(0, c, QStringLiteral("列%1").arg(c));
    for (int i = 0; i < 100'000; ++i) {
        g.addItem(QStringLiteral("学生%1\t%2\t男\t第一中学\t%3\t%4\t初一(%5)班\t%6\t备注\t%7")
                      .arg(i)
                      .arg((i * 7919) % 1000 / 10.0)
                      .arg(i % 40 + 1)
                      .arg(20260000 + i)
                      .arg(i % 12)
                      .arg(i % 30)
                      .arg(i),
                  false);
    }
    g.column(2).setMask(GridMask::Numeric);
    g.column(2).setFormatString(QStringLiteral("##,##0.00"));
    g.range(1, 1, 100, 10).setBorder(GridBorder::Edge::InsideHorizontal, GridBorder::Style::Thin);
    g.setAutoRedraw(true);
    g.refresh();
}

void BM_GridViewPaintOneScreen(benchmark::State &state)
{
    Grid g;
    fill(g);
    GridView view(&g);
    view.resize(1024, 768);
    view.show();
    QCoreApplication::processEvents();
    view.scrollToCell(50'000, 5);
    QCoreApplication::processEvents();
    QPixmap target(view.viewport()->size());
    for (auto _ : state)
        view.viewport()->render(&target);
    state.counters["rowsShown"] = double(view.viewport()->height()) / g.defaultRowHeight();
}
BENCHMARK(BM_GridViewPaintOneScreen)->Unit(benchmark::kMillisecond);

void BM_GridPaginate100k(benchmark::State &state)
{
    Grid g;
    fill(g);
    g.pageSetup().printFixedRow = true;
    g.pageSetup().footer = QStringLiteral("共&n页  第&p页");
    int pages = 0;
    for (auto _ : state)
        pages = int(GridPagination::paginate(g).pages.size());
    state.counters["pages"] = pages;
}
BENCHMARK(BM_GridPaginate100k)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
