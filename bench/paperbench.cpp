// Paper figures for a room list of 1,200 examinees (long school names, 18-digit numbers): the
// columns fitted with the printer's metrics, the PDF written with and without its text layer
// mended, and the mending alone.
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagerenderer.h"
#include "grid/gridpaperfit.h"
#include "grid/pdftextlayer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace fenpai;

namespace {

void fill(Grid &g)
{
    static const QStringList schools = {QStringLiteral("湖滨市第一实验初级中学南校区"),
                                        QStringLiteral("湖滨市第二中学")};
    static const QStringList surnames = {QStringLiteral("黄"), QStringLiteral("马"),
                                         QStringLiteral("金")};
    g.setAutoRedraw(false);
    g.setRows(1);
    g.setCols(8);
    const QStringList headers = {QStringLiteral("姓名"), QStringLiteral("考场"),
                                 QStringLiteral("考号"), QStringLiteral("座位号"),
                                 QStringLiteral("性别"), QStringLiteral("学校"),
                                 QStringLiteral("班级")};
    for (int c = 1; c <= 7; ++c)
        g.setCellText(0, c, headers[c - 1]);
    for (int i = 0; i < 1200; ++i)
        g.addItem(surnames[i % 3] + QStringLiteral("博欣") + u'\t' + QString::number(i / 30 + 1) +
                      u'\t' + QString::number(202600000000000001LL + i) + u'\t' +
                      QString::number(i % 30 + 1) + u'\t' +
                      (i % 2 ? QStringLiteral("男") : QStringLiteral("女")) + u'\t' +
                      schools[i % 2] + u'\t' + QStringLiteral("初三(%1)班").arg(i % 12 + 1),
                  false);
    g.setAutoRedraw(true);
}

void fitted(Grid &g)
{
    fill(g);
    GridPaperFit::Options o;
    o.minWidth = 83;
    o.pageWidth = 600;
    GridPaperFit::fitAll(g, o);
}

void BM_FitColumns(benchmark::State &state)
{
    for (auto _ : state) {
        Grid g;
        fill(g);
        GridPaperFit::Options o;
        o.minWidth = 83;
        o.pageWidth = 600;
        GridPaperFit::fitAll(g, o);
        benchmark::DoNotOptimize(g.columnWidth(6));
    }
}
BENCHMARK(BM_FitColumns)->Unit(benchmark::kMillisecond);

// Qt's PDF of the fitted list, without the text layer: the base the mending adds to.
void BM_QtPdfOnly(benchmark::State &state)
{
    Grid g;
    fitted(g);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageLayout(GridPageRenderer(g).pageLayout());
        benchmark::DoNotOptimize(GridPageRenderer(g).render(&writer));
    }
}
BENCHMARK(BM_QtPdfOnly)->Unit(benchmark::kMillisecond);

void BM_WritePdfWithTextLayer(benchmark::State &state)
{
    Grid g;
    fitted(g);
    QTemporaryDir dir;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            GridPageRenderer(g).writePdf(dir.filePath(QStringLiteral("a.pdf"))).isOk());
}
BENCHMARK(BM_WritePdfWithTextLayer)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    FontSubstitutes::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
