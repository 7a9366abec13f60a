#pragma once

#include <QList>
#include <QString>

class QFont;

namespace fenpai {

class Grid;

// Column widths and row heights fitted to what paper shows: every value whole, measured with the
// font as the PDF draws it (not as a screen hints it). A column grows to its widest value up to a
// limit; a longer text wraps inside its cell and its row grows. A number or a word never wraps,
// so no value ends in "###" or "…" on paper.
class GridPaperFit final
{
public:
    struct Options
    {
        int minWidth = 0;         // the narrowest a column becomes (the layout's own width)
        int maxWidth = 200;       // a longer text wraps, unless it cannot be broken
        int maxHeaderWidth = 200; // the same for the captions of the fixed rows
        // > 0: the columns together fit this width (the table's share of a page): the layout's
        // width gives way first, then the widest texts wrap. Pages only split what no wrapping
        // can hold.
        double pageWidth = 0;
    };

    // Fits the listed columns (hidden ones stay hidden), wraps the cells that need it and grows
    // their rows.
    static void fitColumns(Grid &grid, const QList<int> &cols, const Options &options);
    // Every column from 1 on.
    static void fitAll(Grid &grid, const Options &options);

    // Rows high enough for every line of their wrapped cells; rows never shrink.
    static void fitRows(Grid &grid);

    // A cell (or its merged block) whose text is wider than the cell takes smaller type, down to
    // `smallestSize` points; a text still too wide then wraps. The row keeps its height.
    static void shrinkToFit(Grid &grid, int row, int col, double smallestSize);

    // The width of a text in grid pixels as paper shows it, in a font sized in pixels
    // (GridFont::toPixelFont): the widest of the unhinted, the screen's and the design metrics.
    static double textWidth(const QFont &pixelFont, const QString &text);
    // The widest piece of the text a line may not break (a number, a word, one ideograph).
    static double unbreakableWidth(const QFont &pixelFont, const QString &text);
    // Height of the text wrapped at `width` pixels.
    static double wrappedHeight(const QFont &pixelFont, const QString &text, double width);

    // What a cell adds to its text's width: the painter's padding and the grid line.
    static constexpr int kPadding = 7;
};

} // namespace fenpai
