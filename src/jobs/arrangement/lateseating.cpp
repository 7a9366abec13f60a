#include "jobs/arrangement/lateseating.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/lastrunsettings.h"
#include "db/runlog.h"
#include "db/transaction.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementtables.h"
#include "jobs/arrangement/examineetable.h"
#include "jobs/arrangement/paperversions.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/documents/changelist.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <unordered_set>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

struct Room
{
    int number = 0; // ordinal
    DeskLayout layout;
    QString location;
    std::vector<int> classAt; // per seat - 1: the class group sitting there, -1 for nobody
    std::vector<char> usable; // per seat - 1: free, and its number (by room and seat) unheld
    int free = 0;
    std::map<int, int> groups; // class or school group → examinees seated here
    bool scored = false;       // some examinee here has a numeric score
    double low = 0;
    double high = 0;
};

// A whole number lo..hi the value holds; 0 for anything else.
int wholeIn(const CellValue &value, int lo, int hi)
{
    if (!value.isNumber())
        return 0;
    const double n = value.numberValue();
    return n >= lo && n <= hi && n == std::floor(n) ? static_cast<int>(n) : 0;
}

// 考场 empty or 0: the examinee has no room yet.
bool withoutRoom(const CellValue &room)
{
    return room.isNull() || room.isEmptyText() || (room.isNumber() && room.numberValue() == 0);
}

[[nodiscard]] Status failed(const Status &status)
{
    return status.isRefused() ? status : status.withContext(LateSeating::failedMessage());
}

class Seater final
{
public:
    Seater(ExamineeTable &table, const std::vector<SeatedRoom> &desks, const Settings &settings)
        : m_rows(table.rows())
        , m_settings(settings)
    {
        for (const SeatedRoom &desk : desks) {
            Room room;
            room.number = desk.room;
            room.layout = desk.layout;
            room.location = desk.location;
            room.classAt.assign(static_cast<size_t>(desk.layout.seats()), -1);
            m_rooms.push_back(std::move(room));
        }
        const int roomCount = static_cast<int>(m_rooms.size());
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const Examinee &e = m_rows[i];
            if (withoutRoom(e.room) && e.named && !e.blank) {
                m_late.push_back(i); // whatever number he has is given up
                continue;
            }
            if (e.number.isNumber() && e.number.numberValue() == std::floor(e.number.numberValue()))
                hold(e.number.integerValue());
            if (withoutRoom(e.room))
                continue;
            const int r = wholeIn(e.room, 1, roomCount);
            if (r == 0)
                continue;
            Room &room = m_rooms[static_cast<size_t>(r) - 1];
            const int seat = wholeIn(e.seat, 1, static_cast<int>(room.classAt.size()));
            if (seat > 0)
                take(room, seat, e);
        }
        for (Room &room : m_rooms) {
            room.usable.assign(room.classAt.size(), 0);
            for (size_t s = 0; s < room.classAt.size(); ++s) {
                room.usable[s] = room.classAt[s] < 0 && !numberHeld(room, static_cast<int>(s) + 1);
                room.free += room.usable[s];
            }
        }
    }

    const std::vector<size_t> &late() const { return m_late; }
    int seated() const { return m_seated; }
    int freeSeats() const
    {
        int free = 0;
        for (const Room &room : m_rooms)
            free += room.free;
        return free;
    }
    qint64 highestNumber() const { return m_highest; }
    bool anyNumberHeld() const { return !m_held.empty(); }
    // Examinees whose number is that of their seat under the prefix.
    int numbersOfTheirSeats() const { return m_matchingPrefix; }

    // Seats every late examinee; the caller has checked that the free seats suffice.
    std::vector<SeatChange> seatAll()
    {
        std::vector<SeatChange> changes;
        for (size_t i : m_late) {
            Examinee &e = m_rows[i];
            Room &room = m_rooms[static_cast<size_t>(chooseRoom(e))];
            const auto [seat, beside] = chooseSeat(room, e.classGroup);
            take(room, seat, e);
            room.usable[static_cast<size_t>(seat) - 1] = 0;
            --room.free;
            SeatChange change;
            change.rowid = e.rowid;
            change.room = room.number;
            change.location = room.location;
            change.seat = seat;
            change.besideClassmate = beside;
            changes.push_back(change);
        }
        std::sort(changes.begin(), changes.end(), [](const SeatChange &a, const SeatChange &b) {
            return std::tie(a.room, a.seat) < std::tie(b.room, b.seat);
        });
        return changes;
    }

