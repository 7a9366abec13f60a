#include "ui/grid/gridview.h"

#include "grid/gridcellpainter.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace fenpai {

namespace {

constexpr int kResizeMargin = 3;
const QColor kSelectionFill(0x33, 0x66, 0xcc, 0x40);
const QColor kSelectionFrame(0x1f, 0x4e, 0xa8);

} // namespace

GridView::GridView(Grid *grid, QWidget *parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setGrid(grid);
}

GridView::~GridView() = default;

void GridView::setGrid(Grid *grid)
{
    if (m_grid)
        disconnect(m_grid, nullptr, this, nullptr);
    closeEditor();
    m_grid = grid;
    if (m_grid) {
        connect(m_grid, &Grid::changed, this, &GridView::gridChanged);
        connect(m_grid, &Grid::selectionChanged, this, [this] {
            viewport()->update();
            const GridArea &a = m_grid->selectionArea();
            emit selectionChanged(a.firstRow, a.firstCol, a.lastRow, a.lastCol);
        });
        connect(m_grid, &QObject::destroyed, this, [this] { setGrid(nullptr); });
    }
    m_sortCol = -1;
    relayout();
}

QSize GridView::sizeHint() const
{
    return QSize(640, 480);
}

// --- layout ------------------------------------------------------------------------------------

void GridView::gridChanged()
{
    // Many changes in a row cost one layout: it is redone once the event loop runs.
    m_layoutDirty = true;
    if (!m_relayoutQueued) {
        m_relayoutQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_relayoutQueued = false;
            relayout();
        });
    }
    viewport()->update();
}

void GridView::relayout()
{
    m_layoutDirty = true;
    ensureLayout();
    updateScrollBars();
    viewport()->update();
}

void GridView::ensureLayout() const
{
    if (!m_layoutDirty)
        return;
    m_layoutDirty = false;
    const int rows = m_grid ? m_grid->rows() : 0;
    const int cols = m_grid ? m_grid->cols() : 0;
    m_rowY.assign(size_t(rows) + 1, 0);
    for (int r = 0; r < rows; ++r)
        m_rowY[r + 1] = m_rowY[r] + m_grid->rowHeight(r);
    m_colX.assign(size_t(cols) + 1, 0);
    for (int c = 0; c < cols; ++c)
        m_colX[c + 1] = m_colX[c] + m_grid->columnWidth(c);
}

int GridView::firstDataRow() const
{
    return m_grid ? std::min(m_grid->fixedRows(), m_grid->rows()) : 0;
}

int GridView::fixedWidth() const
{
    ensureLayout();
    return m_colX.size() > 1 ? int(m_colX[1]) : 0;
}

int GridView::fixedHeight() const
{
    ensureLayout();
    return int(m_rowY[size_t(firstDataRow())]);
}

void GridView::updateScrollBars()
{
    ensureLayout();
    const QSize size = viewport()->size();
    const qint64 dataWidth = m_colX.back() - fixedWidth();
    const qint64 dataHeight = m_rowY.back() - fixedHeight();
    const int pageW = std::max(0, size.width() - fixedWidth());
    const int pageH = std::max(0, size.height() - fixedHeight());
    horizontalScrollBar()->setRange(0, int(std::max<qint64>(0, dataWidth - pageW)));
    horizontalScrollBar()->setPageStep(pageW);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, int(std::max<qint64>(0, dataHeight - pageH)));
    verticalScrollBar()->setPageStep(pageH);
    verticalScrollBar()->setSingleStep(m_grid ? m_grid->defaultRowHeight() : 20);
}

int GridView::xOf(int col) const
{
    ensureLayout();
    if (col <= 0)
        return 0;
    return int(m_colX[size_t(col)] - horizontalScrollBar()->value());
}

int GridView::yOf(int row) const
{
    ensureLayout();
    if (row < firstDataRow())
        return int(m_rowY[size_t(std::max(0, row))]);
    return int(m_rowY[size_t(row)] - verticalScrollBar()->value());
}

int GridView::rowAtY(int y) const
{
    ensureLayout();
    if (!m_grid || m_grid->rows() == 0)
        return -1;
    qint64 pos = y;
    if (y >= fixedHeight())
        pos = y + verticalScrollBar()->value();
    else if (firstDataRow() == 0)
        return -1;
    const auto it = std::upper_bound(m_rowY.begin(), m_rowY.end(), pos);
    const int row = int(it - m_rowY.begin()) - 1;
    if (row < 0 || row >= m_grid->rows())
        return -1;
    return row;
}

