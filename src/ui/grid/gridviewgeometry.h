#pragma once

#include <QRect>
#include <QtGlobal>

#include <vector>

namespace fenpai {

class Grid;
struct GridArea;

// Where the cells of a grid lie in a view. Rows and columns are laid out in pixels from the
// table's top-left corner, kept between paints and laid out again only from the first row or
// column that moved, so a row added at the end or a cell edited costs next to nothing. In the
// viewport the fixed rows and column 0 stay while the rest scrolls.
class GridViewGeometry final
{
public:
    // The grid laid out; not owned, null for none.
    void setGrid(const Grid *grid);
    // Rows from `row` on (columns from `col` on) moved or changed size.
    void invalidateRowsFrom(int row);
    void invalidateColsFrom(int col);
    void setScroll(int x, int y) { m_scrollX = x, m_scrollY = y; }
    // Lays out what was invalidated and whatever a changed row or column count needs. Every
    // query below does so first.
    void update() const;

    // Table coordinates. rowTop(rows()) is the table's height, colLeft(cols()) its width.
    int rows() const;
    int cols() const;
    qint64 rowTop(int row) const;
    qint64 colLeft(int col) const;

    // Viewport coordinates.
    int firstDataRow() const; // the first row below the fixed rows
    int fixedWidth() const;
    int fixedHeight() const;
    int xOf(int col) const; // a column's left edge
    int yOf(int row) const;
    int rowAtY(int y) const; // -1 outside the rows
    int colAtX(int x) const;
    // The block holding the cell; empty when hidden.
    QRect cellRect(int row, int col) const;
    // The part of the viewport showing the cells of the area, with the lines on their edges;
    // empty when none show.
    QRect areaRect(const GridArea &area, const QRect &viewport) const;

private:
    struct Span // pixels from .. to-1 along one axis
    {
        qint64 from = 0;
        qint64 to = 0;
        bool isEmpty() const { return to <= from; }
    };
    Span rowSpan(int r1, int r2) const;
    Span colSpan(int c1, int c2) const;

    const Grid *m_grid = nullptr;
    mutable std::vector<qint64> m_rowY{0}; // top of each row, rows + 1 entries
    mutable std::vector<qint64> m_colX{0};
    mutable int m_rowsValid = 0; // rows laid out and unchanged, from the top
    mutable int m_colsValid = 0;
    int m_scrollX = 0;
    int m_scrollY = 0;
};

} // namespace fenpai
