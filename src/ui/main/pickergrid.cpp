#include "ui/main/pickergrid.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace fenpai {

PickerGrid::PickerGrid(int count, int columns, QSize cellSize, PaintFunction paint, QWidget *parent)
    : QWidget(parent)
    , m_count(count)
    , m_columns(std::max(1, columns))
    , m_cell(cellSize)
    , m_paint(std::move(paint))
{
    setMouseTracking(true);
    setFixedSize(sizeHint());
}

QSize PickerGrid::sizeHint() const
{
    const int rows = (m_count + m_columns - 1) / m_columns;
    return QSize(m_columns * (m_cell.width() + kSpacing) + kSpacing,
                 rows * (m_cell.height() + kSpacing) + kSpacing);
}

QRect PickerGrid::itemRect(int index) const
{
    return QRect(kSpacing + (index % m_columns) * (m_cell.width() + kSpacing),
                 kSpacing + (index / m_columns) * (m_cell.height() + kSpacing), m_cell.width(),
                 m_cell.height());
}

int PickerGrid::indexAt(const QPoint &pos) const
{
    for (int i = 0; i < m_count; ++i) {
        if (itemRect(i).contains(pos))
            return i;
    }
    return -1;
}

void PickerGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    for (int i = 0; i < m_count; ++i) {
        const QRect r = itemRect(i);
        m_paint(p, r, i);
        if (i == m_hover) {
            p.setPen(QPen(palette().highlight().color(), 2));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(-1, -1, 1, 1));
        }
    }
}

void PickerGrid::mouseMoveEvent(QMouseEvent *event)
{
    const int i = indexAt(event->position().toPoint());
    if (i != m_hover) {
        m_hover = i;
        update();
    }
}

void PickerGrid::mouseReleaseEvent(QMouseEvent *event)
{
    const int i = indexAt(event->position().toPoint());
    if (i >= 0 && event->button() == Qt::LeftButton && m_picked)
        m_picked(i);
}

void PickerGrid::leaveEvent(QEvent *)
{
    m_hover = -1;
    update();
}

bool PickerGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int i = indexAt(help->pos());
        if (i >= 0 && i < m_tips.size())
            QToolTip::showText(help->globalPos(), m_tips.at(i), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

} // namespace fenpai
