#include "jobs/import/columnmatching.h"

#include <QSet>

#include <algorithm>

namespace fenpai {

namespace {

// The first unused header whose normalised form is one of `keys`, tried key by key.
int findByKeys(const QStringList &normalizedHeaders, const std::vector<bool> &used,
               const QStringList &keys)
{
    for (const QString &key : keys) {
        for (int j = 0; j < normalizedHeaders.size(); ++j) {
            if (!used[static_cast<size_t>(j)] && normalizedHeaders[j] == key)
                return j;
        }
    }
    return -1;
}

} // namespace

int ColumnMatching::findHeader(const QStringList &headers, const QString &name)
{
    for (int j = 0; j < headers.size(); ++j) {
        if (headers[j].compare(name, Qt::CaseInsensitive) == 0)
            return j;
    }
    const QString key = ImportFields::normalized(name);
    for (int j = 0; j < headers.size(); ++j) {
        if (!key.isEmpty() && ImportFields::normalized(headers[j]) == key)
            return j;
    }
    return -1;
}

std::vector<FieldMatch> ColumnMatching::match(const QStringList &headers,
                                              const std::vector<ImportField> &fields,
                                              const QHash<QString, QString> &chosen)
{
    using How = FieldMatch::How;
    std::vector<FieldMatch> matches;
    std::vector<bool> used(static_cast<size_t>(headers.size()), false);
    auto take = [&](FieldMatch &m, int column, How how) {
        m.column = column;
        m.how = how;
        if (column >= 0)
            used[static_cast<size_t>(column)] = true;
    };
    for (const ImportField &f : fields) {
        matches.push_back({f.name});
        const auto it = chosen.constFind(f.name);
        if (it == chosen.constEnd())
            continue;
        const int column = it->isEmpty() ? -1 : findHeader(headers, *it);
        if (it->isEmpty() && !f.capacity)
            take(matches.back(), -1, How::Empty);
        else if (column >= 0 && !used[static_cast<size_t>(column)])
            take(matches.back(), column,
                 headers[column].compare(f.name, Qt::CaseInsensitive) == 0 ? How::Exact
                                                                           : How::Chosen);
    }
    for (FieldMatch &m : matches) {
        for (int j = 0; m.how == How::Missing && j < headers.size(); ++j) {
            if (!used[static_cast<size_t>(j)] &&
                headers[j].compare(m.field, Qt::CaseInsensitive) == 0)
                take(m, j, How::Exact);
        }
    }
    QStringList normalizedHeaders;
    for (const QString &h : headers)
        normalizedHeaders.append(ImportFields::normalized(h));
    for (FieldMatch &m : matches) {
        if (m.how != How::Missing)
            continue;
        QStringList keys{ImportFields::normalized(m.field)};
        for (const QString &s : ImportFields::synonyms(m.field))
            keys.append(ImportFields::normalized(s));
        if (const int j = findByKeys(normalizedHeaders, used, keys); j >= 0)
            take(m, j, How::Synonym);
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        FieldMatch &m = matches[i];
        if (m.how != How::Missing)
            continue;
        if (fields[i].capacity && headers.size() >= 2 && !used[1])
            take(m, 1, How::Position);
        else if (fields[i].addedWhenAbsent)
            take(m, -1, How::Empty);
    }
    return matches;
}

std::vector<ColumnMatching::OutputColumn>
ColumnMatching::layout(const QStringList &headers, const std::vector<ImportField> &fields,
                       const std::vector<FieldMatch> &matches)
{
    std::vector<OutputColumn> columns;
    std::vector<bool> renamed(static_cast<size_t>(headers.size()), false);
    for (int j = 0; j < headers.size(); ++j)
        columns.push_back({headers[j], j});
    QSet<QString> taken;
    int capacityColumn = -1;
    for (size_t i = 0; i < matches.size(); ++i) {
        const FieldMatch &m = matches[i];
        if (m.column >= 0 && fields[i].capacity)
            capacityColumn = m.column;
        // The capacity is read by its place: in second place it keeps its header.
        if (m.column < 0 || (fields[i].capacity && m.column == 1))
            continue;
        columns[static_cast<size_t>(m.column)].name = m.field;
        renamed[static_cast<size_t>(m.column)] = true;
        taken.insert(m.field.toCaseFolded());
    }
    for (const FieldMatch &m : matches) {
        if (m.how == FieldMatch::How::Empty) {
            columns.push_back({m.field, -1});
            taken.insert(m.field.toCaseFolded());
        }
    }
    // A header left over under a field's name (the user chose another column for that field)
    // gets a number, as a repeated header does.
    for (int j = 0; j < headers.size(); ++j) {
        OutputColumn &c = columns[static_cast<size_t>(j)];
        if (renamed[static_cast<size_t>(j)])
            continue;
        for (int n = 1; taken.contains(c.name.toCaseFolded()); ++n)
            c.name = headers[j] + QString::number(n);
        taken.insert(c.name.toCaseFolded());
    }
    if (capacityColumn >= 0 && capacityColumn != 1 && columns.size() >= 2) {
        const OutputColumn capacity = columns[static_cast<size_t>(capacityColumn)];
        columns.erase(columns.begin() + capacityColumn);
        columns.insert(columns.begin() + 1, capacity);
    }
    return columns;
}

QStringList ColumnMatching::describe(const QStringList &headers,
                                     const std::vector<FieldMatch> &matches)
{
    QStringList lines;
    for (const FieldMatch &m : matches) {
        const QString header = m.column >= 0 ? headers.value(m.column) : QString();
        switch (m.how) {
        case FieldMatch::How::Exact:
            break;
        case FieldMatch::How::Synonym:
        case FieldMatch::How::Chosen:
            lines.append(QStringLiteral("%1 ← %2").arg(m.field, header));
            break;
        case FieldMatch::How::Position:
            lines.append(QStringLiteral("%1 ← 第二列“%2”").arg(m.field, header));
            break;
        case FieldMatch::How::Empty:
            lines.append(QStringLiteral("%1：空列").arg(m.field));
            break;
        case FieldMatch::How::Missing:
            lines.append(QStringLiteral("%1：找不到").arg(m.field));
            break;
        }
    }
    return lines;
}

} // namespace fenpai
