#pragma once

#include "core/result.h"
#include "core/status.h"
#include "db/database.h"
#include "db/datadirectory.h"
#include "db/useraccounts.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/reportcatalogue.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace fenpai {

class Grid;

// The data one window works on: a connection to the database of its data directory, opened on
// first use and kept open, and every job and menu source that reads or changes it.
// Whoever shows the data holds a reference, so nothing else opens the file behind its back.
// A connection that cannot be opened is tried again by the next call.
class Workspace final
{
public:
    explicit Workspace(const DataDirectory &dataDirectory);
    // The data directory the window opens (DataDirectory::resolve), so the window needs no db.
    static QString resolveDataDirectory(const QString &explicitDir, const QString &programDir)
    {
        return DataDirectory::resolve(explicitDir, programDir);
    }
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    const DataDirectory &dataDirectory() const { return m_dataDirectory; }

    // Opens the connection unless it is open; the reason when the file cannot be opened.
    [[nodiscard]] Status open();
    bool isOpen() const { return m_db.isOpen(); }

    // Runs `job` (a callable taking a Database& and returning a Status or a Result) on this
    // connection, opened first if need be; the reason when it cannot be opened.
    template <typename Job> auto use(Job &&job) -> decltype(job(std::declval<Database &>()))
    {
        if (Status s = open(); !s.isOk())
            return s;
        return job(m_db);
    }

    // The long jobs (imports, division, arrangement) run on a connection of their own on the
    // same file, so they may run on another thread while the window keeps using this one: they
    // touch nothing of the Workspace but its data directory. The window's connection keeps no
    // statement open between calls, so it never holds a lock that would stop a job's writing.
    template <typename Job>
    auto useOwnConnection(Job &&job) const -> decltype(job(std::declval<Database &>()))
    {
        Database db;
        if (Status s = m_dataDirectory.openDatabase(db); !s.isOk())
            return s;
        return job(db);
    }

    // A report of the catalogue into a document's grid.
    [[nodiscard]] Result<ReportDocument> buildReport(Grid &grid,
                                                     const ReportCatalogue::Entry &entry,
                                                     const ReportCatalogue::Request &request);

    // The school and term lines printed under a report's title; empty when the settings table
    // cannot be read.
    ReportFormat::Subtitle reportSubtitle();
    // Writes them (ReportTitles::write).
    [[nodiscard]] Status saveReportSubtitle(const ReportFormat::Subtitle &subtitle);

    // Fills a document's grid from a table or saved query.
    [[nodiscard]] DocumentFill::Outcome fillDocument(Grid &grid, const QString &source,
                                                     const QString &title);

    // The captions of the data-driven submenus. Like a missing table, a database that cannot be
    // opened gives none: the menus keep only their first item.
    QStringList newClassCaptions();
    QStringList roomCaptions();
    QStringList classCaptions();
    QStringList schoolCaptions();

    // Recreates the settings tables with their default rows (Maintenance).
    [[nodiscard]] Status repairSystemTables();

    // The lists the ticket dialog offers: schools, rooms, photo name columns, and the classes
    // of `school`; empty when the file cannot be opened.
    struct TicketLists
    {
        QStringList schools;
        QStringList classes;
        QStringList rooms;
        QStringList photoNames;
    };
    TicketLists ticketLists(const QString &school = QString());

    // The password change. Its checks of the typed fields need no database, so they answer even
    // when the file cannot be opened; the Status is only that failure.
    [[nodiscard]] Result<UserAccounts::ChangeOutcome>
    changePassword(const UserAccounts::Change &change);

private:
    DataDirectory m_dataDirectory;
    Database m_db;
};

} // namespace fenpai
