#include "grid/gridpagerenderer.h"

#include "grid/grid.h"
#include "grid/gridcellpainter.h"
#include "grid/outputfile.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>

namespace fenpai {

namespace {

Qt::Alignment horizontalAlignment(PageSetup::TextAlign align)
{
    switch (align) {
    case PageSetup::TextAlign::Left:
        return Qt::AlignLeft;
    case PageSetup::TextAlign::Right:
        return Qt::AlignRight;
    case PageSetup::TextAlign::Center:
        break;
    }
    return Qt::AlignHCenter;
}

} // namespace

GridPageRenderer::GridPageRenderer(const Grid &grid)
    : m_grid(grid)
{}

QPageLayout GridPageRenderer::pageLayout() const
{
    const PageSetup &setup = m_grid.pageSetup();
    const QSizeF mm(setup.pageWidthCm() * 10.0, setup.pageHeightCm() * 10.0);
    return QPageLayout(QPageSize(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       setup.isLandscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

bool GridPageRenderer::render(QPagedPaintDevice *device) const
{
    const GridPageLayout layout = GridPagination::paginate(m_grid);
    QPainter painter;
    if (!painter.begin(device))
        return false;
    const double scale = device->logicalDpiX() / 96.0;
    for (int i = 0; i < layout.pages.size(); ++i) {
        if (i > 0)
            device->newPage();
        painter.save();
        painter.scale(scale, scale);
        paintPage(painter, layout, i);
        painter.restore();
    }
    return painter.end();
}

void GridPageRenderer::paintPage(QPainter &painter, const GridPageLayout &layout, int index) const
{
    if (index < 0 || index >= layout.pages.size())
        return;
    const GridPage &page = layout.pages.at(index);
    const PageSetup &setup = m_grid.pageSetup();
    const int count = int(layout.pages.size());
    const QRectF &content = layout.content;

    // Header and footer, at their margins from the sheet's edges, not zoomed.
    auto drawEdgeText = [&](const QString &text, const GridFont &font,
                            PageSetup::TextAlign alignment, bool atTop) {
        if (text.isEmpty())
            return;
        painter.save();
        painter.setFont(font.toPixelFont());
        painter.setPen(Qt::black);
        const double lineHeight = font.size * 96.0 / 72.0 * 1.5;
        const double margin = GridPagination::cmToPixels(
            std::max(0.0, atTop ? setup.headerMargin : setup.footerMargin));
        const QRectF box(content.left(), atTop ? margin : layout.pageHeight - margin - lineHeight,
                         content.width(), lineHeight);
        painter.drawText(
            box, int(horizontalAlignment(alignment)) | (atTop ? Qt::AlignTop : Qt::AlignBottom),
            GridPagination::expandPageFields(text, page.number, count));
        painter.restore();
    };
    drawEdgeText(setup.header, setup.headerFont, setup.headerAlignment, true);
    drawEdgeText(setup.footer, setup.footerFont, setup.footerAlignment, false);

    painter.save();
    painter.translate(content.topLeft());
    painter.scale(layout.zoom, layout.zoom);
    const double availWidth = content.width() / layout.zoom;
    const double availHeight = content.height() / layout.zoom;

    double tableWidth = 0;
    for (int c : page.cols)
        tableWidth += m_grid.columnWidth(c);
    double tableHeight = 0;
    for (int r : page.rows)
        tableHeight += m_grid.rowHeight(r);
    double titlesHeight = 0;
    const QList<ReportTitle> &titles = m_grid.reportTitles();
    for (int t : page.titles)
        titlesHeight += GridPagination::titleHeight(titles.at(t));
    const double x0 = setup.centerHorizontally ? std::max(0.0, (availWidth - tableWidth) / 2) : 0;
    double y =
        setup.centerVertically ? std::max(0.0, (availHeight - titlesHeight - tableHeight) / 2) : 0;

    // Report titles: three parts each, aligned to the table or to the printable width.
    for (int t : page.titles) {
        const ReportTitle &title = titles.at(t);
        const double h = GridPagination::titleHeight(title);
        const QRectF box =
            title.alignTo == 1 ? QRectF(x0, y, tableWidth, h) : QRectF(0, y, availWidth, h);
        const QStringList parts = GridPagination::titleParts(title.text);
        painter.save();
        painter.setFont(title.font.toPixelFont());
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, parts.at(0));
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, parts.at(1));
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, parts.at(2));
        painter.restore();
        y += h;
    }

    GridPaintLayout cells;
    double rowTop = y;
    for (int r : page.rows) {
        cells.rows.append(r);
        cells.rowTops.append(int(std::lround(rowTop)));
        rowTop += m_grid.rowHeight(r);
    }
    double colLeft = x0;
    for (int c : page.cols) {
        cells.cols.append(c);
        cells.colLefts.append(int(std::lround(colLeft)));
        colLeft += m_grid.columnWidth(c);
    }
    GridPaintOptions options;
    options.gridlines = setup.printGridlines;
    options.gridColor = QColor(Qt::black);
    options.blackAndWhite = setup.blackAndWhite;
    options.fixedLook = false;
    // Blocks that run over the page's edge are cut at the table's edge.
    painter.setClipRect(QRectF(x0 - 1, y - 1, tableWidth + 2, tableHeight + 2));
    GridCellPainter(m_grid, options).paint(painter, cells);
    painter.restore();
}

Status GridPageRenderer::writePdf(const QString &path) const
{
    const auto failed = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法写入PDF文件“%1”：%2").arg(path, why));
    };
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return failed(s.message());
    {
        QPdfWriter writer(file.device());
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("fenpai"));
        if (!writer.setPageLayout(pageLayout()) || !render(&writer))
            return failed(QStringLiteral("无法排出页面，原来的文件未改动"));
    } // the writer finishes the document as it goes
    if (const Status s = file.commit(); !s.isOk())
        return failed(s.message());
    return Status::ok();
}

} // namespace fenpai
