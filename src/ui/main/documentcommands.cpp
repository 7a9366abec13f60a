#include "ui/main/documentcommands.h"

#include "ui/common/datachanges.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace fenpai {

DocumentCommands::DocumentCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    if (QMenu *view = m_window.menu(QStringLiteral("mnuView"))) {
        QAction *first = view->actions().value(0);
        m_window.addEntry(view, QStringLiteral("mnuRefresh"), QStringLiteral("刷新(&R)"), first)
            ->setShortcut(QKeySequence(Qt::Key_F5));
        view->insertSeparator(first);
    }
    m_refresh = m_window.wire(QStringLiteral("mnuRefresh"), this, [this] { refresh(); });
    connect(&m_window.dataChanges(), &DataChanges::changed, this, &DocumentCommands::tablesChanged);
    connect(m_window.mdiArea(), &QMdiArea::subWindowActivated, this,
            &DocumentCommands::documentActivated);
    documentActivated();
}

void DocumentCommands::refresh()
{
    if (DocumentWindow *doc = m_window.activeDocument())
        (void)doc->refresh(); // a refill that failed has been said
}

void DocumentCommands::tablesChanged(const QStringList &tables, QObject *by)
{
    for (QMdiSubWindow *sub : m_window.mdiArea()->subWindowList()) {
        auto *doc = qobject_cast<DocumentWindow *>(sub->widget());
        if (doc && doc != by && doc->readsAny(tables))
            doc->markStale();
    }
}

void DocumentCommands::documentActivated()
{
    DocumentWindow *doc = m_window.activeDocument();
    if (doc)
        connect(doc, &DocumentWindow::recipeChanged, this, &DocumentCommands::documentActivated,
                Qt::UniqueConnection);
    if (m_refresh)
        m_refresh->setEnabled(doc && doc->canRefill());
}

} // namespace fenpai
