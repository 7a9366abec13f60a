#include "jobs/documents/changelist.h"

#include "grid/grid.h"

namespace fenpai {

ReportDocument ChangeList::fill(Grid &grid, const QString &title, const QStringList &headers,
                                const std::vector<QStringList> &rows,
                                const ReportFormat::Subtitle &subtitle)
{
    grid.setAutoRedraw(false);
    grid.reset();
    const int cols = static_cast<int>(headers.size()) + 1; // column 0 numbers the rows
    // Like every filled document it ends with a blank row, which stays off the paper.
    grid.setRows(static_cast<int>(rows.size()) + 2);
    grid.setCols(cols);
    grid.setFixedRows(1);
    grid.setDisplayRowIndex(true);
    for (int c = 1; c < cols; ++c) {
        grid.setCellText(0, c, headers[c - 1]);
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 1; c < cols; ++c)
            grid.setCellText(static_cast<int>(r) + 1, c, rows[r].value(c - 1));
    }
    ReportFormat::fitToPaper(grid, cols); // names and schools whole on paper
    const QString titleText =
        rows.empty() ? title + QStringLiteral(" [没有记录]")
                     : title + QStringLiteral(" [%1]").arg(static_cast<qsizetype>(rows.size()));
    ReportFormat::setPrintTitles(grid, titleText, subtitle);
    int width = 0;
    for (int c = 1; c < cols; ++c)
        width += grid.columnWidth(c);
    ReportFormat::applyPageSetup(grid, ReportFormat::Variant::Plain, width);
    grid.refresh();
    grid.setAutoRedraw(true);
    return ReportDocument{title, titleText};
}

} // namespace fenpai
