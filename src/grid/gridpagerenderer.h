#pragma once

#include "core/status.h"
#include "grid/gridpagination.h"

#include <QPageLayout>

class QPainter;
class QPagedPaintDevice;

namespace fenpai {

class Grid;
class PdfTextLayer;

// Paints a grid's pages as its page setup says: report titles, header and footer with page
// fields, repeated title rows and columns, column bands and page breaks (GridPagination), cells
// painted by the same GridCellPainter as the view. Writes PDF files without any widget; the
// print dialogs of the window paint through it too.
class GridPageRenderer final
{
public:
    explicit GridPageRenderer(const Grid &grid);

    // Paper size and orientation of the page setup, with no device margins: the page setup's
    // own margins are painted by paintPage.
    QPageLayout pageLayout() const;
    // Paints every page on a device set to pageLayout(); false when painting could not begin.
    // A text layer, when given, is told every text drawn.
    [[nodiscard]] bool render(QPagedPaintDevice *device, PdfTextLayer *textLayer = nullptr) const;
    // Paints one page; the painter's unit is one grid pixel (1/96 inch) from the sheet's corner.
    void paintPage(QPainter &painter, const GridPageLayout &layout, int index,
                   PdfTextLayer *textLayer = nullptr) const;

    // Writes a PDF file whose text reads back as drawn (PdfTextLayer); a failure names the file
    // and leaves no partial file behind.
    [[nodiscard]] Status writePdf(const QString &path) const;

private:
    const Grid &m_grid;
};

} // namespace fenpai
