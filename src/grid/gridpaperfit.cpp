#include "grid/gridpaperfit.h"

#include "grid/grid.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <functional>

namespace fenpai {

namespace {

// Texts this narrow are never wrapped: a short name or number reads better whole.
constexpr double kShortText = 48;
// Metrics of a font drawn this many times larger, so that its advances are the design's.
constexpr int kDesignScale = 16;
constexpr int kPadY = 1; // the cell painter's, above and below the text

bool isWide(QChar ch)
{
    const ushort u = ch.unicode();
    return (u >= 0x2e80 && u <= 0x9fff) || (u >= 0xac00 && u <= 0xd7af) ||
           (u >= 0xf900 && u <= 0xfaff) || (u >= 0xff00 && u <= 0xffef) || ch.isSurrogate();
}

// Without a GUI application there are no fonts to measure: ideographs are a square, the rest
// a little more than half of one.
double estimate(const QFont &font, const QString &text)
{
    const double px = font.pixelSize() > 0 ? font.pixelSize() : 12;
    double width = 0;
    for (QChar ch : text)
        width += isWide(ch) ? px : px * 0.6;
    return width;
}

QStringList lines(const QString &text)
{
    return text.split(u'\n');
}

// The pieces of a text between its line-break opportunities, spaces trimmed.
QStringList unbreakablePieces(const QString &text)
{
    QStringList pieces;
    for (const QString &line : lines(text)) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Line, line);
        qsizetype start = 0;
        while (start < line.size()) {
            qsizetype next = finder.toNextBoundary();
            if (next <= start)
                next = line.size();
            pieces.append(line.mid(start, next - start).trimmed());
            start = next;
        }
    }
    return pieces;
}

// What one column holds, measured once per distinct text and font.
struct ColumnNeeds
{
    double values = 0;   // widest value (data rows), padding included
    double captions = 0; // widest caption (fixed rows)
    double unbroken = 0; // widest piece no wrapping can break
};

class Measurer
{
public:
    explicit Measurer(const Grid &grid)
        : m_grid(grid)
    {}

    const QFont &font(int row, int col)
    {
        const GridFont f = m_grid.cellFont(row, col);
        const QString key = f.name + u'|' + QString::number(f.size) + u'|' +
                            QString::number(int(f.bold) + 2 * int(f.italic));
        auto it = m_fonts.find(key);
        if (it == m_fonts.end())
            it = m_fonts.insert(key, f.toPixelFont());
        return *it;
    }

    // A text's width and its widest unbreakable piece, remembered.
    std::pair<double, double> measure(const QFont &font, const QString &text)
    {
        const QString key = font.key() + QChar(0) + text;
        auto it = m_widths.find(key);
        if (it != m_widths.end())
            return *it;
        double width = 0;
        for (const QString &line : lines(text))
            width = std::max(width, GridPaperFit::textWidth(font, line));
        const double unbroken =
            width <= kShortText ? width : GridPaperFit::unbreakableWidth(font, text);
        return *m_widths.insert(key, {width, unbroken});
    }

    ColumnNeeds needs(int col)
    {
        ColumnNeeds n;
        for (int r = 0; r < m_grid.rows(); ++r) {
            if (m_grid.rowHeight(r) <= 0 || m_grid.mergeAt(r, col).colCount() > 1)
                continue; // a block over several columns does not size one of them
            const QString text = m_grid.displayText(r, col);
            if (text.isEmpty())
                continue;
            const auto [width, unbroken] = measure(font(r, col), text);
            double &widest = r < m_grid.fixedRows() ? n.captions : n.values;
            widest = std::max(widest, width + GridPaperFit::kPadding);
            n.unbroken = std::max(n.unbroken, unbroken + GridPaperFit::kPadding);
        }
        return n;
    }

private:
    const Grid &m_grid;
    QHash<QString, QFont> m_fonts;
    QHash<QString, std::pair<double, double>> m_widths;
};

// The width of each column for a floor (the layout's width) and a cap (where texts wrap).
double widthFor(const ColumnNeeds &n, const GridPaperFit::Options &o, double floor, double cap)
{
    const double values = std::min(n.values, cap);
    const double captions = std::min(n.captions, std::min(cap, double(o.maxHeaderWidth)));
    return std::ceil(std::max({values, captions, n.unbroken, floor}));
}

double sumFor(const QList<ColumnNeeds> &needs, const GridPaperFit::Options &o, double floor,
              double cap)
{
    double sum = 0;
    for (const ColumnNeeds &n : needs)
        sum += widthFor(n, o, floor, cap);
    return sum;
}

