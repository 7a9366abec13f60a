#include "grid/gridcellpainter.h"

#include "core/numbertext.h"
#include "grid/grid.h"
#include "grid/pdftextlayer.h"

#include <QFontMetricsF>
#include <QPainter>

namespace fenpai {

namespace {

const QColor kFixedFace(0xf0, 0xf0, 0xf0);
const QColor kFixedLine(0xa0, 0xa0, 0xa0);
constexpr int kPadX = 2;
constexpr int kPadY = 1;

} // namespace

GridCellPainter::GridCellPainter(const Grid &grid, const GridPaintOptions &options)
    : m_grid(grid)
    , m_options(options)
{}

QFont GridCellPainter::pixelFont(const Grid &grid, int row, int col)
{
    return grid.cellFont(row, col).toPixelFont();
}

QString GridCellPainter::fitText(const QString &text, const QFont &font, int width, bool numeric)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width + 0.5)
        return text;
    // A number cut short reads as another number: the cell says it is too narrow, as
    // spreadsheets do. A text ends in an ellipsis; the view shows the whole value as a tooltip.
    if (numeric || NumberText::isNumber(text)) {
        const double hash = std::max(1.0, metrics.horizontalAdvance(u'#'));
        return QString(std::max(1, int(width / hash)), u'#');
    }
    return metrics.elidedText(text, Qt::ElideRight, width);
}

QString GridCellPainter::shownText(const Grid &grid, int row, int col, int cellWidth)
{
    const QString text = grid.displayText(row, col);
    if (text.isEmpty() || grid.cellStyle(row, col).wrapText || text.contains(u'\n'))
        return text;
    return fitText(text, pixelFont(grid, row, col), cellWidth - 2 * kPadX,
                   grid.isNumericCell(row, col));
}

QRect GridCellPainter::blockRect(const GridPaintLayout &layout, const GridArea &block, int rowIndex,
                                 int colIndex) const
{
    // Rows of the block above the first listed one, and below the last listed one.
    int top = layout.rowTops[rowIndex];
    for (int r = block.firstRow; r < layout.rows[rowIndex]; ++r)
        top -= m_grid.rowHeight(r);
    int k = rowIndex;
    while (k + 1 < layout.rows.size() && layout.rows[k + 1] <= block.lastRow &&
           layout.rows[k + 1] > layout.rows[k])
        ++k;
    int bottom = layout.rowTops[k] + m_grid.rowHeight(layout.rows[k]);
    for (int r = layout.rows[k] + 1; r <= block.lastRow; ++r)
        bottom += m_grid.rowHeight(r);

    int left = layout.colLefts[colIndex];
    for (int c = block.firstCol; c < layout.cols[colIndex]; ++c)
        left -= m_grid.columnWidth(c);
    k = colIndex;
    while (k + 1 < layout.cols.size() && layout.cols[k + 1] <= block.lastCol &&
           layout.cols[k + 1] > layout.cols[k])
        ++k;
    int right = layout.colLefts[k] + m_grid.columnWidth(layout.cols[k]);
    for (int c = layout.cols[k] + 1; c <= block.lastCol; ++c)
        right += m_grid.columnWidth(c);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void GridCellPainter::paint(QPainter &painter, const GridPaintLayout &layout) const
{
    if (layout.rows.isEmpty() || layout.cols.isEmpty())
        return;
    // One white sheet under all cells; blocks fill only their own colours.
    const int lastRow = layout.rows.last();
    const int lastCol = layout.cols.last();
    painter.fillRect(QRect(QPoint(layout.colLefts.first(), layout.rowTops.first()),
                           QPoint(layout.colLefts.last() + m_grid.columnWidth(lastCol) - 1,
                                  layout.rowTops.last() + m_grid.rowHeight(lastRow) - 1)),
                     Qt::white);
    paintBlocks(painter, layout);
    paintLines(painter, layout);
}

void GridCellPainter::paintBlocks(QPainter &painter, const GridPaintLayout &layout) const
{
    // Backgrounds, pictures and texts, once per block at its first listed cell.
    for (int i = 0; i < int(layout.rows.size()); ++i) {
        const int r = layout.rows[i];
        if (m_grid.rowHeight(r) <= 0)
            continue;
        for (int j = 0; j < int(layout.cols.size()); ++j) {
            const int c = layout.cols[j];
            if (m_grid.columnWidth(c) <= 0)
                continue;
            const GridArea block = m_grid.mergeAt(r, c);
            const bool firstRow =
                i == 0 || layout.rows[i - 1] < block.firstRow || layout.rows[i - 1] > r;
            const bool firstCol =
                j == 0 || layout.cols[j - 1] < block.firstCol || layout.cols[j - 1] > c;
            if (block.isSingleCell()) {
                paintBlock(painter,
                           QRect(layout.colLefts[j], layout.rowTops[i], m_grid.columnWidth(c),
                                 m_grid.rowHeight(r)),
                           r, c);
            } else if (firstRow && firstCol) {
                paintBlock(painter, blockRect(layout, block, i, j), block.firstRow, block.firstCol);
            }
        }
    }
}

void GridCellPainter::paintLines(QPainter &painter, const GridPaintLayout &layout) const
{
    // Grid lines first, then the borders over them.
    QList<Line> borders;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < int(layout.rows.size()); ++i) {
        if (m_grid.rowHeight(layout.rows[i]) <= 0)
            continue;
        for (int j = 0; j < int(layout.cols.size()); ++j) {
            if (m_grid.columnWidth(layout.cols[j]) > 0)
                cellLines(painter, layout, i, j, borders);
        }
    }
    QPen thin(Qt::black, 1);
    thin.setCapStyle(Qt::SquareCap);
    QPen thick(Qt::black, 2);
    thick.setCapStyle(Qt::SquareCap);
    for (const Line &l : std::as_const(borders)) {
        painter.setPen(l.style == GridBorder::Style::Thick ? thick : thin);
        painter.drawLine(l.line);
    }
    painter.restore();
}

