#include "grid/gridcolumn.h"

#include "grid/grid.h"

namespace fenpai {

int GridColumn::width() const
{
    return m_grid->columnWidth(m_col);
}

void GridColumn::setWidth(int pixels)
{
    m_grid->setColumnWidth(m_col, pixels);
}

int GridColumn::mask() const
{
    return m_grid->columnMask(m_col);
}

void GridColumn::setMask(int mask)
{
    m_grid->setColumnMask(m_col, mask);
}

GridAlign GridColumn::alignment() const
{
    return m_grid->columnAlignment(m_col);
}

void GridColumn::setAlignment(GridAlign align)
{
    m_grid->setColumnAlignment(m_col, align);
}

QString GridColumn::formatString() const
{
    return m_grid->columnFormatString(m_col);
}

void GridColumn::setFormatString(const QString &format)
{
    m_grid->setColumnFormatString(m_col, format);
}

void GridColumn::autoFit(const GridTextMeasure &measure)
{
    m_grid->autoFitColumn(m_col, measure);
}

void GridColumn::sort(int order)
{
    m_grid->sortByColumn(m_col, order);
}

} // namespace fenpai
