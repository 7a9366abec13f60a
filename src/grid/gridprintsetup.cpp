#include "grid/gridprintsetup.h"

#include <algorithm>

namespace fenpai {

void GridPrintSetup::addTitle(const ReportTitle &title)
{
    m_titles.append(title);
}

void GridPrintSetup::clearTitles()
{
    m_titles.clear();
}

void GridPrintSetup::setPageSetup(const PageSetup &setup)
{
    m_pageSetup = setup;
}

bool GridPrintSetup::addPageBreak(int row)
{
    if (row <= 0 || m_pageBreaks.contains(row))
        return false;
    m_pageBreaks.insert(std::lower_bound(m_pageBreaks.begin(), m_pageBreaks.end(), row), row);
    return true;
}

void GridPrintSetup::clearPageBreaks()
{
    m_pageBreaks.clear();
}

void GridPrintSetup::insertRows(int at, int count)
{
    for (int &b : m_pageBreaks) {
        if (b >= at)
            b += count;
    }
    if (m_titleRowsEnd > 0 && m_titleRowsEnd >= at)
        m_titleRowsEnd += count;
}

void GridPrintSetup::removeRows(int at, int count)
{
    QList<int> kept;
    for (int b : std::as_const(m_pageBreaks)) {
        if (b < at)
            kept.append(b);
        else if (b >= at + count)
            kept.append(b - count);
    }
    m_pageBreaks = kept;
    // Rows removed at the end take it to the first row after them.
    if (m_titleRowsEnd >= at + count)
        m_titleRowsEnd -= count;
    else if (m_titleRowsEnd > at)
        m_titleRowsEnd = at;
}

} // namespace fenpai
