#include "workbook/sheet.h"

#include <QDate>

#include <algorithm>
#include <cmath>

namespace fenpai {

Sheet::Cell *Sheet::at(int row, int column)
{
    if (m_limit != Limit::None)
        return nullptr;
    if (row >= maxRows) {
        m_limit = Limit::Rows;
        return nullptr;
    }
    if (column >= maxColumns) {
        m_limit = Limit::Columns;
        return nullptr;
    }
    const auto r = static_cast<size_t>(row);
    const auto c = static_cast<size_t>(column);
    // Rows are stored densely up to their last cell: count what a resize would add.
    const qint64 added =
        (r >= m_rows.size() ? qint64(r - m_rows.size()) : 0) +
        std::max<qint64>(0, qint64(c) + 1 - qint64(r < m_rows.size() ? m_rows[r].size() : 0));
    if (m_cells + added > maxCells) {
        m_limit = Limit::Cells;
        return nullptr;
    }
    m_cells += added;
    if (r >= m_rows.size())
        m_rows.resize(r + 1);
    std::vector<Cell> &cells = m_rows[r];
    if (c >= cells.size())
        cells.resize(c + 1);
    if (column + 1 > m_columnCount)
        m_columnCount = column + 1;
    return &cells[c];
}

bool Sheet::admitCells(int lastRow, qint64 cells)
{
    if (m_limit != Limit::None)
        return false;
    if (lastRow >= maxRows)
        m_limit = Limit::Rows;
    else if (m_cells + cells > maxCells)
        m_limit = Limit::Cells;
    return m_limit == Limit::None;
}

bool Sheet::countText(qsizetype length)
{
    if (m_limit != Limit::None)
        return false;
    if (length > maxTextLength) {
        m_limit = Limit::TextLength;
        return false;
    }
    if (m_textBytes + 2 * qint64(length) > maxTextBytes) {
        m_limit = Limit::TextBytes;
        return false;
    }
    m_textBytes += 2 * qint64(length);
    return true;
}

bool Sheet::setNumber(int row, int column, double value)
{
    if (row < 0 || column < 0)
        return true; // not a cell of the sheet
    Cell *c = at(row, column);
    if (!c)
        return false;
    c->kind = Cell::Kind::Number;
    c->number = value;
    return true;
}

bool Sheet::setText(int row, int column, const QString &text)
{
    if (row < 0 || column < 0)
        return true;
    if (!countText(text.size()))
        return false;
    Cell *c = at(row, column);
    if (!c)
        return false;
    c->kind = Cell::Kind::Text;
    c->text = addText(text);
    return true;
}

bool Sheet::setPooledText(int row, int column, std::uint32_t index)
{
    if (row < 0 || column < 0)
        return true;
    const auto i = static_cast<qsizetype>(index);
    if (!countText(i < m_pool.size() ? m_pool.at(i).size() : 0))
        return false;
    Cell *c = at(row, column);
    if (!c)
        return false;
    c->kind = Cell::Kind::Text;
    c->text = index;
    return true;
}

std::uint32_t Sheet::addText(const QString &text)
{
    m_pool.append(text);
    return static_cast<std::uint32_t>(m_pool.size() - 1);
}

Sheet::Cell Sheet::cell(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount())
        return {};
    const std::vector<Cell> &cells = m_rows[static_cast<size_t>(row)];
    if (static_cast<size_t>(column) >= cells.size())
        return {};
    return cells[static_cast<size_t>(column)];
}

QString Sheet::text(const Cell &cell) const
{
    if (cell.kind != Cell::Kind::Text)
        return QString();
    QString t = m_pool.value(static_cast<qsizetype>(cell.text));
    // Some writers store the C string's terminator with the text.
    qsizetype n = t.size();
    while (n > 0 && t.at(n - 1) == QChar(0))
        --n;
    if (n != t.size())
        t.truncate(n);
    return t;
}

QString Sheet::dateText(int year, int month, int day, int hour, int minute, double second)
{
    const int wholeSecond = static_cast<int>(std::lround(second));
    const QString time = QStringLiteral("%1:%2:%3")
                             .arg(hour, 2, 10, QLatin1Char('0'))
                             .arg(minute, 2, 10, QLatin1Char('0'))
                             .arg(wholeSecond, 2, 10, QLatin1Char('0'));
    const QString date = QStringLiteral("%1-%2-%3")
                             .arg(year, 4, 10, QLatin1Char('0'))
                             .arg(month, 2, 10, QLatin1Char('0'))
                             .arg(day, 2, 10, QLatin1Char('0'));
    if (hour == 0 && minute == 0 && wholeSecond == 0)
        return date;
    return date + QLatin1Char(' ') + time;
}

QString Sheet::dateText(double serial, bool from1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return QString::number(serial);
    double days = std::floor(serial);
    long long seconds = std::llround((serial - days) * 86400.0);
    if (seconds >= 86400) {
        days += 1;
        seconds -= 86400;
    }
    const int hour = static_cast<int>(seconds / 3600);
    const int minute = static_cast<int>((seconds % 3600) / 60);
    const int second = static_cast<int>(seconds % 60);
    if (days < 1 && !from1904) {
        return QStringLiteral("%1:%2:%3")
            .arg(hour, 2, 10, QLatin1Char('0'))
            .arg(minute, 2, 10, QLatin1Char('0'))
            .arg(second, 2, 10, QLatin1Char('0'));
    }
    QDate date;
    if (from1904) {
        date = QDate(1904, 1, 1).addDays(static_cast<qint64>(days));
    } else if (days == 60) {
        // The serial of a day that never was; shown as the spreadsheet shows it.
        return dateText(1900, 2, 29, hour, minute, second);
    } else {
        date = QDate(1899, 12, days < 60 ? 31 : 30).addDays(static_cast<qint64>(days));
    }
    return dateText(date.year(), date.month(), date.day(), hour, minute, second);
}

} // namespace fenpai