// The largest value in [lo, hi] for which fits(value) holds, fits being monotone; lo if none.
double largestFitting(double lo, double hi, const std::function<bool(double)> &fits)
{
    if (fits(hi))
        return hi;
    for (int i = 0; i < 30 && hi - lo > 0.5; ++i) {
        const double mid = (lo + hi) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

} // namespace

double GridPaperFit::textWidth(const QFont &pixelFont, const QString &text)
{
    if (text.isEmpty())
        return 0;
    if (!qGuiApp)
        return estimate(pixelFont, text);
    QFont unhinted = pixelFont;
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    QFont design = unhinted;
    design.setPixelSize(std::max(1, pixelFont.pixelSize()) * kDesignScale);
    return std::max({QFontMetricsF(unhinted).horizontalAdvance(text),
                     QFontMetricsF(pixelFont).horizontalAdvance(text),
                     QFontMetricsF(design).horizontalAdvance(text) / kDesignScale});
}

double GridPaperFit::unbreakableWidth(const QFont &pixelFont, const QString &text)
{
    double widest = 0;
    for (const QString &piece : unbreakablePieces(text))
        widest = std::max(widest, textWidth(pixelFont, piece));
    return widest;
}

double GridPaperFit::wrappedHeight(const QFont &pixelFont, const QString &text, double width)
{
    const double px = pixelFont.pixelSize() > 0 ? pixelFont.pixelSize() : 12;
    if (!qGuiApp) {
        double count = 0;
        for (const QString &line : lines(text))
            count += std::max(1.0, std::ceil(estimate(pixelFont, line) / std::max(1.0, width)));
        return count * px * 1.4;
    }
    QString shown = text;
    shown.replace(u'\n', QChar::LineSeparator);
    QFont unhinted = pixelFont;
    unhinted.setHintingPreference(QFont::PreferNoHinting);
    QTextLayout layout(shown, unhinted);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        // A little narrower than the cell: the painter's metrics never break later than these.
        line.setLineWidth(std::max(1.0, width - 2));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

void GridPaperFit::fitColumns(Grid &grid, const QList<int> &cols, const Options &options)
{
    QList<int> fitted;
    for (int c : cols) {
        if (c > 0 && c < grid.cols() && grid.columnWidth(c) > 0)
            fitted.append(c);
    }
    if (fitted.isEmpty())
        return;
    Measurer measurer(grid);
    QList<ColumnNeeds> needs;
    for (int c : std::as_const(fitted))
        needs.append(measurer.needs(c));

    double floor = options.minWidth;
    double cap = std::max(options.maxWidth, 1);
    if (options.pageWidth > 0 && sumFor(needs, options, floor, cap) > options.pageWidth) {
        // The layout's width gives way first, then the widest texts wrap.
        const auto fits = [&](double f, double c) {
            return sumFor(needs, options, f, c) <= options.pageWidth;
        };
        floor = largestFitting(0, floor, [&](double f) { return fits(f, cap); });
        if (!fits(floor, cap))
            cap = largestFitting(1, cap, [&](double c) { return fits(0, c); });
    }

    const bool redraw = grid.autoRedraw();
    grid.setAutoRedraw(false);
    for (qsizetype i = 0; i < fitted.size(); ++i) {
        const int c = fitted[i];
        const int width = int(widthFor(needs[i], options, floor, cap));
        grid.setColumnWidth(c, width);
        // The cells too wide for it wrap.
        for (int r = 0; r < grid.rows(); ++r) {
            if (grid.rowHeight(r) <= 0 || grid.cellStyle(r, c).wrapText ||
                grid.mergeAt(r, c).colCount() > 1)
                continue;
            const QString text = grid.displayText(r, c);
            if (!text.isEmpty() &&
                measurer.measure(measurer.font(r, c), text).first + kPadding > width + 0.5)
                grid.range(r, c, r, c).setWrapText(true);
        }
    }
    fitRows(grid);
    grid.setAutoRedraw(redraw);
    if (redraw)
        grid.refresh();
}

void GridPaperFit::fitAll(Grid &grid, const Options &options)
{
    QList<int> cols;
    for (int c = 1; c < grid.cols(); ++c)
        cols.append(c);
    fitColumns(grid, cols, options);
}

void GridPaperFit::fitRows(Grid &grid)
{
    Measurer measurer(grid);
    for (int r = 0; r < grid.rows(); ++r) {
        const int height = grid.rowHeight(r);
        if (height <= 0)
            continue;
        double needed = 0;
        for (int c = 1; c < grid.cols(); ++c) {
            const int width = grid.columnWidth(c);
            if (width <= 0 || !grid.cellStyle(r, c).wrapText || !grid.mergeAt(r, c).isSingleCell())
                continue;
            const QString text = grid.displayText(r, c);
            if (text.isEmpty())
                continue;
            const QFont &font = measurer.font(r, c);
            if (!text.contains(u'\n') && measurer.measure(font, text).first + kPadding <= width)
                continue; // one line
            needed = std::max(needed, wrappedHeight(font, text, width - kPadding) + 2 * kPadY + 2);
        }
        if (needed > height)
            grid.setRowHeight(r, int(std::ceil(needed)));
    }
}

} // namespace fenpai

namespace fenpai {

void GridPaperFit::shrinkToFit(Grid &grid, int row, int col, double smallestSize)
{
    const QString text = grid.displayText(row, col);
    if (text.isEmpty())
        return;
    const GridArea block = grid.mergeAt(row, col);
    int width = 0;
    for (int c = block.firstCol; c <= block.lastCol; ++c)
        width += std::max(0, grid.columnWidth(c));
    GridFont font = grid.cellFont(row, col);
    const auto needed = [&](const GridFont &f) {
        double widest = 0;
        for (const QString &line : lines(text))
            widest = std::max(widest, textWidth(f.toPixelFont(), line));
        return widest + kPadding;
    };
    double size = font.size;
    while (size > smallestSize && needed(font) > width) {
        // Straight to the size the width allows, then half a point at a time.
        const double scaled = std::floor(font.size * width / needed(font) * 2) / 2;
        size = std::max(smallestSize, std::min(size - 0.5, scaled));
        font.size = size;
    }
    GridRange cell = grid.range(block.firstRow, block.firstCol, block.firstRow, block.firstCol);
    if (size < grid.cellFont(row, col).size)
        cell.setFontSize(size);
    if (needed(font) > width)
        cell.setWrapText(true);
}

} // namespace fenpai
