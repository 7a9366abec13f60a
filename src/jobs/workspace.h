#pragma once

#include "core/result.h"
#include "core/status.h"
#include "db/database.h"
#include "db/datadirectory.h"
#include "db/useraccounts.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/arrangement/examswap.h"
#include "jobs/division/classdivision.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/documentwriteback.h"
#include "jobs/documents/reportformat.h"
#include "jobs/import/spreadsheetimport.h"
#include "jobs/reports/classreports.h"
#include "jobs/reports/examreports.h"
#include "jobs/reports/seatchart.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/ticketsettings.h"

#include <QString>
#include <QStringList>

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
    Workspace(const Workspace &) = delete;
    Workspace &operator=(const Workspace &) = delete;

    const DataDirectory &dataDirectory() const { return m_dataDirectory; }

    // Opens the connection unless it is open; the reason when the file cannot be opened.
    [[nodiscard]] Status open();
    bool isOpen() const { return m_db.isOpen(); }

    // The long jobs (imports, division, arrangement) each open a connection of their own on the
    // same file, so they may run on another thread while the window keeps using this one: they
    // touch nothing of the Workspace but its data directory. The window's connection keeps no
    // statement open between calls, so it never holds a lock that would stop a job's writing.

    // Workbook imports; the previous tables stay as they were when one fails.
    [[nodiscard]] Result<ImportReport> importDivision(const QString &path) const;
    [[nodiscard]] Result<ImportReport> importArrangement(const QString &path) const;

    // The class division and what its dialog shows before a run.
    [[nodiscard]] Result<int> pupilTotal();
    [[nodiscard]] Result<DivisionSummary>
    divide(const DivisionSettings &settings, const ClassDivision::Progress &progress = {}) const;

    // The exam room arrangement and the counts its dialog shows before a run.
    [[nodiscard]] Result<ArrangementCounts> arrangementCounts();
    // Ok, or the refusal of a room whose capacity exceeds its desks (RoomSeating::checkDesks).
    [[nodiscard]] Status checkDesks();
    [[nodiscard]] Result<ArrangementOutcome>
    arrange(const ArrangementSettings &settings, const ArrangementProgress &progress = {}) const;

    // The score information report into the grid (ScoreInfoReport).
    [[nodiscard]] Status buildScoreInfoReport(Grid &grid);

    // The exam listings and statistics into a document's grid, the mixing check's findings.
    [[nodiscard]] Result<ExamListings::Listing>
    buildExamReport(Grid &grid, const ExamReports::Request &request);
    [[nodiscard]] Result<QStringList> mixingFindings(SeatOrder order = SeatOrder::ByColumn);
    // The seat chart of one room or of all rooms (SeatChart).
    [[nodiscard]] Result<ExamListings::Listing> buildSeatChart(Grid &grid,
                                                               const SeatChart::Request &request);
    // The manual class adjustment (ClassAdjustment).
    [[nodiscard]] Result<std::vector<qint64>>
    fillAdjustmentClass(Grid &grid, const QString &queryName, int number, bool withSchool);
    [[nodiscard]] Status moveToClass(qint64 rowid, int target);
    // The class reports over 分班数据表 (ClassReports).
    [[nodiscard]] Result<ExamListings::Listing>
    buildClassReport(Grid &grid, ClassReports::Kind kind, int number = 0);

    // The manual exam swap: its rooms, one room into a picker's grid, the swap.
    [[nodiscard]] Result<QStringList> swapRooms();
    [[nodiscard]] Status fillSwapRoom(Grid &grid, const QString &queryName, qint64 room);
    [[nodiscard]] Status swapExaminees(const ExamSwap::Pick &left, const ExamSwap::Pick &right);

    // The school and term lines printed under a report's title; empty when the settings table
    // cannot be read.
    ReportFormat::Subtitle reportSubtitle();
    // Writes them (ReportTitles::write).
    [[nodiscard]] Status saveReportSubtitle(const ReportFormat::Subtitle &subtitle);

    // Fills a document's grid from a table or saved query.
    [[nodiscard]] DocumentFill::Outcome fillDocument(Grid &grid, const QString &source,
                                                     const QString &title);
    // Writes a document's edits back to the table it was filled from (DocumentWriteBack).
    [[nodiscard]] Status saveDocument(Grid &grid, DocumentSource &source);

    // The captions of the data-driven submenus. Like a missing table, a database that cannot be
    // opened gives none: the menus keep only their first item.
    QStringList newClassCaptions();
    QStringList roomCaptions();
    QStringList classCaptions();
    QStringList schoolCaptions();

    [[nodiscard]] Status repairSystemTables();

    // Admission tickets and desk labels (TicketProduction, DeskLabels) and the lists their
    // dialog offers: schools, rooms, photo name columns, and the classes of `school`.
    struct TicketLists
    {
        QStringList schools;
        QStringList classes;
        QStringList rooms;
        QStringList photoNames;
    };
    TicketLists ticketLists(const QString &school = QString());
    [[nodiscard]] Result<TicketProduction::Outcome>
    buildTickets(Grid &grid, const Grid &ticketTemplate, const TicketSettings &settings);
    [[nodiscard]] Status buildDeskLabels(Grid &grid, const DeskLabelSettings &settings);

    // The trimmed user name, or the message to show.
    [[nodiscard]] Result<QString> login(const QString &userName, const QString &password);
    // The password change. Its checks of the typed fields need no database, so they answer even
    // when the file cannot be opened; the Status is only that failure.
    [[nodiscard]] Result<UserAccounts::ChangeOutcome>
    changePassword(const UserAccounts::Change &change);

private:
    DataDirectory m_dataDirectory;
    Database m_db;
};

} // namespace fenpai
