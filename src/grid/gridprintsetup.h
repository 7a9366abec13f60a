#pragma once

#include "grid/pagesetup.h"
#include "grid/reporttitle.h"

#include <QList>

#include <algorithm>

namespace fenpai {

// How a grid prints: the titles above the table, the page setup and the rows that start a new
// page. Page breaks move with the rows they stand at.
class GridPrintSetup final
{
public:
    const QList<ReportTitle> &titles() const { return m_titles; }
    void addTitle(const ReportTitle &title);
    void clearTitles();

    const PageSetup &pageSetup() const { return m_pageSetup; }
    // Changes through this reference are not announced; Grid::setPageSetup() is.
    PageSetup &pageSetup() { return m_pageSetup; }
    void setPageSetup(const PageSetup &setup);

    // Ascending, each once, never row 0.
    const QList<int> &pageBreaks() const { return m_pageBreaks; }
    bool addPageBreak(int row); // false when it is there already or row is 0 or less
    void clearPageBreaks();

    // The first row whose pages no longer repeat the fixed and title rows: a table's header
    // stands over the table, not over what the sheet holds below it. 0: every page repeats them.
    // Moves with the rows, as page breaks do.
    int titleRowsEnd() const { return m_titleRowsEnd; }
    void setTitleRowsEnd(int row) { m_titleRowsEnd = std::max(row, 0); }

    void insertRows(int at, int count);
    void removeRows(int at, int count);

private:
    QList<ReportTitle> m_titles;
    PageSetup m_pageSetup;
    QList<int> m_pageBreaks;
    int m_titleRowsEnd = 0;
};

} // namespace fenpai
