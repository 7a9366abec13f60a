#pragma once

#include "data/status.h"
#include "gridpagination.h"

class QPainter;
class QPrinter;
class QWidget;

namespace fenpai {

class Grid;

// Prints a grid as its page setup says: report titles, header and footer with page fields,
// repeated title rows and columns, column bands and page breaks (GridPagination), cells painted
// by the same GridCellPainter as the view.
class GridPrinter final
{
public:
    explicit GridPrinter(const Grid &grid);

    // Paper size, orientation and a full-page coordinate system from the page setup.
    void setupPrinter(QPrinter &printer) const;
    // Paints every page on a printer that setupPrinter prepared; false when the printer
    // could not be opened.
    bool print(QPrinter *printer) const;
    // Paints one page; the painter's unit is one grid pixel (1/96 inch) from the sheet's corner.
    void paintPage(QPainter &painter, const GridPageLayout &layout, int index) const;

    // Writes a PDF file; a failure names the file and leaves no partial file behind.
    Status writePdf(const QString &path) const;
    // Qt's print preview dialog over this grid (modal).
    void preview(QWidget *parent) const;
    // The print dialog, then printing; false when the user cancels.
    bool printWithDialog(QWidget *parent) const;

private:
    const Grid &m_grid;
};

} // namespace fenpai
