#pragma once

#include "grid/gridarea.h"
#include "grid/gridcell.h"
#include "grid/gridcursor.h"
#include "grid/gridrange.h"

#include <QObject>
#include <QPointer>

namespace fenpai {

class Grid;

// The user's selection in a grid: the selected area and the active cell. A view owns one; the
// grid knows nothing of it. It follows the grid: rows and columns that go take the selection
// back inside the grid, and when the data rows all go it waits in the fixed rows ("parked") and
// returns to the first data row when rows come back (a document refilled from its header row).
class GridSelection final : public QObject
{
    Q_OBJECT

public:
    explicit GridSelection(Grid *grid = nullptr, QObject *parent = nullptr);

    Grid *grid() const { return m_grid; }
    // Follows another grid (or none), starting at the first data cell.
    void setGrid(Grid *grid);

    const GridArea &area() const { return m_cursor.area; }
    int activeRow() const { return m_cursor.activeRow; }
    int activeCol() const { return m_cursor.activeCol; }
    const GridCursor &cursor() const { return m_cursor; }
    void setCursor(const GridCursor &cursor); // kept inside the grid

    // The selected cells and the active cell of the grid; a grid is needed.
    GridRange range() const;
    GridCell activeCell() const;

    void setActiveCell(int row, int col);        // selects that single cell
    void select(int r1, int c1, int r2, int c2); // active cell (r1, c1)
    void select(const GridArea &area);           // active cell at its top-left
    // Sets selection and active cell without normalising the active cell into a corner.
    void setSelection(const GridArea &area, int activeRow, int activeCol);

signals:
    // The area or the active cell changed, or was set again.
    void selectionChanged();

private:
    void clamp(); // inside the grid; parks the active cell when the data rows went
    void unpark();
    void restart();
    // A selection nobody has chosen yet starts on the first data row, whatever header rows a
    // report gives its grid after the selection was made.
    void settleFresh();

    QPointer<Grid> m_grid;
    GridCursor m_cursor;
    bool m_parked = false;
    bool m_fresh = true; // not chosen since the grid was new or replaced
};

} // namespace fenpai
