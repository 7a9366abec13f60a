#include "ui/main/classcommands.h"

#include "core/tablenames.h"
#include "ui/common/datachanges.h"
#include "ui/division/classadjustdialog.h"
#include "ui/main/mainwindow.h"

namespace fenpai {

ClassCommands::ClassCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_window.wire(QStringLiteral("sgtz"), this, [this] {
        if (!m_window.passGate())
            return;
        // One dialog, created on first use, beside the documents rather than over them.
        if (!m_adjust) {
            auto *dialog = new ClassAdjustDialog(m_window.workspace(), &m_window);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            connect(dialog, &ClassAdjustDialog::moved, this,
                    [this] { m_window.dataChanges().announce({TableNames::divisionData}); });
            m_adjust = dialog;
        }
        m_adjust->show();
        m_adjust->raise();
    });
}

} // namespace fenpai
