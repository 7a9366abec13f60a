#include "ui/main/reportcommands.h"

#include "ui/arrangement/arrangementdialog.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/mainwindow.h"
#include "ui/tickets/ticketdialog.h"

#include <QAction>
#include <QMenu>

namespace fenpai {

ReportCommands::ReportCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    for (const ReportCatalogue::Entry &entry : ReportCatalogue::entries())
        wire(entry);
}

void ReportCommands::wire(const ReportCatalogue::Entry &entry)
{
    const ReportCatalogue::Entry *row = &entry; // the catalogue's rows live as long as the program
    if (DynamicMenu *submenu = m_window.dynamicMenu(entry.menu.name)) {
        submenu->item(0)->setEnabled(true);
        connect(submenu, &DynamicMenu::chosen, this, [this, row, submenu](int item) {
            const std::optional<ReportCatalogue::Request> request =
                ReportCatalogue::menuRequest(*row, item, submenu->captions().value(item));
            if (request)
                show(*row, *request);
            else if (const ReportCatalogue::Entry *other = ReportCatalogue::firstItemReport(*row))
                show(*other, {});
        });
        return;
    }
    // A report new to the window gets an entry at the end of its menu.
    if (!m_window.action(entry.menu.name)) {
        if (QMenu *parent = m_window.menu(entry.menu.parent))
            m_window.addEntry(parent, entry.menu.name, entry.menu.caption);
    }
    m_window.wire(entry.menu.name, this, [this, row] { show(*row, {}); });
}

DocumentWindow *ReportCommands::show(const ReportCatalogue::Entry &entry,
                                     const ReportCatalogue::Request &request)
{
    if (entry.needsLogin && !m_window.passGate())
        return nullptr;
    ReportCatalogue::Request r = request;
    // Seat charts number the desks as the arrangement dialog was last set; sign-in sheets show
    // the photos the ticket dialog was last given.
    r.order = ArrangementDialog::rememberedSeatOrder(*m_window.settings());
    const TicketDialog::Photos photos = TicketDialog::rememberedPhotos(*m_window.settings());
    r.photoFolder = photos.folder;
    r.photoField = photos.field;
    DocumentWindow::Recipe recipe;
    recipe.tables = ReportCatalogue::tables(entry);
    // The catalogue's rows live as long as the program.
    recipe.build = [workspace = &m_window.workspace(), row = &entry, r](Grid &grid,
                                                                        DocumentSource &) {
        return workspace->buildReport(grid, *row, r);
    };
    return m_window.openRecipe(recipe);
}

} // namespace fenpai
