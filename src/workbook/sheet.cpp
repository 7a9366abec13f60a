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
    if (r >= m_rows.size())
        m_rows.resize(r + 1);
    std::vector<Entry> &entries = m_rows[r];
    // Readers go left to right: the new cell almost always comes last.
    auto it = entries.end();
    if (!entries.empty() && entries.back().column >= column)
        it = std::lower_bound(entries.begin(), entries.end(), column,
                              [](const Entry &e, int c) { return e.column < c; });
    if (it != entries.end() && it->column == column)
        return &it->cell;
    if (m_cells + 1 > maxCells) {
        m_limit = Limit::Cells;
        return nullptr;
    }
    ++m_cells;
    if (column + 1 > m_columnCount)
        m_columnCount = column + 1;
    return &entries.insert(it, Entry{column, {}})->cell;
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
    const QString clean = withoutControls(text, &m_removedControls);
    if (clean.isEmpty())
        return true; // an empty text is no value
    if (!countText(clean.size()))
        return false;
    Cell *c = at(row, column);
    if (!c)
        return false;
    c->kind = Cell::Kind::Text;
    c->text = addText(clean);
    return true;
}

bool Sheet::setPooledText(int row, int column, std::uint32_t index)
{
    if (row < 0 || column < 0)
        return true;
    const auto i = static_cast<qsizetype>(index);
    if (i >= m_pool.size() || m_pool.at(i).isEmpty())
        return true; // an empty text is no value
    if (!countText(m_pool.at(i).size()))
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

void Sheet::setPool(const QStringList &pool)
{
    m_pool = pool;
    for (QString &text : m_pool)
        text = withoutControls(text, &m_removedControls);
}

Sheet::Cell Sheet::cell(int row, int column) const
{
    if (row < 0 || column < 0 || row >= rowCount())
        return {};
    const std::vector<Entry> &entries = m_rows[static_cast<size_t>(row)];
    const auto it = std::lower_bound(entries.begin(), entries.end(), column,
                                     [](const Entry &e, int c) { return e.column < c; });
    if (it == entries.end() || it->column != column)
        return {};
    return it->cell;
}

QString Sheet::text(const Cell &cell) const
{
    if (cell.kind != Cell::Kind::Text)
        return QString();
    return m_pool.value(static_cast<qsizetype>(cell.text));
}

QString Sheet::withoutControls(const QString &text, qint64 *removed)
{
    // NUL, the other C0 controls but tab and line feed, DEL and the C1 controls: none is text a
    // cell could mean, and a NUL cuts texts short wherever they go next. A carriage return is a
    // line break written the old way: it becomes a line feed (one for CR LF) and is not counted.
    const auto isControl = [](QChar c) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\t' && u != u'\n') || (u >= 0x7F && u <= 0x9F);
    };
    if (std::none_of(text.begin(), text.end(), isControl))
        return text;
    QString clean;
    clean.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 >= text.size() || text.at(i + 1) != u'\n')
                clean.append(u'\n');
        } else if (!isControl(c)) {
            clean.append(c);
        } else if (removed) {
            ++*removed;
        }
    }
    return clean;
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
