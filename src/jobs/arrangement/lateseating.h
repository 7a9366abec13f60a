#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>
#include <vector>

namespace fenpai {

class Database;
class Grid;

// One late examinee and the seat he was given.
struct SeatChange
{
    qint64 rowid = 0;
    QString school;
    QString className;
    QString name;
    int room = 0; // ordinal, as 考场 holds it
    QString location;
    int seat = 0;
    qint64 number = 0;
    bool besideClassmate = false; // a neighbouring desk holds his class: the room had no better
};

struct SeatingOutcome
{
    std::vector<SeatChange> seated; // by room, then seat
    ArrangementSettings settings;   // what the seats and numbers followed
    int freeSeatsLeft = 0;

    // "安置新增考生3人，考场还剩空座位12个"
    QString text() const;
};

// Seats the examinees of 考生表 who have no room (考场 empty or 0) on the free seats of an
// arrangement already made, without arranging everyone again: nobody else's room, seat or exam
// number changes, and the seats of withdrawn examinees (rows deleted) are free again. The mode,
// numbering and seat order are those of the last full arrangement (kept in the database) unless
// given. Mode 1 puts a late examinee in a room that already holds his class (or school) where
// one has a free seat; modes 2 and 3 in the room whose scores lie nearest his; else the first
// room with a free seat. Inside the room the free seat with fewest classmates beside it, the
// lowest first. Numbers: consecutive ones after the highest held; by room and seat that seat's
// number. Too few free seats is refused with the number missing. One transaction.
class LateSeating final
{
public:
    // The settings the last full arrangement kept; none when no arrangement kept any.
    [[nodiscard]] static Result<std::optional<ArrangementSettings>> lastSettings(Database &db);

    // Named examinees without a room, as the window asks before seating them.
    [[nodiscard]] static Result<int> lateExamineeCount(Database &db);

    // Seats the late examinees; `settings` (checked) replace the last run's when given.
    [[nodiscard]] static Result<SeatingOutcome>
    run(Database &db, const std::optional<ArrangementSettings> &settings = std::nullopt);

    // The list of new seats: 学校, 班级, 姓名, 考场, 座位号, 考号, 考场地点.
    static ReportDocument fillList(Grid &grid, const SeatingOutcome &outcome,
                                   const ReportFormat::Subtitle &subtitle);
    static QString listTitle() { return QStringLiteral("考场调整清单"); }
    static QStringList listHeaders();
    static QStringList listRow(const SeatChange &change);

    static QString noSettingsMessage();
    // Put in front of the reason a seating failed.
    static QString failedMessage();
};

} // namespace fenpai
