#pragma once

#include "grid/grid.h"
#include "grid/gridcellpainter.h"
#include "grid/gridselection.h"
#include "ui/grid/gridviewgeometry.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <functional>

namespace fenpai {

class GridCellEditor;

// Shows a Grid like a spreadsheet: the fixed rows and column 0 stay while the rest scrolls,
// only visible cells are painted, and the user selects, edits, resizes and (with
// allowUserSort) sorts by a header double-click. The grid is not owned; the selection is the
// view's own. A change of the grid repaints only the cells it reports, and lays rows and
// columns out again only from the first one that moved.
class GridView final : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit GridView(Grid *grid, QWidget *parent = nullptr);
    ~GridView() override;

    Grid *grid() const { return m_grid; }
    void setGrid(Grid *grid);
    GridSelection &selection() { return m_selection; }
    const GridSelection &selection() const { return m_selection; }

    // Viewport rectangle of the block holding the cell (empty when hidden).
    QRect cellRect(int row, int col) const;
    // The cell under a viewport point; false outside the cells.
    bool cellAt(const QPoint &pos, int *row, int *col) const;
    void scrollToCell(int row, int col);

    // Starts editing the cell in place; refused (false) when the grid is disabled or the cell
    // locked. With replace the editor starts with `text`, otherwise with the cell's text.
    bool editCell(int row, int col, const QString &text = {}, bool replace = false);
    bool isEditing() const;
    void commitEdit();
    void cancelEdit();

    QSize sizeHint() const override;

    // The changes the view makes to the grid (typing, Delete, a header sort) go through this
    // function when one is set, so that a document can make each one an undo step: it gets
    // the step's name, the cells the change writes (empty when rows move) and the change.
    using ChangeFunction = std::function<void(const QString &text, const GridArea &cells,
                                              const std::function<void(Grid &)> &change)>;
    void setChangeFunction(ChangeFunction function) { m_change = std::move(function); }

signals:
    void selectionChanged(int firstRow, int firstCol, int lastRow, int lastCol);
    // Before the view handles a key; a handler sets *handled to swallow it.
    void keyPressed(int key, Qt::KeyboardModifiers modifiers, bool *handled);
    void rowClicked(int row);
    void cellClicked(int row, int col);
    // A drop-down cell is opening: the handler fills *items.
    void dropDownRequested(int row, int col, QStringList *items);
    void dropDownChosen(int row, int col, int index, const QString &text);
    // A cell's text changed through the view (typing, drop-down, Delete).
    void cellEdited(int row, int col, const QString &oldText, const QString &newText);
    void sortedByColumn(int col, int order);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;

private:
    enum class Drag
    {
        None,
        Select,
        ColumnWidth,
        RowHeight
    };
    void gridChanged(const GridArea &area);
    void relayout();
    void updateScrollBars();
    int resizeColumnAt(const QPoint &pos) const;
    int resizeRowAt(const QPoint &pos) const;
    void paintRegion(QPainter &painter, const QRect &clip, int r1, int r2, int c1, int c2) const;
    void paintSelection(QPainter &painter) const;
    void moveCursor(int dRow, int dCol, bool extend);
    // The keys that move the active cell, and those that edit; false for any other key.
    bool moveKey(const QKeyEvent *event);
    bool editKey(const QKeyEvent *event);
    void moveTo(int row, int col, bool extend);
    int nextVisibleRow(int row, int step) const;
    int nextVisibleCol(int col, int step) const;
    void chooseFromList(int index);
    void clearSelectedTexts();
    void change(const QString &text, const GridArea &cells,
                const std::function<void(Grid &)> &change);

    QPointer<Grid> m_grid;
    ChangeFunction m_change;
    GridSelection m_selection;
    GridCellEditor *m_editor;
    GridViewGeometry m_geometry;
    mutable GridTextCache m_textCache;
    bool m_scrollBarsQueued = false;

    Drag m_drag = Drag::None;
    int m_dragIndex = -1;
    int m_dragOrigin = 0;
    int m_dragStartSize = 0;
    int m_extendRow = -1; // the moving corner of a Shift selection
    int m_extendCol = -1;
    int m_sortCol = -1;
    int m_sortOrder = 1;
};

} // namespace fenpai
