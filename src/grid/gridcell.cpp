#include "grid/gridcell.h"

#include "grid/grid.h"

namespace fenpai {

QString GridCell::text() const
{
    return m_grid->cellText(m_row, m_col);
}

void GridCell::setText(const QString &text)
{
    m_grid->setCellText(m_row, m_col, text);
}

QString GridCell::tag() const
{
    return m_grid->cellTag(m_row, m_col);
}

void GridCell::setTag(const QString &tag)
{
    m_grid->setCellTag(m_row, m_col, tag);
}

bool GridCell::wrapText() const
{
    return m_grid->cellStyle(m_row, m_col).wrapText;
}

void GridCell::setWrapText(bool on)
{
    GridRange(m_grid, m_row, m_col, m_row, m_col).setWrapText(on);
}

bool GridCell::locked() const
{
    return m_grid->cellStyle(m_row, m_col).locked;
}

void GridCell::setLocked(bool on)
{
    GridRange(m_grid, m_row, m_col, m_row, m_col).setLocked(on);
}

GridFont GridCell::font() const
{
    return m_grid->cellFont(m_row, m_col);
}

GridAlign GridCell::alignment() const
{
    return m_grid->cellAlignment(m_row, m_col);
}

QColor GridCell::foreColor() const
{
    const QColor c = m_grid->cellStyle(m_row, m_col).foreColor;
    return c.isValid() ? c : QColor(Qt::black);
}

QColor GridCell::backColor() const
{
    const QColor c = m_grid->cellStyle(m_row, m_col).backColor;
    return c.isValid() ? c : QColor(Qt::white);
}

QString GridCell::imageKey() const
{
    return m_grid->cellStyle(m_row, m_col).imageKey;
}

void GridCell::setImage(const QString &key)
{
    m_grid->setCellImage(m_row, m_col, key);
}

} // namespace fenpai
