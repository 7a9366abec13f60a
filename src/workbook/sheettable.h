#pragma once

#include "workbook/sheet.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace fenpai {

// A worksheet seen as a database table, the way the import creates it:
//  - the first row that holds anything gives the column names; an empty name becomes "F" and
//    the column's number (F1, F2 …), a name already taken gets "1", "2" … appended;
//  - the columns run from the first to the last column that holds anything;
//  - a column whose non-empty cells are all numbers (or that has none) is a number column,
//    every other a text column, whose numbers read as their text ("85", "85.5");
//  - rows with nothing in them are left out; an empty cell is null.
// The table refers to the sheet's cells and must not outlive the sheet.
class SheetTable final
{
public:
    struct Column
    {
        QString name;
        bool isNumber = true;
        int sourceColumn = 0; // in the sheet
    };

    explicit SheetTable(const Sheet &sheet);

    // False when the sheet holds nothing at all, not even a header.
    bool hasHeader() const { return !m_columns.empty(); }
    const std::vector<Column> &columns() const { return m_columns; }
    QStringList columnNames() const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const Sheet &sheet() const { return m_sheet; }
    // A double for a number column, a QString for a text column, null for an empty cell.
    QVariant value(int row, int column) const;

    // The name of the column with the given 1-based number when its header is empty.
    static QString emptyHeaderName(int number);

private:
    // The header row (-1 when no row holds anything) and the first and last column that do.
    struct Span
    {
        int header;
        int first;
        int last;
    };
    // Collects the data rows after the header.
    Span readRows();
    // Names the columns after the header's cells, each name distinct.
    void nameColumns(const Span &span);
    // Makes a text column of every column with a text among its data.
    void typeColumns();
    bool isEmpty(const Sheet::Cell &cell) const;

    const Sheet &m_sheet;
    std::vector<Column> m_columns;
    std::vector<int> m_rows; // sheet rows of the data
};

} // namespace fenpai
