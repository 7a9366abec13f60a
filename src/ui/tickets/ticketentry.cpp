#include "ui/tickets/ticketentry.h"

#include "ui/documents/documentwindow.h"
#include "ui/main/mainwindow.h"
#include "ui/tickets/ticketdialog.h"

#include <QAction>
#include <QCoreApplication>

namespace fenpai {

TicketEntry::TicketEntry(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_window.wire(QStringLiteral("zhizhuo"), this, [this] { (void)show(); });
}

TicketDialog *TicketEntry::show()
{
    if (!m_window.passGate())
        return nullptr;
    if (!m_dialog) {
        const TicketTemplates templates(m_window.workspace().dataDirectory().path(),
                                        QCoreApplication::applicationDirPath());
        auto *dialog = new TicketDialog(
            m_window.workspace(), templates,
            [this](const std::function<Result<ReportDocument>(Grid &)> &build) {
                return m_window.openBuilt(build);
            },
            &m_window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->rememberIn(m_window.settings());
        // Messages go through the window's message function, which tests answer.
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon icon, const QString &title,
                                          const QString &text, QMessageBox::StandardButtons) {
            m_window.message(icon, title, text);
            return QMessageBox::Ok;
        });
        m_dialog = dialog;
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return m_dialog;
}

} // namespace fenpai
