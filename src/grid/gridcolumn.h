#pragma once

#include "grid/cellstyle.h"

#include <QFont>
#include <QString>

#include <functional>

namespace fenpai {

class Grid;

// Measures the width in pixels of a text in a font; the model stays free of widgets.
using GridTextMeasure = std::function<double(const QFont &font, const QString &text)>;

// One column of a grid: a light handle, valid while the grid and the column exist.
class GridColumn final
{
public:
    GridColumn(Grid *grid, int col)
        : m_grid(grid)
        , m_col(col)
    {}
    int width() const;
    void setWidth(int pixels);
    int mask() const;
    void setMask(int mask);
    GridAlign alignment() const;
    void setAlignment(GridAlign align);
    QString formatString() const;
    void setFormatString(const QString &format);
    // Widens or narrows the column to its widest shown text. Without a measure the installed
    // fonts are asked (needs a QGuiApplication); otherwise an estimate is used.
    void autoFit(const GridTextMeasure &measure = {});
    void sort(int order); // 0 ascending, 1 descending

private:
    Grid *m_grid;
    int m_col;
};

} // namespace fenpai
