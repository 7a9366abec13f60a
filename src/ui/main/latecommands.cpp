#include "ui/main/latecommands.h"

#include "core/tablenames.h"
#include "jobs/arrangement/lateseating.h"
#include "ui/common/datachanges.h"
#include "ui/common/jobprogress.h"
#include "ui/division/placenewdialog.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QMenu>

#include <optional>

namespace fenpai {

LateCommands::LateCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    // Each beside its job, before the manual adjustment.
    if (QMenu *division = m_window.menu(QStringLiteral("fbop")))
        m_window.addEntry(division, QStringLiteral("azxs"), QStringLiteral("安置新增学生…"),
                          m_window.action(QStringLiteral("sgtz")));
    if (QMenu *exam = m_window.menu(QStringLiteral("mnukcbp")))
        m_window.addEntry(exam, QStringLiteral("azks"), QStringLiteral("安置新增考生…"),
                          m_window.action(QStringLiteral("ktiaoz")));
    m_window.wire(QStringLiteral("azxs"), this, [this] { (void)showPupilDialog(); });
    m_window.wire(QStringLiteral("azks"), this, [this] { placeExaminees(); });
}

PlaceNewDialog *LateCommands::showPupilDialog()
{
    if (!m_window.passGate())
        return nullptr;
    if (!m_dialog) {
        auto *dialog = new PlaceNewDialog(m_window.workspace(), &m_window);
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon icon, const QString &title,
                                          const QString &text, QMessageBox::StandardButtons) {
            m_window.message(icon, title, text);
            return QMessageBox::Ok;
        });
        connect(dialog, &PlaceNewDialog::placed, this, &LateCommands::pupilsPlaced);
        m_dialog = dialog;
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    return m_dialog;
}

void LateCommands::pupilsPlaced(const PlacementOutcome &outcome)
{
    m_window.rebuildNewClassMenu();
    if (outcome.placed.empty() && outcome.moved.empty())
        return;
    m_window.dataChanges().announce({TableNames::divisionData});
    m_window.openBuilt([&](Grid &grid) -> Result<ReportDocument> {
        return ClassPlacement::fillList(grid, outcome, m_window.workspace().reportSubtitle());
    });
}

void LateCommands::placeExaminees()
{
    if (!m_window.passGate())
        return;
    const QString title = QStringLiteral("安置新增考生");
    const Result<int> late =
        m_window.workspace().use([](Database &db) { return LateSeating::lateExamineeCount(db); });
    if (!late) {
        m_window.message(QMessageBox::Warning, title, late.status().message());
        return;
    }
    if (*late == 0) {
        m_window.message(QMessageBox::Information, title,
                         QStringLiteral("考生表中没有需要安置的新增考生（考场为空或0的考生）。"));
        return;
    }
    const QString question =
        QStringLiteral("考生表中有%1名新增考生（没有考场）。按上次编排的方式给他们安排空座位"
                       "和考号，其他考生的考场、座位号和考号都不变。\n继续吗？")
            .arg(*late);
    if (m_window.ask(QMessageBox::Question, title, question, QMessageBox::Yes | QMessageBox::No) !=
        QMessageBox::Yes)
        return;
    std::optional<Result<SeatingOutcome>> outcome;
    JobProgress(&m_window, QStringLiteral("正在安置新增考生……"))
        .run(
            [&](const JobProgress::Report &) {
                outcome = m_window.workspace().useOwnConnection(
                    [](Database &db) { return LateSeating::run(db); });
            },
            false);
    const Result<SeatingOutcome> &result = *outcome;
    if (!result) {
        m_window.message(QMessageBox::Warning, title, result.status().message());
        return;
    }
    m_window.rebuildRoomAndClassMenus();
    m_window.rebuildSchoolMenu();
    m_window.dataChanges().announce({TableNames::examinees});
    m_window.setStatusText(1, result->text());
    m_window.message(QMessageBox::NoIcon, title, QStringLiteral("安置完成!\n") + result->text());
    m_window.openBuilt([&](Grid &grid) -> Result<ReportDocument> {
        return LateSeating::fillList(grid, *result, m_window.workspace().reportSubtitle());
    });
}

} // namespace fenpai