int GridView::colAtX(int x) const
{
    ensureLayout();
    if (!m_grid || m_grid->cols() == 0)
        return -1;
    const qint64 pos = x >= fixedWidth() ? x + horizontalScrollBar()->value() : x;
    const auto it = std::upper_bound(m_colX.begin(), m_colX.end(), pos);
    const int col = int(it - m_colX.begin()) - 1;
    if (col < 0 || col >= m_grid->cols())
        return -1;
    return col;
}

bool GridView::cellAt(const QPoint &pos, int *row, int *col) const
{
    const int r = rowAtY(pos.y());
    const int c = colAtX(pos.x());
    if (r < 0 || c < 0)
        return false;
    *row = r;
    *col = c;
    return true;
}

QRect GridView::cellRect(int row, int col) const
{
    if (!m_grid || !m_grid->isValidCell(row, col))
        return {};
    const GridArea block = m_grid->mergeAt(row, col);
    ensureLayout();
    const int x1 = xOf(block.firstCol);
    const int y1 = yOf(block.firstRow);
    const int x2 = xOf(block.lastCol) + m_grid->columnWidth(block.lastCol);
    const int y2 = yOf(block.lastRow) + m_grid->rowHeight(block.lastRow);
    if (x2 <= x1 || y2 <= y1)
        return {};
    return QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
}

void GridView::scrollToCell(int row, int col)
{
    if (!m_grid || !m_grid->isValidCell(row, col))
        return;
    ensureLayout();
    const QSize size = viewport()->size();
    if (row >= firstDataRow()) {
        const qint64 top = m_rowY[size_t(row)] - fixedHeight();
        const qint64 bottom = m_rowY[size_t(row) + 1] - fixedHeight();
        const int page = size.height() - fixedHeight();
        QScrollBar *bar = verticalScrollBar();
        if (top < bar->value())
            bar->setValue(int(top));
        else if (bottom > bar->value() + page)
            bar->setValue(int(std::min<qint64>(top, bottom - page)));
    }
    if (col >= 1) {
        const qint64 left = m_colX[size_t(col)] - fixedWidth();
        const qint64 right = m_colX[size_t(col) + 1] - fixedWidth();
        const int page = size.width() - fixedWidth();
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
            layout.rowTops.append(yOf(r));
        }
    }
    for (int c = c1; c <= c2; ++c) {
        if (m_grid->columnWidth(c) > 0) {
            layout.cols.append(c);
            layout.colLefts.append(xOf(c));
        }
    }
    painter.save();
    painter.setClipRect(clip);
    GridPaintOptions options;
    options.textCache = &m_textCache;
    GridCellPainter(*m_grid, options).paint(painter, layout);
    painter.restore();
}

