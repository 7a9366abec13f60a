#include "jobs/workspace.h"

#include "jobs/arrangement/roomseating.h"
#include "jobs/division/classadjustment.h"
#include "jobs/documents/reporttitles.h"

#include "jobs/reports/mixingcheck.h"
#include "jobs/reports/scoreinforeport.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/ticketproduction.h"

#include "db/maintenance.h"
#include "db/menusources.h"

namespace fenpai {

Workspace::Workspace(const DataDirectory &dataDirectory)
    : m_dataDirectory(dataDirectory)
{}

Status Workspace::open()
{
    if (m_db.isOpen())
        return Status::ok();
    return m_dataDirectory.openDatabase(m_db);
}

Result<ImportReport> Workspace::importDivision(const QString &path) const
{
    Database db;
    if (Status s = m_dataDirectory.openDatabase(db); !s.isOk())
        return s;
    return SpreadsheetImport::importDivision(db, path);
}

Result<ImportReport> Workspace::importArrangement(const QString &path) const
{
    Database db;
    if (Status s = m_dataDirectory.openDatabase(db); !s.isOk())
        return s;
    return SpreadsheetImport::importArrangement(db, path);
}

Result<int> Workspace::pupilTotal()
{
    if (Status s = open(); !s.isOk())
        return s;
    return ClassDivision::pupilTotal(m_db);
}

Result<DivisionSummary> Workspace::divide(const DivisionSettings &settings,
                                          const ClassDivision::Progress &progress) const
{
    Database db;
    if (Status s = m_dataDirectory.openDatabase(db); !s.isOk())
        return s;
    return ClassDivision::run(db, settings, progress);
}

Result<ArrangementCounts> Workspace::arrangementCounts()
{
    if (Status s = open(); !s.isOk())
        return s;
    return ArrangementCounts::read(m_db);
}

Status Workspace::checkDesks()
{
    if (Status s = open(); !s.isOk())
        return s;
    return RoomSeating::checkDesks(m_db);
}

Result<ArrangementOutcome> Workspace::arrange(const ArrangementSettings &settings,
                                              const ArrangementProgress &progress) const
{
    Database db;
    if (Status s = m_dataDirectory.openDatabase(db); !s.isOk())
        return s;
    return Arrangement::run(db, settings, progress);
}

Status Workspace::saveDocument(Grid &grid, DocumentSource &source)
{
    if (Status s = open(); !s.isOk())
        return s;
    return DocumentWriteBack::save(m_db, grid, source);
}

DocumentFill::Outcome Workspace::fillDocument(Grid &grid, const QString &source,
                                              const QString &title)
{
    if (Status s = open(); !s.isOk()) {
        DocumentFill::Outcome outcome;
        outcome.status = s;
        return outcome;
    }
    DocumentFill::Outcome outcome = DocumentFill::fill(grid, m_db, source, title);
    // A saved query whose tables or fields have gone fails in SQLite's words; the schema says
    // which query it was.
    const Status &s = outcome.status;
    if (s.kind() == Status::Kind::Sql && m_db.views().contains(source, Qt::CaseInsensitive))
        outcome.status = Status::sqlite(
            s.kind(), s.sqliteCode(),
            QStringLiteral("查询“%1”无法打开：它用到的数据表或字段不存在或有误").arg(source));
    return outcome;
}

Status Workspace::buildScoreInfoReport(Grid &grid)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ScoreInfoReport::build(m_db, grid);
}

Result<ExamListings::Listing> Workspace::buildExamReport(Grid &grid,
                                                         const ExamReports::Request &request)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ExamReports::build(m_db, grid, request);
}

Result<ExamListings::Listing> Workspace::buildClassReport(Grid &grid, ClassReports::Kind kind,
                                                          int number)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ClassReports::build(m_db, grid, kind, number);
}

Result<std::vector<qint64>> Workspace::fillAdjustmentClass(Grid &grid, const QString &queryName,
                                                           int number, bool withSchool)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ClassAdjustment::fillClass(m_db, grid, queryName, number, withSchool);
}

