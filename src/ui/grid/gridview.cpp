#include "ui/grid/gridview.h"

#include "ui/grid/gridcelleditor.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace fenpai {

namespace {

constexpr int kResizeMargin = 3;
const QColor kSelectionFill(0x33, 0x66, 0xcc, 0x40);
const QColor kSelectionFrame(0x1f, 0x4e, 0xa8);

} // namespace

GridView::GridView(Grid *grid, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_editor(new GridCellEditor(viewport()))
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_selection, &GridSelection::selectionChanged, this, [this] {
        viewport()->update();
        const GridArea &a = m_selection.area();
        emit selectionChanged(a.firstRow, a.firstCol, a.lastRow, a.lastCol);
    });
    connect(m_editor, &GridCellEditor::commitAndMove, this, [this](int dRow, int dCol) {
        commitEdit();
        setFocus();
        moveCursor(dRow, dCol, false);
    });
    connect(m_editor, &GridCellEditor::cancelled, this, &GridView::cancelEdit);
    connect(m_editor, &GridCellEditor::chosen, this, &GridView::chooseFromList);
    connect(m_editor, &GridCellEditor::focusLost, this, &GridView::commitEdit);
    setGrid(grid);
}

GridView::~GridView() = default;

void GridView::setGrid(Grid *grid)
{
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    m_editor->close();
    m_grid = grid;
    if (m_grid) {
        connect(m_grid, &Grid::changed, this, &GridView::gridChanged);
        connect(m_grid, &QObject::destroyed, this, [this] { setGrid(nullptr); });
    }
    m_selection.setGrid(m_grid);
    m_sortCol = -1;
    m_geometry.setGrid(m_grid);
    relayout();
}

QSize GridView::sizeHint() const
{
    return QSize(640, 480);
}

// --- layout ------------------------------------------------------------------------------------

void GridView::gridChanged(const GridArea &area)
{
    if (!area.rowsMoved() && !area.colsMoved()) {
        const QRect rect = m_geometry.areaRect(area, viewport()->rect());
        if (!rect.isEmpty())
            viewport()->update(rect);
        return;
    }
    // What lies before the first moved row and column stays; the rest is laid out and painted
    // again.
    QRect moved;
    if (area.rowsMoved()) {
        const int row = std::min(area.firstRow, m_geometry.rows());
        moved |= QRect(0, std::max(0, m_geometry.yOf(row)), width(), height());
        m_geometry.invalidateRowsFrom(row);
    }
    if (area.colsMoved()) {
        const int col = std::min(area.firstCol, m_geometry.cols());
        moved |= QRect(std::max(0, m_geometry.xOf(col)), 0, width(), height());
        m_geometry.invalidateColsFrom(col);
    }
    viewport()->update(moved.intersected(viewport()->rect()));
    // Many changes in a row cost one update of the scroll bars, once the event loop runs; a
    // scroll bar that moves repaints the rest.
    if (!m_scrollBarsQueued) {
        m_scrollBarsQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_scrollBarsQueued = false;
            updateScrollBars();
        });
    }
}

void GridView::relayout()
{
    updateScrollBars();
    viewport()->update();
}

void GridView::updateScrollBars()
{
    const QSize size = viewport()->size();
    const qint64 dataWidth = m_geometry.colLeft(m_geometry.cols()) - m_geometry.fixedWidth();
    const qint64 dataHeight = m_geometry.rowTop(m_geometry.rows()) - m_geometry.fixedHeight();
    const int pageW = std::max(0, size.width() - m_geometry.fixedWidth());
    const int pageH = std::max(0, size.height() - m_geometry.fixedHeight());
    horizontalScrollBar()->setRange(0, int(std::max<qint64>(0, dataWidth - pageW)));
    horizontalScrollBar()->setPageStep(pageW);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, int(std::max<qint64>(0, dataHeight - pageH)));
    verticalScrollBar()->setPageStep(pageH);
    verticalScrollBar()->setSingleStep(m_grid ? m_grid->defaultRowHeight() : 20);
}

bool GridView::cellAt(const QPoint &pos, int *row, int *col) const
{
    const int r = m_geometry.rowAtY(pos.y());
    const int c = m_geometry.colAtX(pos.x());
    if (r < 0 || c < 0)
        return false;
    *row = r;
    *col = c;
    return true;
}

QRect GridView::cellRect(int row, int col) const
{
    return m_geometry.cellRect(row, col);
}

