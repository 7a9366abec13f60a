#pragma once

#include "grid/cellstyle.h"
#include "grid/gridarea.h"
#include "grid/gridfont.h"

#include <QColor>
#include <QString>

namespace fenpai {

class Grid;

// A rectangle of cells of a grid, and the operations on it.
class GridRange final
{
public:
    GridRange(Grid *grid, int r1, int c1, int r2, int c2);
    GridRange(Grid *grid, const GridArea &area);

    int firstRow() const { return m_area.firstRow; }
    int lastRow() const { return m_area.lastRow; }
    int firstCol() const { return m_area.firstCol; }
    int lastCol() const { return m_area.lastCol; }
    const GridArea &area() const { return m_area; }

    void merge();
    bool mergeCells() const;     // true when the range is exactly one merged block
    void setMergeCells(bool on); // false unmerges every block inside the range
    void setBorder(GridBorder::Edge edge, GridBorder::Style style);
    void clear(); // texts, tags, formats and merges
    void clearText();

    void setFontName(const QString &name);
    void setFontSize(double points);
    void setFontBold(bool on);
    void setFontItalic(bool on);
    void setFontUnderline(bool on);
    void setFontStrikeout(bool on);
    void setFont(const GridFont &font); // every part at once
    void setForeColor(const QColor &color);
    void setBackColor(const QColor &color);
    void setAlignment(GridAlign align);
    void setWrapText(bool on);
    void setLocked(bool on);
    void setDropDown(bool on);
    void setImage(const QString &key);

    void insertRows(); // as many rows as the range has, before its first row
    void insertCols();
    void deleteByRow(); // deletes the range's rows (never the fixed rows)
    void deleteByCol(); // deletes the range's columns (never column 0)

private:
    Grid *m_grid;
    GridArea m_area;
};

} // namespace fenpai