void GridCellPainter::cellLines(QPainter &painter, const GridPaintLayout &layout, int i, int j,
                                QList<Line> &borders) const
{
    const int r = layout.rows[i];
    const int c = layout.cols[j];
    const int h = m_grid.rowHeight(r);
    const int w = m_grid.columnWidth(c);
    const int x = layout.colLefts[j];
    const int y = layout.rowTops[i];
    const GridArea block = m_grid.mergeAt(r, c);
    const CellStyle &s = m_grid.cellStyle(r, c);
    const bool fixed = r < m_grid.fixedRows() || c == 0;
    const bool drawGrid = m_options.gridlines || (fixed && m_options.fixedLook);
    const QColor gridColor = m_options.blackAndWhite        ? QColor(Qt::black)
                             : fixed && m_options.fixedLook ? kFixedLine
                                                            : m_options.gridColor;
    painter.setPen(QPen(gridColor, 1));
    const QLine right(x + w - 1, y, x + w - 1, y + h - 1);
    const QLine bottom(x, y + h - 1, x + w - 1, y + h - 1);
    const QLine left(x, y, x, y + h - 1);
    const QLine top(x, y, x + w - 1, y);
    // A border is shared with the neighbour only where the neighbour stands next to the cell;
    // at a page's edge the next page's cells keep theirs.
    const int nRows = int(layout.rows.size());
    const int nCols = int(layout.cols.size());
    const bool rightNext = j + 1 < nCols && layout.cols[j + 1] == c + 1;
    const bool belowNext = i + 1 < nRows && layout.rows[i + 1] == r + 1;
    const bool leftNext = j > 0 && layout.cols[j - 1] == c - 1;
    const bool aboveNext = i > 0 && layout.rows[i - 1] == r - 1;
    constexpr GridBorder::Style none = GridBorder::Style::None;
    if (c == block.lastCol) {
        if (drawGrid)
            painter.drawLine(right);
        const GridBorder::Style style =
            std::max(s.borders[2], rightNext ? m_grid.cellStyle(r, c + 1).borders[0] : none);
        if (style != none)
            borders.append({right, style});
    }
    if (r == block.lastRow) {
        if (drawGrid)
            painter.drawLine(bottom);
        const GridBorder::Style style =
            std::max(s.borders[3], belowNext ? m_grid.cellStyle(r + 1, c).borders[1] : none);
        if (style != none)
            borders.append({bottom, style});
    }
    if (j == 0 || c == block.firstCol) {
        if (j == 0 && drawGrid)
            painter.drawLine(left);
        if (s.borders[0] != none && !leftNext)
            borders.append({left, s.borders[0]});
    }
    if (i == 0 || r == block.firstRow) {
        if (i == 0 && drawGrid)
            painter.drawLine(top);
        if (s.borders[1] != none && !aboveNext)
            borders.append({top, s.borders[1]});
    }
}

void GridCellPainter::paintBlock(QPainter &painter, const QRect &rect, int row, int col) const
{
    const CellStyle &s = m_grid.cellStyle(row, col);
    const bool fixed = row < m_grid.fixedRows() || col == 0;
    if (s.backColor.isValid() && !m_options.blackAndWhite)
        painter.fillRect(rect, s.backColor);
    else if (fixed && m_options.fixedLook)
        painter.fillRect(rect, kFixedFace);
    // Other cells stand on the white sheet laid under them all.
    paintPicture(painter, rect, s);
    paintText(painter, rect, row, col);
}

