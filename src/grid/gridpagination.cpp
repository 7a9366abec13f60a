#include "grid/gridpagination.h"

#include "grid/grid.h"

#include <algorithm>
#include <cmath>

namespace fenpai {

int GridPagination::titleHeight(const ReportTitle &title)
{
    return int(std::ceil(std::max(1.0, title.font.size) * 96.0 / 72.0 * 1.5)) + 4;
}

QStringList GridPagination::titleParts(const QString &text)
{
    QStringList parts = text.split(u'|');
    while (parts.size() < 3)
        parts.append(QString());
    if (parts.size() > 3) // a "|" beyond the second belongs to the right part
        parts = QStringList{parts.at(0), parts.at(1), parts.mid(2).join(u'|')};
    if (text.count(u'|') == 0)
        parts = QStringList{QString(), text, QString()}; // a plain title is centred
    return parts;
}

QString GridPagination::expandPageFields(const QString &text, int page, int pageCount)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == u'&' && i + 1 < text.size()) {
            const QChar next = text.at(i + 1).toLower();
            if (next == u'p') {
                out += QString::number(page);
                ++i;
                continue;
            }
            if (next == u'n') {
                out += QString::number(pageCount);
                ++i;
                continue;
            }
            if (next == u'&') {
                out += u'&';
                ++i;
                continue;
            }
        }
        out += ch;
    }
    return out;
}

namespace {

// The sheet and the area inside its margins, in 96 dpi pixels, with the zoom.
GridPageLayout frameOf(const PageSetup &setup)
{
    GridPageLayout layout;
    double width = GridPagination::cmToPixels(setup.pageWidthCm());
    double height = GridPagination::cmToPixels(setup.pageHeightCm());
    if (setup.isLandscape())
        std::swap(width, height);
    layout.pageWidth = width;
    layout.pageHeight = height;
    const double left = GridPagination::marginPixels(setup.leftMargin);
    const double right = GridPagination::marginPixels(setup.rightMargin);
    const double top = GridPagination::marginPixels(setup.topMargin);
    const double bottom = GridPagination::marginPixels(setup.bottomMargin);
    layout.content = QRectF(left, top, std::max(1.0, width - left - right),
                            std::max(1.0, height - top - bottom));
    layout.zoom = std::clamp(setup.zoom, 10, 400) / 100.0;
    return layout;
}

// Column 0 when it prints, then the title columns that are not hidden.
QList<int> repeatedColumns(const Grid &grid)
{
    const PageSetup &setup = grid.pageSetup();
    const int cols = grid.cols();
    QList<int> leftCols;
    const int titleCols = std::min(setup.printTitleColumns, std::max(0, cols - 1));
    if (setup.printFixedColumn && cols > 0 && grid.columnWidth(0) > 0)
        leftCols.append(0);
    for (int c = 1; c <= titleCols; ++c) {
        if (grid.columnWidth(c) > 0)
            leftCols.append(c);
    }
    return leftCols;
}

// Whether a row prints nothing: no text, picture, border or colour in its cells.
bool isBlankRow(const Grid &grid, int row)
{
    for (int c = 1; c < grid.cols(); ++c) {
        const CellStyle &s = grid.cellStyle(row, c);
        if (!grid.cellText(row, c).isEmpty() || !s.imageKey.isEmpty() || s.backColor.isValid())
            return false;
        for (GridBorder::Style b : s.borders) {
            if (b != GridBorder::Style::None)
                return false;
        }
    }
    return true;
}

double heightOf(const Grid &grid, const QList<int> &rows)
{
    double h = 0;
    for (int r : rows)
        h += grid.rowHeight(r);
    return h;
}

double widthOf(const Grid &grid, const QList<int> &cols)
{
    double w = 0;
    for (int c : cols)
        w += grid.columnWidth(c);
    return w;
}

// The rows of the paper: repeated at the top, the body between, repeated at the bottom.
struct RowFrame
{
    QList<int> top;
    int bodyFirst = 0;
    int bodyEnd = 0; // exclusive
    QList<int> bottom;
};

RowFrame rowFrame(const Grid &grid)
{
    const PageSetup &setup = grid.pageSetup();
    const int fixedRows = std::min(grid.fixedRows(), grid.rows());
    // The blank row a filled document ends with, for typing, is left off the paper; a grid of
    // blank rows (a form to fill in by hand) prints as it is.
    int rows = grid.rows();
    if (rows > fixedRows && isBlankRow(grid, rows - 1) &&
        (rows - 1 <= fixedRows || !isBlankRow(grid, rows - 2)))
        --rows;
    RowFrame frame;
    // Rows repeated at the top: the fixed rows when they print, and the title rows.
    const int titleRows = std::min(setup.printTitleRows, rows);
    for (int r = 0; r < std::max(fixedRows, titleRows); ++r) {
        const bool print = r < titleRows || (setup.printFixedRow && r < fixedRows);
        if (print && grid.rowHeight(r) > 0)
            frame.top.append(r);
    }
    frame.bodyFirst = std::max(fixedRows, titleRows);
    const int bottomCount = std::clamp(setup.printBottomTitleRows, 0, rows - frame.bodyFirst);
    frame.bodyEnd = rows - bottomCount;
    for (int r = frame.bodyEnd; r < rows; ++r) {
        if (grid.rowHeight(r) > 0)
            frame.bottom.append(r);
    }
    return frame;
}

// Column bands: as many columns as fit in `room` beside the repeated columns; at least one per
// band.
QList<QList<int>> columnBands(const Grid &grid, int colFirst, double room)
{
    QList<QList<int>> bands;
    QList<int> band;
    double used = 0;
    for (int c = colFirst; c < grid.cols(); ++c) {
        const int w = grid.columnWidth(c);
        if (w <= 0)
            continue;
        if (!band.isEmpty() && used + w > room) {
            bands.append(band);
            band.clear();
            used = 0;
        }
        band.append(c);
        used += w;
    }
    if (!band.isEmpty() || bands.isEmpty())
        bands.append(band);
    return bands;
}

// The report titles of the first page and of the later ones, and their heights.
struct PageTitles
{
    QList<int> first;
    QList<int> later;
    double firstHeight = 0;
    double laterHeight = 0;
};

PageTitles pageTitles(const Grid &grid)
{
    PageTitles t;
    const QList<ReportTitle> &titles = grid.reportTitles();
    for (int i = 0; i < titles.size(); ++i) {
        t.firstHeight += GridPagination::titleHeight(titles.at(i));
        t.first.append(i);
        if (titles.at(i).printOnAllPages) {
            t.laterHeight += GridPagination::titleHeight(titles.at(i));
            t.later.append(i);
        }
    }
    return t;
}

// Row chunks: page breaks start a new page; a row taller than a page stands alone.
QList<QList<int>> rowChunks(const Grid &grid, const RowFrame &frame, const PageTitles &titles,
                            double availHeight)
{
    const double repeated = heightOf(grid, frame.top) + heightOf(grid, frame.bottom);
    const QList<int> &breaks = grid.hPageBreaks();
    QList<QList<int>> chunks;
    QList<int> chunk;
    double used = 0;
    qsizetype nextBreak = 0;
    bool forced = false; // a break before this row (or before hidden rows just above it)
    for (int r = frame.bodyFirst; r < frame.bodyEnd; ++r) {
        while (nextBreak < breaks.size() && breaks.at(nextBreak) <= r) {
            forced = forced || breaks.at(nextBreak) == r;
            ++nextBreak;
        }
        const int h = grid.rowHeight(r);
        if (h <= 0)
            continue;
        const double room =
            availHeight - repeated - (chunks.isEmpty() ? titles.firstHeight : titles.laterHeight);
        if (!chunk.isEmpty() && (forced || used + h > room)) {
            chunks.append(chunk);
            chunk.clear();
            used = 0;
        }
        forced = false;
        chunk.append(r);
        used += h;
    }
    if (!chunk.isEmpty() || chunks.isEmpty())
        chunks.append(chunk);
    return chunks;
}

} // namespace