private:
    void hold(qint64 number)
    {
        m_held.insert(number);
        m_highest = std::max(m_highest, number);
    }

    bool numberHeld(const Room &room, int seat) const
    {
        return m_settings.numbering == Settings::Numbering::RoomSeat &&
               m_held.count(Arrangement::roomSeatNumber(m_settings.prefix, room.number, seat)) > 0;
    }

    int groupOf(const Examinee &e) const
    {
        return m_settings.groupKind == Settings::GroupKind::School ? e.schoolGroup : e.classGroup;
    }

    void take(Room &room, int seat, const Examinee &e)
    {
        room.classAt[static_cast<size_t>(seat) - 1] = e.classGroup;
        ++room.groups[groupOf(e)];
        if (e.score.isNumber()) {
            const double s = e.score.numberValue();
            room.low = room.scored ? std::min(room.low, s) : s;
            room.high = room.scored ? std::max(room.high, s) : s;
            room.scored = true;
            m_lowest = std::min(m_lowest, s);
        }
        ++m_seated;
        if (m_settings.numbering == Settings::Numbering::RoomSeat && e.number.isNumber() &&
            e.number.integerValue() ==
                Arrangement::roomSeatNumber(m_settings.prefix, room.number, seat))
            ++m_matchingPrefix;
    }

    // Mode 1: the room holding most of the examinee's class (or school); modes 2 and 3: the room
    // whose scores lie nearest his. Else, and for ties, the first room in order.
    int chooseRoom(const Examinee &e) const
    {
        int best = -1;
        double bestCost = 0;
        for (size_t r = 0; r < m_rooms.size(); ++r) {
            const Room &room = m_rooms[r];
            if (room.free == 0)
                continue;
            double cost = 0;
            if (m_settings.mode == Settings::Mode::GroupMix) {
                const auto it = room.groups.find(groupOf(e));
                cost = it == room.groups.end() ? 0 : -it->second;
            } else if (!room.scored) {
                cost = std::numeric_limits<double>::infinity();
            } else {
                // Without a score an examinee counts as below everyone, as the ranking puts him.
                const double s = e.score.isNumber() ? e.score.numberValue() : m_lowest - 1;
                cost = s < room.low ? room.low - s : s > room.high ? s - room.high : 0;
            }
            if (best < 0 || cost < bestCost) {
                best = static_cast<int>(r);
                bestCost = cost;
            }
        }
        return best;
    }

    // The usable seat with fewest classmates beside it, the lowest of equals; and whether any is.
    std::pair<int, bool> chooseSeat(const Room &room, int classGroup) const
    {
        int best = 0;
        int bestCount = 0;
        for (size_t s = 0; s < room.usable.size(); ++s) {
            if (!room.usable[s])
                continue;
            const int seat = static_cast<int>(s) + 1;
            const DeskPosition p = room.layout.position(seat);
            int count = 0;
            for (const int other :
                 {room.layout.seatAt(p.row - 1, p.col), room.layout.seatAt(p.row + 1, p.col),
                  room.layout.seatAt(p.row, p.col - 1), room.layout.seatAt(p.row, p.col + 1)}) {
                if (other >= 1 && other <= static_cast<int>(room.classAt.size()) &&
                    room.classAt[static_cast<size_t>(other) - 1] == classGroup)
                    ++count;
            }
            if (best == 0 || count < bestCount) {
                best = seat;
                bestCount = count;
            }
        }
        return {best, bestCount > 0};
    }

    std::vector<Examinee> &m_rows;
    const Settings &m_settings;
    std::vector<Room> m_rooms;
    std::vector<size_t> m_late;
    std::unordered_set<qint64> m_held;
    qint64 m_highest = 0;
    double m_lowest = std::numeric_limits<double>::infinity();
    int m_seated = 0;
    int m_matchingPrefix = 0;
};

// The school, class and name of the rows given their seats, for the list.
[[nodiscard]] Status nameRows(Database &db, std::vector<SeatChange> &changes)
{
    Result<Statement> st =
        db.prepareNative(QStringLiteral("SELECT 学校, 班级, 姓名 FROM 考生表 WHERE rowid = ?1"));
    if (!st)
        return st.status();
    for (SeatChange &change : changes) {
        st->bind(1, change.rowid);
        if (st->step() == Statement::Step::Row) {
            change.school = NumberText::display(st->value(0));
            change.className = NumberText::display(st->value(1));
            change.name = NumberText::display(st->value(2));
        }
        if (!st->status().isOk())
            return st->status();
        st->reset();
    }
    return Status::ok();
}

