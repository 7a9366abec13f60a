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
    using Kind = Sheet::Cell::Kind;
    int header = -1;
    int first = INT_MAX;
    int last = -1;
    for (int r = 0; r < sheet.rowCount(); ++r) {
        bool any = false;
        for (const Sheet::Entry &e : sheet.entries(r)) {
            if (isEmpty(e.cell))
                continue;
            any = true;
            first = std::min(first, e.column);
            last = std::max(last, e.column);
        }
        if (!any)
            continue;
        if (header < 0)
            header = r;
        else
            m_rows.push_back(r);
    }
    if (header < 0)
        return;

    QSet<QString> taken;
    // The next suffix to try for each name, so that many equal headers take linear time.
    QHash<QString, int> nextSuffix;
    for (int c = first; c <= last; ++c) {
        const Sheet::Cell cell = sheet.cell(header, c);
        QString name;
        if (cell.kind == Kind::Number)
            name = NumberText::format(cell.number);
        else if (cell.kind == Kind::Text)
            name = sheet.text(cell);
        // A "]" cannot stand in a bracketed name; it is stored in its full-width form.
        name.replace(QLatin1Char(']'), QChar(0xFF3D));
        const int number = c - first + 1;
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

    for (Column &column : m_columns) {
        for (int r : m_rows) {
            const Sheet::Cell cell = sheet.cell(r, column.sourceColumn);
            if (cell.kind == Kind::Text && !isEmpty(cell)) {
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
