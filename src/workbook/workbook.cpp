#include "workbook/workbook.h"

namespace fenpai {

bool Workbook::hasSheet(const QString &name) const
{
    return m_names.contains(name, Qt::CaseInsensitive);
}

const Sheet *Workbook::sheet(const QString &name) const
{
    for (const auto &s : m_sheets) {
        if (s->name().compare(name, Qt::CaseInsensitive) == 0)
            return s.get();
    }
    return nullptr;
}

Sheet *Workbook::addSheet(const QString &name, const QStringList &wanted)
{
    m_names.append(name);
    // A second sheet that differs only in case is not read: the first one is "the" sheet.
    if (!isWanted(name, wanted) || sheet(name))
        return nullptr;
    m_sheets.push_back(std::make_unique<Sheet>(name));
    return m_sheets.back().get();
}

bool Workbook::isWanted(const QString &name, const QStringList &wanted)
{
    return wanted.isEmpty() || wanted.contains(name, Qt::CaseInsensitive);
}

} // namespace fenpai