// Exam numbers for the new seats: consecutive after the highest held (and not below the start
// number), or each seat's own.
[[nodiscard]] Status number(Database &db, const Settings &settings, const Seater &seater, int rooms,
                            int largestRoom, std::vector<SeatChange> &changes)
{
    Settings numbering = settings;
    if (settings.numbering == Settings::Numbering::Consecutive && seater.anyNumberHeld())
        numbering.startNumber = std::max(settings.startNumber,
                                         seater.highestNumber() < std::numeric_limits<qint64>::max()
                                             ? seater.highestNumber() + 1
                                             : seater.highestNumber());
    if (Status s = Arrangement::checkNumbering(numbering, static_cast<qint64>(changes.size()),
                                               rooms, largestRoom);
        !s.isOk())
        return s;
    std::vector<qint64> numbers;
    qint64 next = numbering.startNumber;
    for (SeatChange &change : changes) {
        change.number =
            settings.numbering == Settings::Numbering::Consecutive
                ? next++
                : Arrangement::roomSeatNumber(settings.prefix, change.room, change.seat);
        numbers.push_back(change.number);
    }
    return Arrangement::checkNumbers(db, numbers);
}

// Ok, or why the late examinees cannot be seated: nobody to continue from, numbers that do not
// follow the scheme, too few free seats (naming how many are missing).
[[nodiscard]] Status canSeat(const Seater &seater, const Settings &settings)
{
    const int late = static_cast<int>(seater.late().size());
    if (seater.seated() == 0)
        return Status::refused(
            QStringLiteral("%1中还没有编排好的考生，请先编排。").arg(TableNames::examinees));
    if (settings.numbering == Settings::Numbering::RoomSeat && seater.numbersOfTheirSeats() == 0)
        return Status::refused(QStringLiteral("已编排考生的考号都不是“%1+考场号+座位号”，"
                                              "与上次编排的考号生成方式不符，无法接着编号。")
                                   .arg(settings.prefix));
    if (late > seater.freeSeats())
        return Status::refused(QStringLiteral("考场空座位不够：新增考生%1人，空座位只有%2个，"
                                              "还缺%3个座位。%4未改动。")
                                   .arg(late)
                                   .arg(seater.freeSeats())
                                   .arg(late - seater.freeSeats())
                                   .arg(TableNames::examinees));
    return Status::ok();
}

// Where the last run laid paper versions, each new seat's: the one its neighbours leave free.
void layLateVersions(ExamineeTable &table, const std::vector<SeatedRoom> &desks,
                     const Settings &settings, const std::vector<SeatChange> &changes)
{
    if (settings.versions == Settings::Versions::None || changes.empty())
        return;
    const int count = static_cast<int>(settings.versions);
    std::vector<std::vector<int>> versions;
    for (const SeatedRoom &room : desks)
        versions.emplace_back(static_cast<size_t>(room.layout.seats()), -1);
    std::map<qint64, Examinee *> late;
    for (const SeatChange &change : changes)
        late[change.rowid] = nullptr;
    for (Examinee &e : table.rows()) {
        if (late.count(e.rowid)) {
            late[e.rowid] = &e;
            continue;
        }
        const int r = wholeIn(e.room, 1, static_cast<int>(desks.size()));
        const int seat = r > 0 ? wholeIn(e.seat, 1, static_cast<int>(versions[r - 1].size())) : 0;
        if (seat > 0)
            versions[static_cast<size_t>(r) - 1][static_cast<size_t>(seat) - 1] =
                PaperVersions::fromLetter(e.version.toVariant().toString());
    }
    for (const SeatChange &change : changes) {
        std::vector<int> &room = versions[static_cast<size_t>(change.room) - 1];
        const int v = PaperVersions::forFreeDesk(desks[static_cast<size_t>(change.room) - 1].layout,
                                                 room, change.seat, count);
        room[static_cast<size_t>(change.seat) - 1] = v;
        if (Examinee *e = late[change.rowid])
            e->version = CellValue::text(PaperVersions::letter(v).toUtf8());
    }
}

// Numbers the new seats and writes them (only those rows change), with the names for the list.
[[nodiscard]] Status write(Database &db, ExamineeTable &table, const std::vector<SeatedRoom> &desks,
                           const Seater &seater, const Settings &settings,
                           std::vector<SeatChange> &changes)
{
    int largestRoom = 0;
    for (const SeatedRoom &room : desks)
        largestRoom = std::max(largestRoom, room.layout.seats());
    if (Status s =
            number(db, settings, seater, static_cast<int>(desks.size()), largestRoom, changes);
        !s.isOk())
        return s;
    std::map<qint64, const SeatChange *> byRow;
    for (const SeatChange &change : changes)
        byRow[change.rowid] = &change;
    for (Examinee &e : table.rows()) {
        const auto it = byRow.find(e.rowid);
        if (it == byRow.end())
            continue;
        e.room = CellValue::number(it->second->room);
        e.seat = CellValue::number(it->second->seat);
        e.number = CellValue::integer(it->second->number);
    }
    layLateVersions(table, desks, settings, changes);
    if (Status s = table.write(db, {}); !s.isOk())
        return s;
    return nameRows(db, changes);
}

} // namespace

