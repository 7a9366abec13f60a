#include "grid/tabtext.h"

namespace fenpai {

namespace {

// The end of the quoted field that starts at `at` (a quote), or -1 when it is not one: its
// closing quote must be followed by a tab, a line break or the end of the text.
qsizetype quotedEnd(const QString &text, qsizetype at, QString *cell)
{
    QString value;
    for (qsizetype i = at + 1; i < text.size(); ++i) {
        if (text[i] != u'"') {
            value += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'"') {
            value += u'"';
            ++i;
            continue;
        }
        const qsizetype next = i + 1;
        if (next < text.size() && text[next] != u'\t' && text[next] != u'\n' && text[next] != u'\r')
            return -1;
        *cell = value;
        return next;
    }
    return -1;
}

} // namespace

QList<QStringList> TabText::parse(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        QString cell;
        qsizetype end = text[i] == u'"' ? quotedEnd(text, i, &cell) : -1;
        if (end < 0) {
            end = i;
            while (end < n && text[end] != u'\t' && text[end] != u'\n' && text[end] != u'\r')
                ++end;
            cell = text.mid(i, end - i);
        }
        row.append(cell);
        i = end;
        if (i >= n)
            break;
        if (text[i] == u'\t') {
            ++i;
            if (i == n)
                row.append(QString()); // a trailing tab leaves an empty last cell
            continue;
        }
        // A line break, \r\n or \n (or a lone \r), ends the row.
        if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        ++i;
        rows.append(row);
        row.clear();
    }
    if (!row.isEmpty())
        rows.append(row);
    return rows;
}

QString TabText::quote(const QString &cell)
{
    if (!cell.contains(u'\t') && !cell.contains(u'\n') && !cell.contains(u'\r') &&
        !cell.startsWith(u'"'))
        return cell;
    QString quoted = cell;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace fenpai