void GridView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const QRect all = viewport()->rect();
    const QColor outside = palette().color(QPalette::Base).darker(104);
    if (!m_grid) {
        painter.fillRect(all, outside);
        return;
    }
    ensureLayout();
    // Only the part beyond the table's right and bottom edges needs the outside colour.
    const int tableRight = xOf(m_grid->cols() - 1) + m_grid->columnWidth(m_grid->cols() - 1);
    const int tableBottom =
        m_grid->rows() > 0 ? yOf(m_grid->rows() - 1) + m_grid->rowHeight(m_grid->rows() - 1) : 0;
    if (tableRight < all.width())
        painter.fillRect(QRect(tableRight, 0, all.width() - tableRight, all.height()), outside);
    if (tableBottom < all.height())
        painter.fillRect(QRect(0, tableBottom, all.width(), all.height() - tableBottom), outside);
    const int fw = fixedWidth();
    const int fh = fixedHeight();
    const int fixedRows = firstDataRow();
    const int rows = m_grid->rows();
    const int cols = m_grid->cols();

    // The scrolled data rows and columns in view.
    int r1 = rowAtY(fh);
    int r2 = rowAtY(all.height() - 1);
    if (r1 < fixedRows)
        r1 = fixedRows;
    if (r2 < 0)
        r2 = rows - 1;
    int c1 = colAtX(fw);
    int c2 = colAtX(all.width() - 1);
    if (c1 < 1)
        c1 = 1;
    if (c2 < 0)
        c2 = cols - 1;

    const QRect corner(0, 0, fw, fh);
    const QRect top(fw, 0, all.width() - fw, fh);
    const QRect left(0, fh, fw, all.height() - fh);
    const QRect body(fw, fh, all.width() - fw, all.height() - fh);
    paintRegion(painter, body, r1, r2, c1, c2);
    paintRegion(painter, top, 0, fixedRows - 1, c1, c2);
    if (cols > 0) {
        paintRegion(painter, left, r1, r2, 0, 0);
        paintRegion(painter, corner, 0, fixedRows - 1, 0, 0);
    }

    // Selection: a tint over the selected cells, a frame round the active cell.
    const GridArea sel = m_grid->selectionArea();
    if (!sel.isEmpty() && m_grid->isValidCell(sel.firstRow, sel.firstCol)) {
        const int x1 = xOf(sel.firstCol);
        const int y1 = yOf(sel.firstRow);
        const int x2 = xOf(sel.lastCol) + m_grid->columnWidth(sel.lastCol);
        const int y2 = yOf(sel.lastRow) + m_grid->rowHeight(sel.lastRow);
        QRect area(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
        painter.save();
        QRect clip = all;
        if (sel.firstRow >= fixedRows)
            clip.setTop(fh);
        if (sel.firstCol >= 1)
            clip.setLeft(fw);
        painter.setClipRect(clip);
        if (!sel.isSingleCell() && !(m_grid->mergeAt(sel.firstRow, sel.firstCol) == sel)) {
            QRegion tint(area);
            tint -= cellRect(m_grid->activeRow(), m_grid->activeCol());
            painter.setClipRegion(QRegion(clip).intersected(tint));
            painter.fillRect(area, kSelectionFill);
            painter.setClipRect(clip);
        }
        painter.setPen(QPen(kSelectionFrame, 1));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        const QRect active = cellRect(m_grid->activeRow(), m_grid->activeCol());
        if (!active.isEmpty()) {
            painter.setPen(QPen(kSelectionFrame, 2));
            painter.drawRect(active.adjusted(1, 1, -1, -1));
        }
        painter.restore();
    }
}

void GridView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void GridView::scrollContentsBy(int, int)
{
    if (isEditing())
        commitEdit();
    viewport()->update();
}

// --- selection and keys --------------------------------------------------------------------------

int GridView::nextVisibleRow(int row, int step) const
{
    const int first = firstDataRow();
    int r = row;
    // Step out of a merged block before moving on.
    if (step > 0)
        r = m_grid->mergeAt(row, m_grid->activeCol()).lastRow;
    else if (step < 0)
        r = m_grid->mergeAt(row, m_grid->activeCol()).firstRow;
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
        c = m_grid->mergeAt(m_grid->activeRow(), col).lastCol;
    else if (step < 0)
        c = m_grid->mergeAt(m_grid->activeRow(), col).firstCol;
    int next = c + step;
    while (next >= 1 && next < m_grid->cols() && m_grid->columnWidth(next) == 0)
        next += step;
    if (next < 1 || next >= m_grid->cols())
        return col;
    return next;
}

void GridView::moveTo(int row, int col, bool extend)
{
    row = std::clamp(row, firstDataRow(), std::max(firstDataRow(), m_grid->rows() - 1));
    col = std::clamp(col, std::min(1, m_grid->cols() - 1), std::max(0, m_grid->cols() - 1));
    if (extend) {
        m_extendRow = row;
        m_extendCol = col;
        GridArea area = GridArea::normalized(m_grid->activeRow(), m_grid->activeCol(), row, col);
        m_grid->setSelection(area, m_grid->activeRow(), m_grid->activeCol());
    } else {
        m_extendRow = row;
        m_extendCol = col;
        const GridArea block = m_grid->mergeAt(row, col);
        m_grid->setSelection(block, block.firstRow, block.firstCol);
    }
    scrollToCell(row, col);
}

