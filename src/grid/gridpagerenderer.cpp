#include "grid/gridpagerenderer.h"

#include "grid/grid.h"
#include "grid/gridcellpainter.h"
#include "grid/gridpaperfit.h"
#include "grid/outputfile.h"
#include "grid/pdftextlayer.h"

#include <QBuffer>
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

// A title line whose left, centre and right parts would run into each other takes the
// printable width instead of the table's, then smaller type, so each part reads whole.
void fitTitle(const QStringList &parts, QFont &font, QRectF &box, double printableWidth)
{
    const auto collide = [&](double width) {
        const double left = GridPaperFit::textWidth(font, parts.at(0));
        const double centre = GridPaperFit::textWidth(font, parts.at(1));
        const double right = GridPaperFit::textWidth(font, parts.at(2));
        const double gap = font.pixelSize(); // between two parts
        const double needed = centre > 0 ? 2 * (std::max(left, right) + gap) + centre
                                         : left + right + (left > 0 && right > 0 ? gap : 0);
        return needed > width;
    };
    if (collide(box.width()) && box.width() < printableWidth)
        box = QRectF(0, box.y(), printableWidth, box.height());
    for (int i = 0; i < 10 && font.pixelSize() > 6 && collide(box.width()); ++i)
        font.setPixelSize(std::max(6, font.pixelSize() * 9 / 10));
}

// Every text of a page goes through here, so that a PDF's text layer knows it.
void drawText(QPainter &painter, PdfTextLayer *textLayer, const QRectF &box, int flags,
              const QString &text)
{
    if (text.isEmpty())
        return;
    if (textLayer)
        textLayer->record(painter.font(), text);
    painter.drawText(box, flags, text);
}

// Header and footer, at their margins from the sheet's edges, not zoomed.
void paintEdgeTexts(QPainter &painter, PdfTextLayer *textLayer, const PageSetup &setup,
                    const GridPageLayout &layout, int pageNumber)
{
    const int count = int(layout.pages.size());
    auto edgeText = [&](const QString &text, const GridFont &font, PageSetup::TextAlign alignment,
                        bool atTop) {
        if (text.isEmpty())
            return;
        painter.save();
        painter.setFont(font.toPixelFont());
        painter.setPen(Qt::black);
        const double lineHeight = font.size * 96.0 / 72.0 * 1.5;
        const double margin =
            GridPagination::marginPixels(atTop ? setup.headerMargin : setup.footerMargin);
        const QRectF box(layout.content.left(),
                         atTop ? margin : layout.pageHeight - margin - lineHeight,
                         layout.content.width(), lineHeight);
        painter.setClipRect(box);
        drawText(painter, textLayer, box,
                 int(horizontalAlignment(alignment)) | (atTop ? Qt::AlignTop : Qt::AlignBottom),
                 GridPagination::expandPageFields(text, pageNumber, count));
        painter.restore();
    };
    edgeText(setup.header, setup.headerFont, setup.headerAlignment, true);
    edgeText(setup.footer, setup.footerFont, setup.footerAlignment, false);
}

