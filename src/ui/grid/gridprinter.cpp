#include "ui/grid/gridprinter.h"

#include "grid/grid.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace fenpai {

GridPrinter::GridPrinter(const Grid &grid)
    : m_grid(grid)
    , m_renderer(grid)
{}

void GridPrinter::setupPrinter(QPrinter &printer) const
{
    printer.setFullPage(true);
    printer.setPageLayout(m_renderer.pageLayout());
    printer.setColorMode(m_grid.pageSetup().blackAndWhite ? QPrinter::GrayScale : QPrinter::Color);
}

bool GridPrinter::print(QPrinter *printer) const
{
    return m_renderer.render(printer);
}

void GridPrinter::preview(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setupPrinter(printer);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("打印预览"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this](QPrinter *p) { (void)print(p); });
    dialog.exec();
}

bool GridPrinter::printWithDialog(QWidget *parent) const
{
    QPrinter printer(QPrinter::HighResolution);
    setupPrinter(printer);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return print(&printer);
}

} // namespace fenpai