void GridView::scrollToCell(int row, int col)
{
    if (!m_grid || !m_grid->isValidCell(row, col))
        return;
    const QSize size = viewport()->size();
    if (row >= m_geometry.firstDataRow()) {
        const qint64 top = m_geometry.rowTop(row) - m_geometry.fixedHeight();
        const qint64 bottom = m_geometry.rowTop(row + 1) - m_geometry.fixedHeight();
        const int page = size.height() - m_geometry.fixedHeight();
        QScrollBar *bar = verticalScrollBar();
        if (top < bar->value())
            bar->setValue(int(top));
        else if (bottom > bar->value() + page)
            bar->setValue(int(std::min<qint64>(top, bottom - page)));
    }
    if (col >= 1) {
        const qint64 left = m_geometry.colLeft(col) - m_geometry.fixedWidth();
        const qint64 right = m_geometry.colLeft(col + 1) - m_geometry.fixedWidth();
        const int page = size.width() - m_geometry.fixedWidth();
        QScrollBar *bar = horizontalScrollBar();
        if (left < bar->value())
            bar->setValue(int(left));
        else if (right > bar->value() + page)
            bar->setValue(int(std::min<qint64>(left, right - page)));
    }
}

// --- painting ----------------------------------------------------------------------------------

void GridView::paintRegion(QPainter &painter, const QRect &clip, int r1, int r2, int c1,
                           int c2) const
{
    if (clip.isEmpty() || r1 > r2 || c1 > c2)
        return;
    GridPaintLayout layout;
    for (int r = r1; r <= r2; ++r) {
        if (m_grid->rowHeight(r) > 0) {
            layout.rows.append(r);
            layout.rowTops.append(m_geometry.yOf(r));
        }
    }
    for (int c = c1; c <= c2; ++c) {
        if (m_grid->columnWidth(c) > 0) {
            layout.cols.append(c);
            layout.colLefts.append(m_geometry.xOf(c));
        }
    }
    painter.save();
    painter.setClipRect(clip);
    GridPaintOptions options;
    options.textCache = &m_textCache;
    GridCellPainter(*m_grid, options).paint(painter, layout);
    painter.restore();
}

void GridView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const QRect all = viewport()->rect();
    const QRect dirty = event->rect().intersected(all);
    const QColor outside = palette().color(QPalette::Base).darker(104);
    if (!m_grid) {
        painter.fillRect(dirty, outside);
        return;
    }
    // Only the part beyond the table's right and bottom edges needs the outside colour.
    const int tableRight =
        m_geometry.xOf(m_grid->cols() - 1) + m_grid->columnWidth(m_grid->cols() - 1);
    const int tableBottom = m_grid->rows() > 0 ? m_geometry.yOf(m_grid->rows() - 1) +
                                                     m_grid->rowHeight(m_grid->rows() - 1)
                                               : 0;
    if (tableRight < all.width())
        painter.fillRect(QRect(tableRight, 0, all.width() - tableRight, all.height()), outside);
    if (tableBottom < all.height())
        painter.fillRect(QRect(0, tableBottom, all.width(), all.height() - tableBottom), outside);
    const int fw = m_geometry.fixedWidth();
    const int fh = m_geometry.fixedHeight();
    const int fixedRows = m_geometry.firstDataRow();
    const int rows = m_grid->rows();
    const int cols = m_grid->cols();

    // The scrolled data rows and columns in the dirty part. The painter draws a top line over
    // the first row it is given and a left line beside the first column, so a partial paint
    // starts one visible row (column) early, where the clip hides those lines; from the first
    // row (column) in view on it paints as a full paint does.
    // Positions beyond the last row or column find none (-1): nothing of the table to paint.
    const int firstRowInView = std::max(m_geometry.rowAtY(fh), fixedRows);
    int r1 = m_geometry.rowAtY(std::max(fh, dirty.top()));
    r1 = r1 < 0 ? rows : std::max(r1, fixedRows);
    while (r1 > firstRowInView && r1 < rows && m_geometry.yOf(r1) >= dirty.top())
        --r1;
    int r2 = m_geometry.rowAtY(dirty.bottom());
    if (r2 < 0)
        r2 = rows - 1;
    const int firstColInView = std::max(m_geometry.colAtX(fw), 1);
    int c1 = m_geometry.colAtX(std::max(fw, dirty.left()));
    c1 = c1 < 0 ? cols : std::max(c1, 1);
    while (c1 > firstColInView && c1 < cols && m_geometry.xOf(c1) >= dirty.left())
        --c1;
    int c2 = m_geometry.colAtX(dirty.right());
    if (c2 < 0)
        c2 = cols - 1;

    const QRect corner = QRect(0, 0, fw, fh).intersected(dirty);
    const QRect top = QRect(fw, 0, all.width() - fw, fh).intersected(dirty);
    const QRect left = QRect(0, fh, fw, all.height() - fh).intersected(dirty);
    const QRect body = QRect(fw, fh, all.width() - fw, all.height() - fh).intersected(dirty);
    paintRegion(painter, body, r1, r2, c1, c2);
    paintRegion(painter, top, 0, fixedRows - 1, c1, c2);
    if (cols > 0) {
        paintRegion(painter, left, r1, r2, 0, 0);
        paintRegion(painter, corner, 0, fixedRows - 1, 0, 0);
    }
    paintSelection(painter);
}