QString SeatingOutcome::text() const
{
    return QStringLiteral("安置新增考生%1人，考场还剩空座位%2个")
        .arg(seated.size())
        .arg(freeSeatsLeft);
}

QString LateSeating::noSettingsMessage()
{
    return QStringLiteral("没有找到上次编排的设置，无法接着安置新增考生。请先编排一次"
                          "（命令行可用 --mode 及 --start-number 或 --prefix 说明上次的编排）。");
}

QString LateSeating::failedMessage()
{
    return QStringLiteral("安置新增考生失败，%1未改动：").arg(TableNames::examinees);
}

Result<std::optional<ArrangementSettings>> LateSeating::lastSettings(Database &db)
{
    Result<LastRunSettings::Values> values =
        LastRunSettings::read(db, LastRunSettings::arrangementJob());
    if (!values)
        return values.status();
    if (values->isEmpty())
        return std::optional<ArrangementSettings>();
    Result<ArrangementSettings> settings = ArrangementSettings::fromStored(*values);
    if (!settings)
        return Status::refused(settings.status().message() + QStringLiteral("请重新编排。"));
    return std::optional<ArrangementSettings>(*settings);
}

Result<int> LateSeating::lateExamineeCount(Database &db)
{
    if (Status s = ArrangementTables::check(db); !s.isOk())
        return s;
    Result<ExamineeTable> table = ExamineeTable::load(db);
    if (!table)
        return table.status();
    return static_cast<int>(
        std::count_if(table->rows().begin(), table->rows().end(), [](const Examinee &e) {
            return e.named && !e.blank && withoutRoom(e.room);
        }));
}

Result<SeatingOutcome> LateSeating::run(Database &db,
                                        const std::optional<ArrangementSettings> &given)
{
    Q_ASSERT(!given || given->check().isOk());
    if (Status s = ArrangementTables::check(db); !s.isOk())
        return s;
    // What is read is what is written over: one transaction.
    Transaction tx(db);
    if (!tx.status().isOk())
        return failed(tx.status());
    SeatingOutcome outcome;
    if (given) {
        outcome.settings = *given;
    } else {
        Result<std::optional<ArrangementSettings>> last = lastSettings(db);
        if (!last)
            return failed(last.status());
        if (!*last)
            return Status::refused(noSettingsMessage());
        outcome.settings = **last;
    }
    const Settings &settings = outcome.settings;
    Result<std::vector<SeatedRoom>> desks = RoomSeating::readRooms(db, settings.seatOrder);
    if (!desks)
        return failed(desks.status());
    Result<ExamineeTable> table = ExamineeTable::load(db);
    if (!table)
        return failed(table.status());

    Seater seater(*table, *desks, settings);
    if (!seater.late().empty()) {
        if (Status s = canSeat(seater, settings); !s.isOk())
            return s;
        outcome.seated = seater.seatAll();
        if (Status s = write(db, *table, *desks, seater, settings, outcome.seated); !s.isOk())
            return failed(s);
        const QString count = QStringLiteral("%1 名考生").arg(outcome.seated.size());
        if (Status s = RunLog::record(db, RunLog::examineePlacement(), QString(), count); !s.isOk())
            return failed(s);
        if (Status s = tx.commit(); !s.isOk())
            return failed(s);
    }
    outcome.freeSeatsLeft = seater.freeSeats();
    return outcome;
}

QStringList LateSeating::listHeaders()
{
    return {ColumnNames::school, ColumnNames::className,  ColumnNames::name,     ColumnNames::room,
            ColumnNames::seat,   ColumnNames::examNumber, ColumnNames::roomPlace};
}

QStringList LateSeating::listRow(const SeatChange &change)
{
    return {change.school,
            change.className,
            change.name,
            QString::number(change.room),
            QString::number(change.seat),
            QString::number(change.number),
            change.location};
}

ReportDocument LateSeating::fillList(Grid &grid, const SeatingOutcome &outcome,
                                     const ReportFormat::Subtitle &subtitle)
{
    std::vector<QStringList> rows;
    for (const SeatChange &change : outcome.seated)
        rows.push_back(listRow(change));
    return ChangeList::fill(grid, listTitle(), listHeaders(), rows, subtitle);
}

} // namespace fenpai
