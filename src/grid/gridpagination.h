#pragma once

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace fenpai {

class Grid;
struct PageSetup;
struct ReportTitle;

// One printed page: the grid rows from top to bottom (repeated title rows, the page's own
// rows, repeated bottom rows) and the columns from left to right (repeated title columns, then
// the page's band of columns), and which report titles stand above the table.
struct GridPage
{
    int number = 0; // 1-based
    QList<int> rows;
    QList<int> cols;
    QList<int> titles; // indexes into the grid's report titles
    int band = 0;      // the column band, 0 for tables as narrow as the page
};

// Pages of a grid with their geometry, in grid pixels (96 per inch) before zoom.
struct GridPageLayout
{
    double pageWidth = 0; // the whole sheet, orientation applied, 96 dpi pixels
    double pageHeight = 0;
    QRectF content;    // inside the margins, 96 dpi pixels
    double zoom = 1.0; // the table and titles are drawn at this scale
    QList<GridPage> pages;
};

// Splits a grid into printed pages as its page setup says. A pure function of the grid, so it
// is tested without painting; GridPageRenderer paints what it returns.
class GridPagination final
{
public:
    static GridPageLayout paginate(const Grid &grid);

    // Height of one report title line in grid pixels (from its font size).
    static int titleHeight(const ReportTitle &title);
    // A title's left, centre and right parts ("a|b|c"); missing parts are empty.
    static QStringList titleParts(const QString &text);
    // "&p" becomes the page number and "&n" the page count.
    static QString expandPageFields(const QString &text, int page, int pageCount);

    static double cmToPixels(double cm) { return cm / 2.54 * 96.0; }

    // Most printers cannot print the outer 5 mm of a sheet: margins, header and footer lines
    // closer to the edge than this are moved in.
    static constexpr double kMinMarginCm = 0.5;
    static double marginPixels(double cm) { return cmToPixels(std::max(kMinMarginCm, cm)); }

    // The width one page gives the table's columns, in grid pixels before zoom: inside the
    // margins, beside the columns repeated at the left (column 0 and the title columns).
    static double tableWidth(const Grid &grid);
    // The area inside a page setup's margins, in 96 dpi pixels from the sheet's corner.
    static QRectF contentRect(const PageSetup &setup);
};

} // namespace fenpai
