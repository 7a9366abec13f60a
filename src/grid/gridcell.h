#pragma once

#include "grid/cellstyle.h"
#include "grid/gridfont.h"

#include <QColor>
#include <QString>

namespace fenpai {

class Grid;

// One cell of a grid: a light handle, valid while the grid and the cell exist.
class GridCell final
{
public:
    GridCell(Grid *grid, int row, int col)
        : m_grid(grid)
        , m_row(row)
        , m_col(col)
    {}
    int row() const { return m_row; }
    int col() const { return m_col; }

    QString text() const;
    void setText(const QString &text);
    QString tag() const;
    void setTag(const QString &tag);
    bool wrapText() const;
    void setWrapText(bool on);
    bool locked() const;
    void setLocked(bool on);
    GridFont font() const;       // resolved against the default font
    GridAlign alignment() const; // resolved against the column
    QColor foreColor() const;
    QColor backColor() const;
    QString imageKey() const;
    void setImage(const QString &key);

private:
    Grid *m_grid;
    int m_row;
    int m_col;
};

} // namespace fenpai
