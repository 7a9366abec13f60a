#pragma once

#include "grid/gridcolumninfo.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace fenpai {

// The cells of a grid: rows of texts and style ids, the tags, row heights and the columns'
// settings. A plain store that reports nothing; Grid checks and announces every change. Reads
// outside the grid give empty values and writes outside it do nothing.
class GridContent final
{
public:
    int rowCount() const { return int(m_rows.size()); }
    int colCount() const { return int(m_columns.size()); }
    bool isValid(int row, int col) const
    {
        return row >= 0 && row < rowCount() && col >= 0 && col < colCount();
    }

    // Inline: files, exports and painting read every cell through these.
    const QString &text(int row, int col) const
    {
        return isValid(row, col) ? m_rows[size_t(row)].cells[size_t(col)].text : emptyText();
    }
    const QString &tag(int row, int col) const;
    // The tags of a row by column, only as long as its last tag.
    const QStringList &tags(int row) const;
    quint32 styleId(int row, int col) const // 0, the default style, outside the grid
    {
        return isValid(row, col) ? m_rows[size_t(row)].cells[size_t(col)].style : 0;
    }
    int explicitHeight(int row) const; // -1: the row has the default height
    const GridColumnInfo &column(int col) const;

    void setText(int row, int col, QString text);
    void setTag(int row, int col, const QString &tag);
    void setStyleId(int row, int col, quint32 id);
    void setExplicitHeight(int row, int pixels); // -1 for the default height
    void setColumn(int col, const GridColumnInfo &info);

    // New rows and columns are empty, with default heights and column settings.
    void insertRows(int at, int count);
    void removeRows(int at, int count);
    void insertCols(int at, int count);
    void removeCols(int at, int count);
    // Puts the rows from `first` on in a new order: order[i] is the old place, counted from
    // `first`, of the row that comes i-th.
    void reorderRows(int first, const std::vector<int> &order);

private:
    static const QString &emptyText();

    struct Cell
    {
        QString text;
        quint32 style = 0;
    };
    struct Row
    {
        std::vector<Cell> cells;
        // Tags by column, only as long as the last tag needs: most rows carry none, and a
        // cell stays small for large tables.
        QStringList tags;
        int height = -1;
    };

    std::vector<Row> m_rows;
    std::vector<GridColumnInfo> m_columns;
};

} // namespace fenpai
