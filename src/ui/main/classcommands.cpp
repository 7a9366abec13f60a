#include "ui/main/classcommands.h"

#include "ui/division/classadjustdialog.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QLineEdit>
#include <QMessageBox>

namespace fenpai {

ClassCommands::ClassCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    using Kind = ClassReports::Kind;
    auto wire = [this](const char *name, auto slot) {
        if (QAction *a = m_window.action(QString::fromLatin1(name))) {
            a->setEnabled(true);
            connect(a, &QAction::triggered, this, slot);
        }
    };
    // The source schools' figures are there before anyone logs in; the new classes are not.
    wire("fbbxx", [this] { show(Kind::SourceSchoolStats); });
    wire("czzpm", [this] {
        if (m_window.passGate())
            show(Kind::NewClassStats);
    });
    wire("sgtz", [this] {
        if (!m_window.passGate())
            return;
        // One dialog, created on first use, beside the documents rather than over them.
        if (!m_adjust) {
            auto *dialog = new ClassAdjustDialog(m_window.workspace(), &m_window);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            m_adjust = dialog;
        }
        m_adjust->show();
        m_adjust->raise();
    });
    if (DynamicMenu *classes = m_window.dynamicMenu(QStringLiteral("class"))) {
        classes->item(0)->setEnabled(true);
        connect(classes, &DynamicMenu::chosen, this, [this, classes](int k) {
            if (!m_window.passGate())
                return;
            // Item 0 (全部班级) lists the pupils not yet placed, class 0.
            show(Kind::ClassList, k == 0 ? 0 : classes->captions().value(k).toInt());
        });
    }
}

DocumentWindow *ClassCommands::show(ClassReports::Kind kind, int number)
{
    DocumentWindow *doc = m_window.openDocument();
    const Result<ClassReports::Listing> listing =
        m_window.workspace().buildClassReport(doc->grid(), kind, number);
    if (!listing) {
        // A report that cannot be built leaves no empty window behind.
        if (QWidget *sub = doc->parentWidget())
            sub->close();
        m_window.message(QMessageBox::Warning, QStringLiteral("提示"), listing.status().message());
        return nullptr;
    }
    m_window.state().setDocumentTitle(listing->title);
    doc->setWindowTitle(listing->title);
    doc->titleBox()->setText(listing->titleText);
    return doc;
}

} // namespace fenpai