// Where the table of a page stands: its left edge, the top of its titles, and its size.
struct TablePlace
{
    double x0 = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

TablePlace placeTable(const Grid &grid, const GridPage &page, double availWidth, double availHeight)
{
    const PageSetup &setup = grid.pageSetup();
    TablePlace place;
    for (int c : page.cols)
        place.width += grid.columnWidth(c);
    for (int r : page.rows)
        place.height += grid.rowHeight(r);
    double titlesHeight = 0;
    for (int t : page.titles)
        titlesHeight += GridPagination::titleHeight(grid.reportTitles().at(t));
    if (setup.centerHorizontally)
        place.x0 = std::max(0.0, (availWidth - place.width) / 2);
    if (setup.centerVertically)
        place.y = std::max(0.0, (availHeight - titlesHeight - place.height) / 2);
    return place;
}

// Report titles: three parts each, aligned to the table or to the printable width. Returns the
// top of the table below them.
double paintTitles(QPainter &painter, PdfTextLayer *textLayer, const Grid &grid,
                   const GridPage &page, const TablePlace &place, double availWidth)
{
    double y = place.y;
    for (int t : page.titles) {
        const ReportTitle &title = grid.reportTitles().at(t);
        const double h = GridPagination::titleHeight(title);
        QRectF box =
            title.alignTo == 1 ? QRectF(place.x0, y, place.width, h) : QRectF(0, y, availWidth, h);
        const QStringList parts = GridPagination::titleParts(title.text);
        QFont font = title.font.toPixelFont();
        fitTitle(parts, font, box, availWidth);
        painter.save();
        painter.setFont(font);
        painter.setPen(Qt::black);
        drawText(painter, textLayer, box, Qt::AlignLeft | Qt::AlignVCenter, parts.at(0));
        drawText(painter, textLayer, box, Qt::AlignHCenter | Qt::AlignVCenter, parts.at(1));
        drawText(painter, textLayer, box, Qt::AlignRight | Qt::AlignVCenter, parts.at(2));
        painter.restore();
        y += h;
    }
    return y;
}

// The page's cells from (x0, y).
void paintCells(QPainter &painter, PdfTextLayer *textLayer, const Grid &grid, const GridPage &page,
                const TablePlace &place, double y)
{
    const PageSetup &setup = grid.pageSetup();
    GridPaintLayout cells;
    double rowTop = y;
    for (int r : page.rows) {
        cells.rows.append(r);
        cells.rowTops.append(int(std::lround(rowTop)));
        rowTop += grid.rowHeight(r);
    }
    double colLeft = place.x0;
    for (int c : page.cols) {
        cells.cols.append(c);
        cells.colLefts.append(int(std::lround(colLeft)));
        colLeft += grid.columnWidth(c);
    }
    GridPaintOptions options;
    options.gridlines = setup.printGridlines;
    options.gridColor = QColor(Qt::black);
    options.blackAndWhite = setup.blackAndWhite;
    options.fixedLook = false;
    options.textLayer = textLayer;
    // Blocks that run over the page's edge are cut at the table's edge.
    painter.setClipRect(QRectF(place.x0 - 1, y - 1, place.width + 2, place.height + 2),
                        Qt::IntersectClip);
    GridCellPainter(grid, options).paint(painter, cells);
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

bool GridPageRenderer::render(QPagedPaintDevice *device, PdfTextLayer *textLayer) const
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
        paintPage(painter, layout, i, textLayer);
        painter.restore();
    }
    return painter.end();
}

void GridPageRenderer::paintPage(QPainter &painter, const GridPageLayout &layout, int index,
                                 PdfTextLayer *textLayer) const
{
    if (index < 0 || index >= layout.pages.size())
        return;
    const GridPage &page = layout.pages.at(index);
    const QRectF &content = layout.content;
    paintEdgeTexts(painter, textLayer, m_grid.pageSetup(), layout, page.number);

    painter.save();
    painter.translate(content.topLeft());
    painter.scale(layout.zoom, layout.zoom);
    const double availWidth = content.width() / layout.zoom;
    const double availHeight = content.height() / layout.zoom;
    const TablePlace place = placeTable(m_grid, page, availWidth, availHeight);
    // Nothing reaches into the margins, whatever is too wide or too tall for the page.
    painter.setClipRect(QRectF(0, 0, availWidth, availHeight));
    const double y = paintTitles(painter, textLayer, m_grid, page, place, availWidth);
    paintCells(painter, textLayer, m_grid, page, place, y);
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
    // Qt writes into memory; the text layer is mended before the file sees a byte.
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    PdfTextLayer textLayer;
    {
        QPdfWriter writer(&written);
        writer.setResolution(1200);
        writer.setCreator(QStringLiteral("fenpai"));
        if (!writer.setPageLayout(pageLayout()) || !render(&writer, &textLayer))
            return failed(QStringLiteral("无法排出页面，原来的文件未改动"));
    } // the writer finishes the document as it goes
    written.close();
    if (const Status s = textLayer.write(written.data(), *file.device()); !s.isOk())
        return failed(s.message());
    if (const Status s = file.commit(); !s.isOk())
        return failed(s.message());
    return Status::ok();
}

} // namespace fenpai
