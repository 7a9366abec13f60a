#pragma once

#include "grid/gridpagerenderer.h"

class QPrinter;
class QWidget;

namespace fenpai {

class Grid;

// Prints a grid through the print and preview dialogs; the pages are painted by
// GridPageRenderer, as in a PDF written from the command line.
class GridPrinter final
{
public:
    explicit GridPrinter(const Grid &grid);

    // Paper size, orientation, colour mode and a full-page coordinate system from the page setup.
    void setupPrinter(QPrinter &printer) const;
    // Paints every page on a printer that setupPrinter prepared; false when the printer
    // could not be opened.
    [[nodiscard]] bool print(QPrinter *printer) const;
    // Qt's print preview dialog over this grid (modal).
    void preview(QWidget *parent) const;
    // The print dialog, then printing; false when the user cancels or printing fails.
    [[nodiscard]] bool printWithDialog(QWidget *parent) const;

private:
    const Grid &m_grid;
    GridPageRenderer m_renderer;
};

} // namespace fenpai
