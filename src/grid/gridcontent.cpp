#include "grid/gridcontent.h"

#include <algorithm>

namespace fenpai {

namespace {

const QString kEmpty;
const QStringList kNoTags;
const GridColumnInfo kNoColumn;

} // namespace

const QString &GridContent::emptyText()
{
    return kEmpty;
}

const QString &GridContent::tag(int row, int col) const
{
    if (!isValid(row, col))
        return kEmpty;
    const QStringList &tags = m_rows[size_t(row)].tags;
    return col < tags.size() ? tags.at(col) : kEmpty;
}

const QStringList &GridContent::tags(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)].tags : kNoTags;
}

int GridContent::explicitHeight(int row) const
{
    return row >= 0 && row < rowCount() ? m_rows[size_t(row)].height : -1;
}

const GridColumnInfo &GridContent::column(int col) const
{
    return col >= 0 && col < colCount() ? m_columns[size_t(col)] : kNoColumn;
}

void GridContent::setText(int row, int col, QString text)
{
    if (isValid(row, col))
        m_rows[size_t(row)].cells[size_t(col)].text = std::move(text);
}

void GridContent::setTag(int row, int col, const QString &tag)
{
    if (!isValid(row, col))
        return;
    QStringList &tags = m_rows[size_t(row)].tags;
    if (col >= tags.size()) {
        if (tag.isEmpty())
            return;
        tags.resize(col + 1);
    }
    tags[col] = tag;
}

void GridContent::setStyleId(int row, int col, quint32 id)
{
    if (isValid(row, col))
        m_rows[size_t(row)].cells[size_t(col)].style = id;
}

void GridContent::setExplicitHeight(int row, int pixels)
{
    if (row >= 0 && row < rowCount())
        m_rows[size_t(row)].height = std::max(-1, pixels);
}

void GridContent::setColumn(int col, const GridColumnInfo &info)
{
    if (col >= 0 && col < colCount())
        m_columns[size_t(col)] = info;
}

void GridContent::insertRows(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, rowCount());
    Row row;
    row.cells.resize(m_columns.size());
    m_rows.insert(m_rows.begin() + at, size_t(count), row);
}

void GridContent::removeRows(int at, int count)
{
    if (at < 0 || at >= rowCount() || count <= 0)
        return;
    count = std::min(count, rowCount() - at);
    m_rows.erase(m_rows.begin() + at, m_rows.begin() + at + count);
}

void GridContent::insertCols(int at, int count)
{
    if (count <= 0)
        return;
    at = std::clamp(at, 0, colCount());
    m_columns.insert(m_columns.begin() + at, size_t(count), GridColumnInfo{});
    for (Row &row : m_rows) {
        row.cells.insert(row.cells.begin() + at, size_t(count), Cell{});
        if (row.tags.size() > at)
            row.tags.insert(at, count, QString());
    }
}

void GridContent::removeCols(int at, int count)
{
    if (at < 0 || at >= colCount() || count <= 0)
        return;
    count = std::min(count, colCount() - at);
    m_columns.erase(m_columns.begin() + at, m_columns.begin() + at + count);
    for (Row &row : m_rows) {
        row.cells.erase(row.cells.begin() + at, row.cells.begin() + at + count);
        if (row.tags.size() > at)
            row.tags.remove(at, std::min<qsizetype>(count, row.tags.size() - at));
    }
}

void GridContent::reorderRows(int first, const std::vector<int> &order)
{
    if (first < 0 || size_t(first) + order.size() > m_rows.size())
        return;
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (int from : order)
        moved.push_back(std::move(m_rows[size_t(first + from)]));
    std::move(moved.begin(), moved.end(), m_rows.begin() + first);
}

} // namespace fenpai