void GridView::paintSelection(QPainter &painter) const
{
    // A tint over the selected cells, a frame round the active cell.
    const GridArea sel = m_selection.area();
    if (sel.isEmpty() || !m_grid->isValidCell(sel.firstRow, sel.firstCol))
        return;
    const int x1 = m_geometry.xOf(sel.firstCol);
    const int y1 = m_geometry.yOf(sel.firstRow);
    const int x2 = m_geometry.xOf(sel.lastCol) + m_grid->columnWidth(sel.lastCol);
    const int y2 = m_geometry.yOf(sel.lastRow) + m_grid->rowHeight(sel.lastRow);
    QRect area(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
    painter.save();
    QRect clip = viewport()->rect();
    if (sel.firstRow >= m_geometry.firstDataRow())
        clip.setTop(m_geometry.fixedHeight());
    if (sel.firstCol >= 1)
        clip.setLeft(m_geometry.fixedWidth());
    painter.setClipRect(clip);
    if (!sel.isSingleCell() && !(m_grid->mergeAt(sel.firstRow, sel.firstCol) == sel)) {
        QRegion tint(area);
        tint -= cellRect(m_selection.activeRow(), m_selection.activeCol());
        painter.setClipRegion(QRegion(clip).intersected(tint));
        painter.fillRect(area, kSelectionFill);
        painter.setClipRect(clip);
    }
    painter.setPen(QPen(kSelectionFrame, 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const QRect active = cellRect(m_selection.activeRow(), m_selection.activeCol());
    if (!active.isEmpty()) {
        painter.setPen(QPen(kSelectionFrame, 2));
        painter.drawRect(active.adjusted(1, 1, -1, -1));
    }
    painter.restore();
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void GridView::scrollContentsBy(int, int)
{
    m_geometry.setScroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    if (isEditing())
        commitEdit();
    viewport()->update();
}

// --- selection and keys --------------------------------------------------------------------------

int GridView::nextVisibleRow(int row, int step) const
{
    const int first = m_geometry.firstDataRow();
    int r = row;
    // Step out of a merged block before moving on.
    if (step > 0)
        r = m_grid->mergeAt(row, m_selection.activeCol()).lastRow;
    else if (step < 0)
        r = m_grid->mergeAt(row, m_selection.activeCol()).firstRow;
    int next = r + step;
    while (next >= first && next < m_grid->rows() && m_grid->rowHeight(next) == 0)
        next += step;
    if (next < first || next >= m_grid->rows())
        return row;
    return next;
}

int GridView::nextVisibleCol(int col, int step) const
{
    int c = col;
    if (step > 0)
        c = m_grid->mergeAt(m_selection.activeRow(), col).lastCol;
    else if (step < 0)
        c = m_grid->mergeAt(m_selection.activeRow(), col).firstCol;
    int next = c + step;
    while (next >= 1 && next < m_grid->cols() && m_grid->columnWidth(next) == 0)
        next += step;
    if (next < 1 || next >= m_grid->cols())
        return col;
    return next;
}

void GridView::moveTo(int row, int col, bool extend)
{
    row = std::clamp(row, m_geometry.firstDataRow(),
                     std::max(m_geometry.firstDataRow(), m_grid->rows() - 1));
    col = std::clamp(col, std::min(1, m_grid->cols() - 1), std::max(0, m_grid->cols() - 1));
    m_extendRow = row;
    m_extendCol = col;
    if (extend) {
        const int activeRow = m_selection.activeRow();
        const int activeCol = m_selection.activeCol();
        m_selection.setSelection(GridArea::normalized(activeRow, activeCol, row, col), activeRow,
                                 activeCol);
    } else {
        const GridArea block = m_grid->mergeAt(row, col);
        m_selection.setSelection(block, block.firstRow, block.firstCol);
    }
    scrollToCell(row, col);
}

void GridView::moveCursor(int dRow, int dCol, bool extend)
{
    int row = extend && m_extendRow >= 0 ? m_extendRow : m_selection.activeRow();
    int col = extend && m_extendCol >= 0 ? m_extendCol : m_selection.activeCol();
    if (dRow != 0) {
        const int step = dRow > 0 ? 1 : -1;
        for (int i = 0; i < std::abs(dRow); ++i)
            row = nextVisibleRow(row, step);
    }
    if (dCol != 0)
        col = nextVisibleCol(col, dCol > 0 ? 1 : -1);
    moveTo(row, col, extend);
}

void GridView::keyPressEvent(QKeyEvent *event)
{
    if (!m_grid) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    bool handled = false;
    emit keyPressed(event->key(), event->modifiers(), &handled);
    if (handled || !m_grid->isEnabled())
        return;
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    if (m_extendRow < 0 || !shift) {
        m_extendRow = m_selection.activeRow();
        m_extendCol = m_selection.activeCol();
    }
    if (moveKey(event) || editKey(event))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

bool GridView::moveKey(const QKeyEvent *event)
{
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int pageRows = std::max(1, (viewport()->height() - m_geometry.fixedHeight()) /
                                         std::max(1, m_grid->defaultRowHeight()));
    switch (event->key()) {
    case Qt::Key_Up:
        moveCursor(-1, 0, shift);
        return true;
    case Qt::Key_Down:
        moveCursor(1, 0, shift);
        return true;
    case Qt::Key_Left:
        moveCursor(0, -1, shift);
        return true;
    case Qt::Key_Right:
        moveCursor(0, 1, shift);
        return true;
    case Qt::Key_PageUp:
        moveCursor(-pageRows, 0, shift);
        return true;
    case Qt::Key_PageDown:
        moveCursor(pageRows, 0, shift);
        return true;
    case Qt::Key_Home:
        moveTo(ctrl ? m_geometry.firstDataRow() : m_extendRow, 1, shift);
        return true;
    case Qt::Key_End:
        moveTo(ctrl ? m_grid->rows() - 1 : m_extendRow, m_grid->cols() - 1, shift);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveCursor(shift ? -1 : 1, 0, false);
        return true;
    case Qt::Key_Tab:
        moveCursor(0, 1, false);
        return true;
    case Qt::Key_Backtab:
        moveCursor(0, -1, false);
        return true;
    default:
        return false;
    }
}

bool GridView::editKey(const QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F2:
        editCell(m_selection.activeRow(), m_selection.activeCol());
        return true;
    case Qt::Key_Delete:
        clearSelectedTexts();
        return true;
    default:
        break;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        m_selection.setSelection(
            GridArea{m_geometry.firstDataRow(), 1, m_grid->rows() - 1, m_grid->cols() - 1},
            m_selection.activeRow(), m_selection.activeCol());
        return true;
    }
    // Typing starts an edit with what was typed.
    const QString text = event->text();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (!ctrl && !(event->modifiers() & Qt::AltModifier) && !text.isEmpty() &&
        text.at(0).isPrint()) {
        editCell(m_selection.activeRow(), m_selection.activeCol(), text, true);
        return true;
    }
    return false;
}

bool GridView::viewportEvent(QEvent *event)
{
    // A value the cell cannot show whole ("###" or an ellipsis) is shown whole as a tooltip.
    if (event->type() == QEvent::ToolTip && m_grid) {
        const QPoint pos = static_cast<QHelpEvent *>(event)->pos();
        int row = 0;
        int col = 0;
        if (cellAt(pos, &row, &col)) {
            const GridArea block = m_grid->mergeAt(row, col);
            int width = 0;
            for (int c = block.firstCol; c <= block.lastCol; ++c)
                width += m_grid->columnWidth(c);
            const QString text = m_grid->displayText(block.firstRow, block.firstCol);
            if (GridCellPainter::shownText(*m_grid, block.firstRow, block.firstCol, width) !=
                text) {
                QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), text, this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

bool GridView::event(QEvent *event)
{
    // Tab moves between cells instead of leaving the grid.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void GridView::clearSelectedTexts()
{
    const GridArea sel = m_selection.area();
    change(QStringLiteral("清除"), sel, [this, sel](Grid &grid) {
        for (int r = sel.firstRow; r <= sel.lastRow; ++r) {
            for (int c = sel.firstCol; c <= sel.lastCol; ++c) {
                if (grid.cellStyle(r, c).locked || grid.cellText(r, c).isEmpty())
                    continue;
                const QString old = grid.cellText(r, c);
                grid.setCellText(r, c, QString());
                emit cellEdited(r, c, old, QString());
            }
        }
    });
}

void GridView::change(const QString &text, const GridArea &cells,
                      const std::function<void(Grid &)> &change)
{
    if (!m_grid)
        return;
    if (m_change)
        m_change(text, cells, change);
    else
        change(*m_grid);
}

// --- mouse -------------------------------------------------------------------------------------

int GridView::resizeColumnAt(const QPoint &pos) const
{
    if (!m_grid || pos.y() >= std::max(m_geometry.fixedHeight(), 1))
        return -1;
    // The rightmost column whose right edge is near; hidden columns are passed over.
    for (int c = m_grid->cols() - 1; c >= 0; --c) {
        const int w = m_grid->columnWidth(c);
        if (w == 0)
            continue;
        const int right = m_geometry.xOf(c) + w;
        if (c > 0 && right <= m_geometry.fixedWidth())
            continue;
        if (std::abs(pos.x() - right) <= kResizeMargin)
            return c;
    }
    return -1;
}

int GridView::resizeRowAt(const QPoint &pos) const
{
    if (!m_grid || pos.x() >= m_geometry.fixedWidth())
        return -1;
    const int r = m_geometry.rowAtY(pos.y());
    if (r < 0)
        return -1;
    for (int row : {r, r - 1}) {
        if (row < 0 || m_grid->rowHeight(row) == 0)
            continue;
        if (std::abs(pos.y() - (m_geometry.yOf(row) + m_grid->rowHeight(row))) <= kResizeMargin)
            return row;
    }
    return -1;
}

void GridView::mousePressEvent(QMouseEvent *event)
{
    if (!m_grid || !m_grid->isEnabled() || event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    if (isEditing())
        commitEdit();
    setFocus();
    const QPoint pos = event->position().toPoint();
    if (const int col = resizeColumnAt(pos); col >= 0) {
        m_drag = Drag::ColumnWidth;
        m_dragIndex = col;
        m_dragOrigin = pos.x();
        m_dragStartSize = m_grid->columnWidth(col);
        return;
    }
    if (const int row = resizeRowAt(pos); row >= 0) {
        m_drag = Drag::RowHeight;
        m_dragIndex = row;
        m_dragOrigin = pos.y();
        m_dragStartSize = m_grid->rowHeight(row);
        return;
    }
    int row = 0;
    int col = 0;
    if (!cellAt(pos, &row, &col))
        return;
    const int fixedRows = m_geometry.firstDataRow();
    const int lastRow = m_grid->rows() - 1;
    const int lastCol = m_grid->cols() - 1;
    if (row < fixedRows && col == 0) {
        m_selection.setSelection(GridArea{fixedRows, 1, lastRow, lastCol}, fixedRows, 1);
    } else if (row < fixedRows) {
        m_selection.setSelection(GridArea{fixedRows, col, lastRow, col}, fixedRows, col);
    } else if (col == 0) {
        m_selection.setSelection(GridArea{row, 1, row, lastCol}, row, 1);
        emit rowClicked(row);
    } else {
        if (event->modifiers() & Qt::ShiftModifier) {
            moveTo(row, col, true);
        } else {
            moveTo(row, col, false);
            m_drag = Drag::Select;
        }
        emit cellClicked(row, col);
        emit rowClicked(row);
    }
}

void GridView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_grid)
        return;
    const QPoint pos = event->position().toPoint();
    switch (m_drag) {
    case Drag::ColumnWidth:
        m_grid->setColumnWidth(m_dragIndex, std::max(1, m_dragStartSize + pos.x() - m_dragOrigin));
        relayout();
        return;
    case Drag::RowHeight:
        m_grid->setRowHeight(m_dragIndex, std::max(1, m_dragStartSize + pos.y() - m_dragOrigin));
        relayout();
        return;
    case Drag::Select: {
        int row = 0;
        int col = 0;
        const QPoint clamped(
            std::clamp(pos.x(), m_geometry.fixedWidth(), viewport()->width() - 1),
            std::clamp(pos.y(), m_geometry.fixedHeight(), viewport()->height() - 1));
        if (cellAt(clamped, &row, &col) && row >= m_geometry.firstDataRow() && col >= 1)
            moveTo(row, col, true);
        return;
    }
    case Drag::None:
        break;
    }
    if (resizeColumnAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitHCursor);
    else if (resizeRowAt(pos) >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    else
        viewport()->unsetCursor();
}

void GridView::mouseReleaseEvent(QMouseEvent *event)
{
    Q_UNUSED(event);
    m_drag = Drag::None;
}

void GridView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_grid || !m_grid->isEnabled() || event->button() != Qt::LeftButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (resizeColumnAt(pos) >= 0 || resizeRowAt(pos) >= 0)
        return;
    int row = 0;
    int col = 0;
    if (!cellAt(pos, &row, &col))
        return;
    if (row < m_geometry.firstDataRow()) {
        if (col >= 1 && m_grid->allowUserSort()) {
            m_sortOrder = m_sortCol == col ? 1 - m_sortOrder : 0;
            m_sortCol = col;
            const int order = m_sortOrder;
            change(QStringLiteral("排序"), GridArea{},
                   [col, order](Grid &grid) { grid.sortByColumn(col, order); });
            emit sortedByColumn(col, m_sortOrder);
        }
        return;
    }
    if (col >= 1)
        editCell(row, col);
}

// --- editing -----------------------------------------------------------------------------------

bool GridView::isEditing() const
{
    return m_editor->isOpen();
}

bool GridView::editCell(int row, int col, const QString &text, bool replace)
{
    if (!m_grid || !m_grid->isEnabled() || !m_grid->isValidCell(row, col))
        return false;
    const GridArea block = m_grid->mergeAt(row, col);
    row = block.firstRow;
    col = block.firstCol;
    const CellStyle &style = m_grid->cellStyle(row, col);
    if (style.locked)
        return false;
    if (isEditing())
        commitEdit();
    scrollToCell(row, col);
    const QRect rect = cellRect(row, col);
    if (rect.isEmpty())
        return false;
    if (style.dropDown) {
        QStringList items;
        emit dropDownRequested(row, col, &items);
        m_editor->openList(row, col, rect, items, m_grid->cellText(row, col));
        return true;
    }
    const bool numeric = m_grid->columnMask(col) == GridMask::Numeric;
    if (numeric && replace && !GridCellEditor::canStartNumber(text))
        return false;
    m_editor->openLine(row, col, rect.adjusted(1, 1, -1, -1),
                       GridCellPainter::pixelFont(*m_grid, row, col),
                       replace ? text : m_grid->cellText(row, col), numeric);
    return true;
}

void GridView::chooseFromList(int index)
{
    const int row = m_editor->row();
    const int col = m_editor->col();
    const QString chosen = m_editor->item(index);
    m_editor->close();
    if (m_grid) {
        const QString old = m_grid->cellText(row, col);
        if (old != chosen) {
            change(QStringLiteral("输入"), GridArea{row, col, row, col},
                   [row, col, chosen](Grid &grid) { grid.setCellText(row, col, chosen); });
            emit cellEdited(row, col, old, chosen);
        }
        emit dropDownChosen(row, col, index, chosen);
    }
    setFocus();
}

void GridView::commitEdit()
{
    if (!isEditing())
        return;
    const int row = m_editor->row();
    const int col = m_editor->col();
    const bool line = m_editor->isLine();
    const QString text = m_editor->lineText();
    m_editor->close();
    if (line && m_grid) {
        const QString old = m_grid->cellText(row, col);
        if (text != old) {
            change(QStringLiteral("输入"), GridArea{row, col, row, col},
                   [row, col, text](Grid &grid) { grid.setCellText(row, col, text); });
            emit cellEdited(row, col, old, text);
        }
    }
    viewport()->update(cellRect(row, col));
}

void GridView::cancelEdit()
{
    const QRect rect = m_editor->isOpen() ? cellRect(m_editor->row(), m_editor->col()) : QRect();
    m_editor->close();
    setFocus();
    viewport()->update(rect);
}

} // namespace fenpai