Status Workspace::moveToClass(qint64 rowid, int target)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ClassAdjustment::move(m_db, rowid, target);
}

Result<QStringList> Workspace::mixingFindings(SeatOrder order)
{
    if (Status s = open(); !s.isOk())
        return s;
    return MixingCheck::findings(m_db, order);
}

Result<ExamListings::Listing> Workspace::buildSeatChart(Grid &grid,
                                                        const SeatChart::Request &request)
{
    if (Status s = open(); !s.isOk())
        return s;
    return SeatChart::build(m_db, grid, request);
}

Result<QStringList> Workspace::swapRooms()
{
    if (Status s = open(); !s.isOk())
        return s;
    return ExamSwap::rooms(m_db);
}

Status Workspace::fillSwapRoom(Grid &grid, const QString &queryName, qint64 room)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ExamSwap::fillRoom(m_db, grid, queryName, room);
}

Status Workspace::swapExaminees(const ExamSwap::Pick &left, const ExamSwap::Pick &right)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ExamSwap::swap(m_db, left, right);
}

ReportFormat::Subtitle Workspace::reportSubtitle()
{
    return open().isOk() ? ReportTitles::read(m_db) : ReportFormat::Subtitle();
}

Status Workspace::saveReportSubtitle(const ReportFormat::Subtitle &subtitle)
{
    if (Status s = open(); !s.isOk())
        return s;
    return ReportTitles::write(m_db, subtitle);
}

QStringList Workspace::newClassCaptions()
{
    return open().isOk() ? MenuSources::newClasses(m_db) : QStringList();
}

QStringList Workspace::roomCaptions()
{
    return open().isOk() ? MenuSources::rooms(m_db) : QStringList();
}

QStringList Workspace::classCaptions()
{
    return open().isOk() ? MenuSources::classes(m_db) : QStringList();
}

QStringList Workspace::schoolCaptions()
{
    return open().isOk() ? MenuSources::schools(m_db) : QStringList();
}

Status Workspace::repairSystemTables()
{
    if (Status s = open(); !s.isOk())
        return s;
    return Maintenance::repairSystemTables(m_db);
}

Workspace::TicketLists Workspace::ticketLists(const QString &school)
{
    TicketLists lists;
    if (!open().isOk())
        return lists;
    lists.schools = TicketProduction::schools(m_db);
    if (!school.isEmpty())
        lists.classes = TicketProduction::classes(m_db, school);
    lists.rooms = TicketProduction::rooms(m_db);
    lists.photoNames = TicketProduction::photoNameChoices(m_db);
    return lists;
}

Result<TicketProduction::Outcome> Workspace::buildTickets(Grid &grid, const Grid &ticketTemplate,
                                                          const TicketSettings &settings)
{
    if (Status s = open(); !s.isOk())
        return s;
    return TicketProduction::build(m_db, ticketTemplate, settings, grid);
}

Status Workspace::buildDeskLabels(Grid &grid, const DeskLabelSettings &settings)
{
    if (Status s = open(); !s.isOk())
        return s;
    return DeskLabels::build(m_db, settings, grid);
}

Result<QString> Workspace::login(const QString &userName, const QString &password)
{
    if (Status s = open(); !s.isOk())
        return s;
    return UserAccounts::login(m_db, userName, password);
}

Result<UserAccounts::ChangeOutcome> Workspace::changePassword(const UserAccounts::Change &change)
{
    // The same field checks as the change itself, so that a missing or mismatched entry is
    // answered before the file is touched.
    const bool fieldsComplete = !change.oldPassword.isEmpty() && !change.newUser.isEmpty() &&
                                !change.newPassword.isEmpty() &&
                                !change.confirmPassword.isEmpty() &&
                                change.newPassword.trimmed() == change.confirmPassword.trimmed();
    if (fieldsComplete) {
        if (Status s = open(); !s.isOk())
            return s;
    }
    return UserAccounts::changePassword(m_db, change);
}

} // namespace fenpai
