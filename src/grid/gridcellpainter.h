#pragma once

#include "grid/cellstyle.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QLine>
#include <QList>
#include <QRect>
#include <QStaticText>

class QPainter;

namespace fenpai {

class Grid;
class PdfTextLayer;
struct GridArea;

// Where the cells to paint lie: the listed rows from top to bottom with the y of each, the
// listed columns from left to right with the x of each. Sizes come from the grid (pixels at
// 96 dpi); a printer scales the painter.
struct GridPaintLayout
{
    QList<int> rows;
    QList<int> rowTops;
    QList<int> cols;
    QList<int> colLefts;
};

// Laid-out single-line texts kept between paints, so scrolling a screen does not shape its
// texts again; owned by a view.
using GridTextCache = QHash<QString, QStaticText>;

struct GridPaintOptions
{
    bool gridlines = true;
    QColor gridColor = QColor(0xc0, 0xc0, 0xc0);
    bool blackAndWhite = false;         // every colour black on white
    bool fixedLook = true;              // fixed rows and column 0 on a grey button face
    GridTextCache *textCache = nullptr; // none: every text laid out as it is drawn
    PdfTextLayer *textLayer = nullptr;  // told every text drawn, for a PDF's text layer
};

// Paints cells as the grid shows them: backgrounds, texts through mask and format string,
// fonts, colours, alignment, word wrap, borders, merged blocks and pictures. GridView and
// GridPageRenderer both paint through it, so a printed table looks like the one on screen.
class GridCellPainter final
{
public:
    GridCellPainter(const Grid &grid, const GridPaintOptions &options);

    void paint(QPainter &painter, const GridPaintLayout &layout) const;

    // The rectangle of a merged block (or one cell) in layout coordinates; parts of the block
    // outside the listed rows or columns are placed by their sizes.
    QRect blockRect(const GridPaintLayout &layout, const GridArea &block, int rowIndex,
                    int colIndex) const;

    // The text a single-line cell shows in a cell of that width: the whole text when it fits,
    // "###" for a number that does not, an elided text otherwise. Wrapped cells keep their text.
    static QString shownText(const Grid &grid, int row, int col, int cellWidth);
    static QString fitText(const QString &text, const QFont &font, int width, bool numeric);

    // The font of a cell with its size in pixels, so it scales with the painter.
    static QFont pixelFont(const Grid &grid, int row, int col);

private:
    struct FontEntry
    {
        QFont font;
        QString key; // tells fonts apart in the text cache
    };
    struct Line
    {
        QLine line;
        GridBorder::Style style;
    };

    void paintBlocks(QPainter &painter, const GridPaintLayout &layout) const;
    void paintLines(QPainter &painter, const GridPaintLayout &layout) const;
    // The grid lines of the cell at (i, j) of the layout; its borders go into `borders`.
    void cellLines(QPainter &painter, const GridPaintLayout &layout, int i, int j,
                   QList<Line> &borders) const;
    void paintBlock(QPainter &painter, const QRect &rect, int row, int col) const;
    void paintPicture(QPainter &painter, const QRect &rect, const CellStyle &s) const;
    void paintText(QPainter &painter, const QRect &rect, int row, int col) const;
    // Draws through the text cache when the text fits on one line; false when it does not.
    bool paintCachedText(QPainter &painter, const QRect &box, const FontEntry &font,
                         const QString &text, int h, int v) const;

    const Grid &m_grid;
    GridPaintOptions m_options;
    mutable QHash<const CellStyle *, FontEntry> m_fonts; // by style, for one painter's life
};

} // namespace fenpai
