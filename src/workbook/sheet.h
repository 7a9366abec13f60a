#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace fenpai {

// One worksheet as read from a workbook: a sparse grid of cells, each empty, a number or a text.
// Readers bring every cell to one of these three kinds (booleans become 1/0, dates become ISO
// texts), so the import decides column types on a single rule. Only cells with a value are held
// (an empty text is no value): a sheet of millions of blank cells costs what its values cost.
// Texts live in a pool owned by the sheet; a cell holds its index. Control characters other than
// tab and line feed are taken out of every text as it comes in, and counted.
class Sheet final
{
public:
    struct Cell
    {
        enum class Kind : std::uint8_t
        {
            Empty,
            Number,
            Text
        };
        Kind kind = Kind::Empty;
        std::uint32_t text = 0; // index into the pool for a text
        double number = 0;
    };
    // A cell with a value and its column; a row holds these in column order.
    struct Entry
    {
        int column = 0;
        Cell cell;
    };

    // What a sheet may hold. Checked as cells are set, before their memory is spent: a workbook
    // beyond them is refused whole, never imported in part.
    static constexpr int maxRows = 1048576;
    static constexpr int maxColumns = 2000;                 // SQLite's limit on a table's columns
    static constexpr int maxTextLength = 32767;             // characters in one cell
    static constexpr qint64 maxTextBytes = qint64(1) << 30; // all cell texts, as UTF-16
    static constexpr qint64 maxCells = 40'000'000;          // cells with a value
    enum class Limit
    {
        None,
        Rows,
        Columns,
        TextLength,
        TextBytes,
        Cells,
    };

    explicit Sheet(const QString &name = QString())
        : m_name(name)
    {}

    const QString &name() const { return m_name; }

    // Rows and columns are 0-based; the grid grows as cells are set, in any order. A cell that
    // would pass a limit is not set: the call returns false and limit() says which one.
    bool setNumber(int row, int column, double value);
    bool setText(int row, int column, const QString &text);
    // A text by its index in the pool (readers with a shared string table add it once). Set the
    // pool first, so that the text counts against the limits; an index beyond the pool reads as
    // an empty text, which sets nothing.
    bool setPooledText(int row, int column, std::uint32_t index);
    // For readers: records a limit that a value passed before it reached a cell.
    void refuse(Limit limit)
    {
        if (m_limit == Limit::None)
            m_limit = limit;
    }
    // For readers that repeat cells: false (and limit() set) when `cells` more cells, the last of
    // them in row `lastRow`, cannot fit, so that nothing is spent on them.
    bool admitCells(int lastRow, qint64 cells);
    // The first limit a cell would have passed; None while the sheet is within them.
    Limit limit() const { return m_limit; }
    std::uint32_t addText(const QString &text);
    // Replaces the pool, e.g. with a workbook's shared string table (its control characters
    // taken out).
    void setPool(const QStringList &pool);

    // One past the last row that holds a value.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // One past the last column that any row reaches.
    int columnCount() const { return m_columnCount; }
    Cell cell(int row, int column) const;
    // The cells of a row that hold a value, in column order.
    const std::vector<Entry> &entries(int row) const { return m_rows[static_cast<size_t>(row)]; }
    // The text of a text cell; empty for other cells.
    QString text(const Cell &cell) const;
    // Control characters taken out of the texts so far (not tab and line feed).
    qint64 removedControls() const { return m_removedControls; }
    // The text without control characters other than tab and line feed; `removed` counts them.
    static QString withoutControls(const QString &text, qint64 *removed = nullptr);

    void reserveRows(int rows) { m_rows.reserve(static_cast<size_t>(rows)); }

    // A spreadsheet date serial as ISO text: "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" when it has a
    // time of day, "hh:mm:ss" for a time alone (serial below 1). Serials count from 1900 (with the
    // spreadsheet's phantom 29 February 1900) or, for workbooks so marked, from 1904.
    static QString dateText(double serial, bool from1904 = false);
    static QString dateText(int year, int month, int day, int hour, int minute, double second);

private:
    // The cell, made in place; null when that would pass a limit.
    Cell *at(int row, int column);
    bool countText(qsizetype length);

    QString m_name;
    std::vector<std::vector<Entry>> m_rows;
    QStringList m_pool;
    int m_columnCount = 0;
    qint64 m_cells = 0;
    qint64 m_textBytes = 0;
    Limit m_limit = Limit::None;
    qint64 m_removedControls = 0;
};

} // namespace fenpai
