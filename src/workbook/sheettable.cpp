#include "workbook/sheettable.h"

#include "core/numbertext.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <climits>

namespace fenpai {

SheetTable::SheetTable(const Sheet &sheet)
    : m_sheet(sheet)
{
    const Span span = readRows();
    if (span.header < 0)
        return;
    nameColumns(span);
    typeColumns();
}

SheetTable::Span SheetTable::readRows()
{
    Span span{-1, INT_MAX, -1};
    for (int r = 0; r < m_sheet.rowCount(); ++r) {
        bool any = false;
        for (const Sheet::Entry &e : m_sheet.entries(r)) {
            if (isEmpty(e.cell))
                continue;
            any = true;
            span.first = std::min(span.first, e.column);
            span.last = std::max(span.last, e.column);
        }
        if (!any)
            continue;
        if (span.header < 0)
            span.header = r;
        else
            m_rows.push_back(r);
    }
    return span;
}

void SheetTable::nameColumns(const Span &span)
{
    using Kind = Sheet::Cell::Kind;
    QSet<QString> taken;
    // The next suffix to try for each name, so that many equal headers take linear time.
    QHash<QString, int> nextSuffix;
    for (int c = span.first; c <= span.last; ++c) {
        const Sheet::Cell cell = m_sheet.cell(span.header, c);
        QString name;
        if (cell.kind == Kind::Number)
            name = NumberText::format(cell.number);
        else if (cell.kind == Kind::Text)
            name = m_sheet.text(cell);
        // A "]" cannot stand in a bracketed name; it is stored in its full-width form.
        name.replace(QLatin1Char(']'), QChar(0xFF3D));
        const int number = c - span.first + 1;
        if (name.trimmed().isEmpty())
            name = emptyHeaderName(number);
        if (taken.contains(name.toCaseFolded())) {
            int &n = nextSuffix[name.toCaseFolded()];
            for (++n;; ++n) {
                const QString candidate = name + QString::number(n);
                if (!taken.contains(candidate.toCaseFolded())) {
                    name = candidate;
                    break;
                }
            }
        }
        taken.insert(name.toCaseFolded());
        m_columns.push_back({name, true, c});
    }
}

void SheetTable::typeColumns()
{
    for (Column &column : m_columns) {
        for (int r : m_rows) {
            const Sheet::Cell cell = m_sheet.cell(r, column.sourceColumn);
            if (cell.kind == Sheet::Cell::Kind::Text && !isEmpty(cell)) {
                column.isNumber = false;
                break;
            }
        }
    }
}

bool SheetTable::isEmpty(const Sheet::Cell &cell) const
{
    switch (cell.kind) {
    case Sheet::Cell::Kind::Empty:
        return true;
    case Sheet::Cell::Kind::Number:
        return false;
    case Sheet::Cell::Kind::Text:
        return m_sheet.text(cell).isEmpty();
    }
    return true;
}

QStringList SheetTable::columnNames() const
{
    QStringList names;
    for (const Column &c : m_columns)
        names.append(c.name);
    return names;
}

QVariant SheetTable::value(int row, int column) const
{
    const Column &c = m_columns[static_cast<size_t>(column)];
    const Sheet::Cell cell = m_sheet.cell(m_rows[static_cast<size_t>(row)], c.sourceColumn);
    switch (cell.kind) {
    case Sheet::Cell::Kind::Empty:
        return QVariant();
    case Sheet::Cell::Kind::Number:
        if (c.isNumber)
            return cell.number;
        return NumberText::format(cell.number);
    case Sheet::Cell::Kind::Text: {
        const QString text = m_sheet.text(cell);
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    }
    return QVariant();
}

QString SheetTable::emptyHeaderName(int number)
{
    return QStringLiteral("F") + QString::number(number);
}

} // namespace fenpai
