#include "jobs/workspace.h"

#include "db/maintenance.h"
#include "db/menusources.h"
#include "jobs/documents/reporttitles.h"
#include "jobs/tickets/ticketproduction.h"

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

Result<ReportDocument> Workspace::buildReport(Grid &grid, const ReportCatalogue::Entry &entry,
                                              const ReportCatalogue::Request &request)
{
    return use([&](Database &db) { return entry.build(db, grid, request); });
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
    // which query it was, and the message is then ours, whole.
    const Status &s = outcome.status;
    if (s.isSqlError() && m_db.views().contains(source, Qt::CaseInsensitive))
        outcome.status = Status::sqlite(
            Status::Kind::MissingTable, s.sqliteCode(),
            QStringLiteral("查询“%1”无法打开：它用到的数据表或字段不存在或有误").arg(source));
    return outcome;
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
    return use([](Database &db) { return Maintenance::repairSystemTables(db); });
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
