#include "jobs/reports/examlistlayout.h"

#include "core/tablenames.h"
#include "grid/grid.h"

namespace fenpai {

namespace {

struct Style
{
    double titleSize;
    QString subtitle;
    double subtitleSize;
    int columnWidth;
    bool tallRows; // font size 12 and rows of 27 pixels
};

void apply(Grid &grid, const QString &title, const Style &style)
{
    grid.setAutoRedraw(false);
    grid.clearReportTitles();
    ReportTitle first;
    first.text = title;
    first.font.name = QStringLiteral("宋体");
    first.font.size = style.titleSize;
    first.printOnAllPages = true;
    grid.addReportTitle(first);
    ReportTitle second;
    second.text = style.subtitle;
    second.font.name = QStringLiteral("Arial");
    second.font.size = style.subtitleSize;
    second.alignTo = 1;
    second.printOnAllPages = true;
    grid.addReportTitle(second);

    PageSetup page = grid.pageSetup();
    page.orientation = PageSetup::Orientation::Portrait;
    page.leftMargin = 2;
    page.rightMargin = 2;
    page.topMargin = 2;
    page.bottomMargin = 2;
    page.headerMargin = page.topMargin - 1;
    page.footerMargin = page.bottomMargin - 1;
    page.blackAndWhite = true;
    page.printFixedRow = true;
    page.printFixedColumn = true;
    page.printGridlines = true;
    page.printTitleRows = 0;
    page.centerHorizontally = true;
    page.footer = PageSetup::standardFooter();
    grid.setPageSetup(page);

    for (int c = 1; c < grid.cols(); ++c) {
        grid.setColumnWidth(c, style.columnWidth);
        grid.range(0, c, 0, c).setWrapText(true);
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
        // Exam numbers are identifiers: shown in full, never as a formatted number.
        if (grid.cellText(0, c) == ColumnNames::examNumber)
            grid.setColumnMask(c, GridMask::None);
    }
    if (style.tallRows) {
        grid.setDefaultFontSize(12);
        for (int r = 0; r < grid.rows(); ++r)
            grid.setRowHeight(r, 27);
    }
    grid.refresh();
    grid.setAutoRedraw(true);
}

} // namespace

void ExamListLayout::roomList(Grid &grid, const QString &title, const QString &subtitle)
{
    apply(grid, title, Style{16, subtitle, 12, 83, true});
}

void ExamListLayout::classList(Grid &grid, const QString &title)
{
    apply(grid, title, Style{14, QStringLiteral("||"), 10, 80, false});
}

} // namespace fenpai