double GridPagination::tableWidth(const Grid &grid)
{
    const GridPageLayout frame = frameOf(grid.pageSetup());
    double repeated = 0;
    for (int c : repeatedColumns(grid))
        repeated += grid.columnWidth(c);
    return std::max(1.0, frame.content.width() / frame.zoom - repeated);
}

QRectF GridPagination::contentRect(const PageSetup &setup)
{
    return frameOf(setup).content;
}

GridPageLayout GridPagination::paginate(const Grid &grid)
{
    const PageSetup &setup = grid.pageSetup();
    GridPageLayout layout = frameOf(setup);
    // The space for the table, in grid pixels.
    const double availWidth = layout.content.width() / layout.zoom;
    const double availHeight = layout.content.height() / layout.zoom;

    const RowFrame frame = rowFrame(grid);
    const QList<int> leftCols = repeatedColumns(grid);
    const int colFirst = 1 + std::min(setup.printTitleColumns, std::max(0, grid.cols() - 1));
    const QList<QList<int>> bands =
        columnBands(grid, colFirst, availWidth - widthOf(grid, leftCols));
    const PageTitles titles = pageTitles(grid);
    const QList<QList<int>> chunks = rowChunks(grid, frame, titles, availHeight);

    // Down, then over: every row chunk of the first band, then of the next.
    int number = 0;
    for (int b = 0; b < bands.size(); ++b) {
        for (int k = 0; k < chunks.size(); ++k) {
            GridPage page;
            page.number = ++number;
            page.band = b;
            page.rows = frame.top + chunks.at(k) + frame.bottom;
            page.cols = leftCols + bands.at(b);
            page.titles = number == 1 ? titles.first : titles.later;
            layout.pages.append(page);
        }
    }
    return layout;
}

} // namespace fenpai
