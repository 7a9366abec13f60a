#include "jobs/reports/examlistlayout.h"

#include "core/tablenames.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"

namespace fenpai {

namespace {

struct Style
{
    ReportFormat::TitleStyle titles;
    int columnWidth;
    bool tallRows; // font size 12 and rows of 27 pixels
};

void apply(Grid &grid, const QString &title, const ReportFormat::Subtitle &subtitle,
           const Style &style)
{
    grid.setAutoRedraw(false);
    ReportFormat::setPrintTitles(grid, title, subtitle, style.titles);

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
    // Whole values on one page's width: the layout's width gives way before a page splits.
    GridPaperFit::Options fit;
    fit.minWidth = style.columnWidth;
    fit.maxWidth = 240;
    fit.pageWidth = GridPagination::tableWidth(grid);
    GridPaperFit::fitAll(grid, fit);
    grid.refresh();
    grid.setAutoRedraw(true);
}

} // namespace

void ExamListLayout::roomList(Grid &grid, const QString &title, const QString &range,
                              const ReportFormat::Subtitle &subtitle)
{
    apply(grid, title, subtitle, Style{{16, 12, range}, 83, true});
}

void ExamListLayout::classList(Grid &grid, const QString &title,
                               const ReportFormat::Subtitle &subtitle)
{
    apply(grid, title, subtitle, Style{{14, 10, QString()}, 80, false});
}

} // namespace fenpai