void GridView::moveCursor(int dRow, int dCol, bool extend)
{
    int row = extend && m_extendRow >= 0 ? m_extendRow : m_grid->activeRow();
    int col = extend && m_extendCol >= 0 ? m_extendCol : m_grid->activeCol();
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
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int pageRows = std::max(1, (viewport()->height() - fixedHeight()) /
                                         std::max(1, m_grid->defaultRowHeight()));
    if (m_extendRow < 0 || !shift) {
        m_extendRow = m_grid->activeRow();
        m_extendCol = m_grid->activeCol();
    }
    switch (event->key()) {
    case Qt::Key_Up:
        moveCursor(-1, 0, shift);
        return;
    case Qt::Key_Down:
        moveCursor(1, 0, shift);
        return;
    case Qt::Key_Left:
        moveCursor(0, -1, shift);
        return;
    case Qt::Key_Right:
        moveCursor(0, 1, shift);
        return;
    case Qt::Key_PageUp:
        moveCursor(-pageRows, 0, shift);
        return;
    case Qt::Key_PageDown:
        moveCursor(pageRows, 0, shift);
        return;
    case Qt::Key_Home:
        moveTo(ctrl ? firstDataRow() : m_extendRow, 1, shift);
        return;
    case Qt::Key_End:
        moveTo(ctrl ? m_grid->rows() - 1 : m_extendRow, m_grid->cols() - 1, shift);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        moveCursor(shift ? -1 : 1, 0, false);
        return;
    case Qt::Key_Tab:
        moveCursor(0, 1, false);
        return;
    case Qt::Key_Backtab:
        moveCursor(0, -1, false);
        return;
    case Qt::Key_F2:
        editCell(m_grid->activeRow(), m_grid->activeCol());
        return;
    case Qt::Key_Delete:
        clearSelectedTexts();
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        m_grid->setSelection(GridArea{firstDataRow(), 1, m_grid->rows() - 1, m_grid->cols() - 1},
                             m_grid->activeRow(), m_grid->activeCol());
        return;
    }
    const QString text = event->text();
    if (!ctrl && !(event->modifiers() & Qt::AltModifier) && !text.isEmpty() &&
        text.at(0).isPrint()) {
        editCell(m_grid->activeRow(), m_grid->activeCol(), text, true);
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
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
    const GridArea sel = m_grid->selectionArea();
    for (int r = sel.firstRow; r <= sel.lastRow; ++r) {
        for (int c = sel.firstCol; c <= sel.lastCol; ++c) {
            if (m_grid->cellStyle(r, c).locked || m_grid->cellText(r, c).isEmpty())
                continue;
            const QString old = m_grid->cellText(r, c);
            m_grid->setCellText(r, c, QString());
            emit cellEdited(r, c, old, QString());
        }
    }
}

// --- mouse -------------------------------------------------------------------------------------

int GridView::resizeColumnAt(const QPoint &pos) const
{
    if (!m_grid || pos.y() >= std::max(fixedHeight(), 1))
        return -1;
    // The rightmost column whose right edge is near; hidden columns are passed over.
    for (int c = m_grid->cols() - 1; c >= 0; --c) {
        const int w = m_grid->columnWidth(c);
        if (w == 0)
            continue;
        const int right = xOf(c) + w;
        if (c > 0 && right <= fixedWidth())
            continue;
        if (std::abs(pos.x() - right) <= kResizeMargin)
            return c;
    }
    return -1;
}

int GridView::resizeRowAt(const QPoint &pos) const
{
    if (!m_grid || pos.x() >= fixedWidth())
        return -1;
    const int r = rowAtY(pos.y());
    if (r < 0)
        return -1;
    for (int row : {r, r - 1}) {
        if (row < 0 || m_grid->rowHeight(row) == 0)
            continue;
        if (std::abs(pos.y() - (yOf(row) + m_grid->rowHeight(row))) <= kResizeMargin)
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
    const int fixedRows = firstDataRow();
    const int lastRow = m_grid->rows() - 1;
    const int lastCol = m_grid->cols() - 1;
    if (row < fixedRows && col == 0) {
        m_grid->setSelection(GridArea{fixedRows, 1, lastRow, lastCol}, fixedRows, 1);
    } else if (row < fixedRows) {
        m_grid->setSelection(GridArea{fixedRows, col, lastRow, col}, fixedRows, col);
    } else if (col == 0) {
        m_grid->setSelection(GridArea{row, 1, row, lastCol}, row, 1);
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
        const QPoint clamped(std::clamp(pos.x(), fixedWidth(), viewport()->width() - 1),
                             std::clamp(pos.y(), fixedHeight(), viewport()->height() - 1));
        if (cellAt(clamped, &row, &col) && row >= firstDataRow() && col >= 1)
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
    if (row < firstDataRow()) {
        if (col >= 1 && m_grid->allowUserSort()) {
            m_sortOrder = m_sortCol == col ? 1 - m_sortOrder : 0;
            m_sortCol = col;
            m_grid->sortByColumn(col, m_sortOrder);
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
    return m_editRow >= 0;
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
    m_editRow = row;
    m_editCol = col;

    if (style.dropDown) {
        m_comboItems.clear();
        emit dropDownRequested(row, col, &m_comboItems);
        m_comboEditor = new QComboBox(viewport());
        m_comboEditor->addItems(m_comboItems);
        m_comboEditor->setCurrentIndex(int(m_comboItems.indexOf(m_grid->cellText(row, col))));
        m_comboEditor->setGeometry(rect);
        m_comboEditor->installEventFilter(this);
        connect(m_comboEditor, &QComboBox::activated, this, [this](int index) {
            const int r = m_editRow;
            const int c = m_editCol;
            const QString chosen = m_comboItems.value(index);
            const QString old = m_grid->cellText(r, c);
            closeEditor();
            m_grid->setCellText(r, c, chosen);
            if (old != chosen)
                emit cellEdited(r, c, old, chosen);
            emit dropDownChosen(r, c, index, chosen);
            setFocus();
        });
        m_comboEditor->show();
        m_comboEditor->setFocus();
        m_comboEditor->showPopup();
        return true;
    }

    // A numeric column takes numbers only; a key that cannot start one opens no editor.
    static const QRegularExpression number(QStringLiteral(R"(^[-+]?\d*\.?\d*$)"));
    const bool numeric = m_grid->columnMask(col) == GridMask::Numeric;
    if (numeric && replace && !number.match(text).hasMatch()) {
        m_editRow = m_editCol = -1;
        return false;
    }
    m_lineEditor = new QLineEdit(viewport());
    m_lineEditor->setFrame(false);
    m_lineEditor->setFont(GridCellPainter::pixelFont(*m_grid, row, col));
    if (numeric)
        m_lineEditor->setValidator(new QRegularExpressionValidator(number, m_lineEditor));
    m_lineEditor->setText(replace ? text : m_grid->cellText(row, col));
    m_lineEditor->setGeometry(rect.adjusted(1, 1, -1, -1));
    m_lineEditor->installEventFilter(this);
    m_lineEditor->show();
    m_lineEditor->setFocus();
    m_lineEditor->end(false);
    return true;
}

void GridView::closeEditor()
{
    if (m_lineEditor) {
        m_lineEditor->removeEventFilter(this);
        m_lineEditor->hide();
        m_lineEditor->deleteLater();
        m_lineEditor = nullptr;
    }
    if (m_comboEditor) {
        m_comboEditor->removeEventFilter(this);
        m_comboEditor->hide();
        m_comboEditor->deleteLater();
        m_comboEditor = nullptr;
    }
    m_editRow = -1;
    m_editCol = -1;
}

void GridView::commitEdit()
{
    if (!isEditing())
        return;
    const int row = m_editRow;
    const int col = m_editCol;
    if (m_lineEditor && m_grid) {
        const QString text = m_lineEditor->text();
        const QString old = m_grid->cellText(row, col);
        closeEditor();
        if (text != old) {
            m_grid->setCellText(row, col, text);
            emit cellEdited(row, col, old, text);
        }
    } else {
        closeEditor();
    }
    viewport()->update();
}

void GridView::cancelEdit()
{
    closeEditor();
    setFocus();
    viewport()->update();
}

bool GridView::eventFilter(QObject *watched, QEvent *event)
{
    const bool editor =
        (m_lineEditor && watched == m_lineEditor) || (m_comboEditor && watched == m_comboEditor);
    if (!editor)
        return QAbstractScrollArea::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            cancelEdit();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_comboEditor)
                break;
            commitEdit();
            setFocus();
            moveCursor((key->modifiers() & Qt::ShiftModifier) ? -1 : 1, 0, false);
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            commitEdit();
            setFocus();
            moveCursor(0, key->key() == Qt::Key_Tab ? 1 : -1, false);
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (m_comboEditor)
                break;
            commitEdit();
            setFocus();
            moveCursor(key->key() == Qt::Key_Up ? -1 : 1, 0, false);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut && m_lineEditor && watched == m_lineEditor) {
        QTimer::singleShot(0, this, [this] {
            if (m_lineEditor && !m_lineEditor->hasFocus())
                commitEdit();
        });
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

} // namespace fenpai
