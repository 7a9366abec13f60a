#include "ui/main/seatchartcommands.h"

#include "ui/arrangement/arrangementdialog.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>

namespace fenpai {

SeatChartCommands::SeatChartCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    QMenu *byRoom = m_window.menu(QStringLiteral("klulan"));
    DynamicMenu *roomLists = m_window.dynamicMenu(QStringLiteral("gkc"));
    if (!byRoom || !roomLists)
        return;
    auto *charts = new QMenu(QStringLiteral("座位表"), byRoom);
    charts->setObjectName(QStringLiteral("zwb"));
    charts->menuAction()->setObjectName(QStringLiteral("zwb"));
    // Ahead of the room lists, which are rebuilt at the menu's end.
    byRoom->insertMenu(roomLists->item(0), charts);
    byRoom->insertSeparator(roomLists->item(0));
    m_rooms = new DynamicMenu(charts, QStringLiteral("zwb"), QStringLiteral("全部考场"));
    // The rooms are those of the room lists, whenever these were last rebuilt.
    connect(charts, &QMenu::aboutToShow, this,
            [this, roomLists] { m_rooms->rebuild(roomLists->captions().mid(1)); });
    connect(m_rooms, &DynamicMenu::chosen, this, [this](int k) {
        if (m_window.passGate())
            show(k);
    });
}

DocumentWindow *SeatChartCommands::show(int room)
{
    DocumentWindow *doc = m_window.openDocument();
    const SeatChart::Request request{room,
                                     ArrangementDialog::rememberedSeatOrder(*m_window.settings())};
    const Result<ExamListings::Listing> chart =
        m_window.workspace().buildSeatChart(doc->grid(), request);
    if (!chart) {
        // A chart that cannot be built leaves no empty window behind.
        if (QWidget *sub = doc->parentWidget())
            sub->close();
        m_window.message(QMessageBox::Warning, QStringLiteral("提示"), chart.status().message());
        return nullptr;
    }
    m_window.state().setDocumentTitle(chart->title);
    doc->setWindowTitle(chart->title);
    doc->titleBox()->setText(chart->titleText);
    return doc;
}

} // namespace fenpai