void GridCellPainter::paintPicture(QPainter &painter, const QRect &rect, const CellStyle &s) const
{
    if (!s.imageKey.isEmpty()) {
        const QImage image = m_grid.image(s.imageKey);
        if (!image.isNull()) {
            // One picture fills the block, scaled to fit with its proportions kept.
            const QRect inner = rect.adjusted(1, 1, -2, -2);
            const QSize size = image.size().scaled(inner.size(), Qt::KeepAspectRatio);
            const QRect target(inner.x() + (inner.width() - size.width()) / 2,
                               inner.y() + (inner.height() - size.height()) / 2, size.width(),
                               size.height());
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, m_options.blackAndWhite
                                          ? image.convertToFormat(QImage::Format_Grayscale8)
                                          : image);
            painter.restore();
        }
    }
    // Diagonal lines belong to the block's picture, under the text.
    const bool down = s.borders[4] != GridBorder::Style::None;
    const bool up = s.borders[5] != GridBorder::Style::None;
    if (down || up) {
        painter.save();
        const bool thick = std::max(s.borders[4], s.borders[5]) == GridBorder::Style::Thick;
        painter.setPen(QPen(Qt::black, thick ? 2 : 1));
        if (down)
            painter.drawLine(rect.topLeft(), rect.bottomRight());
        if (up)
            painter.drawLine(rect.bottomLeft(), rect.topRight());
        painter.restore();
    }
}

void GridCellPainter::paintText(QPainter &painter, const QRect &rect, int row, int col) const
{
    const QString text = m_grid.displayText(row, col);
    if (text.isEmpty())
        return;
    const CellStyle &s = m_grid.cellStyle(row, col);
    const GridAlign align = m_grid.cellAlignment(row, col);
    int h = alignHorizontal(align);
    if (h < 0) {
        if (col == 0 && m_grid.displayRowIndex() && row >= m_grid.fixedRows())
            h = 1;
        else
            h = m_grid.isNumericCell(row, col) ? 2 : 0;
    }
    const int v = alignVertical(align);
    int flags = (h == 0 ? Qt::AlignLeft : (h == 1 ? Qt::AlignHCenter : Qt::AlignRight)) |
                (v == 0 ? Qt::AlignTop : (v == 2 ? Qt::AlignBottom : Qt::AlignVCenter));
    if (s.wrapText)
        flags |= Qt::TextWordWrap;
    auto font = m_fonts.constFind(&s);
    if (font == m_fonts.cend()) {
        const QFont f = pixelFont(m_grid, row, col);
        font = m_fonts.insert(&s, FontEntry{f, f.key()});
    }
    painter.setFont(font->font);
    painter.setPen(s.foreColor.isValid() && !m_options.blackAndWhite ? s.foreColor
                                                                     : QColor(Qt::black));
    const QRect box = rect.adjusted(kPadX, kPadY, -kPadX, -kPadY);
    const bool oneLine = !s.wrapText && !text.contains(u'\n');
    if (oneLine && paintCachedText(painter, box, *font, text, h, v))
        return;
    const QString drawn =
        oneLine ? fitText(text, font->font, box.width(), m_grid.isNumericCell(row, col)) : text;
    if (m_options.textLayer)
        m_options.textLayer->record(font->font, drawn);
    // drawText clips a text that does not fit its rectangle.
    painter.drawText(box, flags, drawn);
}

bool GridCellPainter::paintCachedText(QPainter &painter, const QRect &box, const FontEntry &font,
                                      const QString &text, int h, int v) const
{
    if (!m_options.textCache)
        return false;
    GridTextCache &cache = *m_options.textCache;
    const QString key = font.key + QChar(0) + text;
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() > 20000)
            cache.clear(); // a bound, not a policy: one screen needs a few hundred
        QStaticText laid(text);
        laid.setTextFormat(Qt::PlainText);
        laid.setPerformanceHint(QStaticText::AggressiveCaching);
        laid.prepare(QTransform(), font.font);
        it = cache.insert(key, laid);
    }
    const QSizeF size = it->size();
    if (size.width() > box.width() || size.height() > box.height() + 2 * kPadY)
        return false;
    const double x = h == 0   ? box.left()
                     : h == 1 ? box.left() + (box.width() - size.width()) / 2
                              : box.right() + 1 - size.width();
    const double y = v == 0   ? box.top()
                     : v == 2 ? box.bottom() + 1 - size.height()
                              : box.top() + (box.height() - size.height()) / 2;
    painter.drawStaticText(QPointF(x, y), *it);
    return true;
}

} // namespace fenpai
