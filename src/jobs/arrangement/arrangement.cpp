#include "jobs/arrangement/arrangement.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/largepagecache.h"
#include "db/lastrunsettings.h"
#include "db/runlog.h"
#include "db/transaction.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/arrangement/arrangementtables.h"
#include "jobs/arrangement/examineetable.h"
#include "jobs/arrangement/paperversions.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/arrangement/seatseparation.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <tuple>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

// Walks the seats room by room in the room table's order. A room without seats receives
// nobody; past the last room there are no more seats.
class RoomCursor final
{
public:
    explicit RoomCursor(const std::vector<int> &capacities)
        : m_capacities(capacities)
    {
        skipEmptyRooms();
    }

    bool atEnd() const { return m_room >= m_capacities.size(); }
    int room() const { return static_cast<int>(m_room) + 1; }
    int seat() const { return m_seat; }

    void advance()
    {
        if (++m_seat > m_capacities[m_room]) {
            m_seat = 1;
            ++m_room;
            skipEmptyRooms();
        }
    }

private:
    void skipEmptyRooms()
    {
        while (m_room < m_capacities.size() && m_capacities[m_room] <= 0)
            ++m_room;
    }

    const std::vector<int> &m_capacities;
    size_t m_room = 0;
    int m_seat = 1;
};

// Sorting indexes by values held in the large row structs would chase pointers all over memory;
// the keys are copied next to the indexes first. Equal keys keep import order (the index).
std::vector<int> sortedBy(const std::vector<Examinee> &rows, const std::vector<int> &indexes,
                          CellValue Examinee::*first, CellValue Examinee::*second, bool descending)
{
    struct Key
    {
        double number;
        int kind;
        int index;
        const CellValue *value;
        double secondNumber;
        int secondKind;
        const CellValue *secondValue;
    };
    std::vector<Key> keys;
    keys.reserve(indexes.size());
    for (int i : indexes) {
        const CellValue &a = rows[i].*first;
        const CellValue &b = second ? rows[i].*second : a;
        keys.push_back({a.numberValue(), static_cast<int>(a.kind()), i, &a, b.numberValue(),
                        static_cast<int>(b.kind()), &b});
    }
    const auto compareFirst = [](const Key &x, const Key &y) {
        if (x.kind == y.kind && x.kind == static_cast<int>(CellValue::Kind::Number))
            return (x.number > y.number) - (x.number < y.number);
        return x.value->compare(*y.value);
    };
    const auto compareSecond = [](const Key &x, const Key &y) {
        if (x.secondKind == y.secondKind &&
            x.secondKind == static_cast<int>(CellValue::Kind::Number))
            return (x.secondNumber > y.secondNumber) - (x.secondNumber < y.secondNumber);
        return x.secondValue->compare(*y.secondValue);
    };
    const bool twoKeys = second != nullptr;
    std::sort(keys.begin(), keys.end(), [&](const Key &x, const Key &y) {
        if (const int c = compareFirst(x, y))
            return descending ? c > 0 : c < 0;
        if (twoKeys) {
            if (const int c = compareSecond(x, y))
                return c < 0;
        }
        return x.index < y.index;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key &k : keys)
        order.push_back(k.index);
    return order;
}

// One run over the table in memory. Each step mirrors a walk over 考生表 in the order of its
// statement; rows with equal sort values keep import order (their index in the table).
class Run final
{
public:
    Run(ExamineeTable &table, const std::vector<int> &capacities, const Settings &settings)
        : m_table(table)
        , m_rows(table.rows())
        , m_capacities(capacities)
        , m_settings(settings)
        , m_start(settings.startNumber)
        , m_placed(table.rows().size(), 0)
    {}

    ArrangementOutcome outcome() const { return m_outcome; }
    // The exam numbers this run gave to examinees it seated.
    const std::vector<qint64> &numbers() const { return m_numbers; }

    // Every row up to the first blank row starts from room, number and seat 0.
    void clear()
    {
        for (Examinee &e : m_rows) {
            if (e.blank)
                break;
            e.room = e.number = e.seat = CellValue::number(0);
            e.version = CellValue(); // a seat's version comes with the seat, if at all
        }
    }

    void scoreOnly()
    {
        clear();
        seatInOrder(byScore(allRows(), true));
    }

    void scoreMix()
    {
        clear();
        // Fill the rooms in score order; seats and numbers come per room below.
        RoomCursor cursor(m_capacities);
        int lastRoom = 0;
        for (int index : byScore(allRows(), true)) {
            Examinee &e = m_rows[index];
            if (e.blank)
                break;
            if (cursor.atEnd()) {
                ++m_outcome.unseated;
                continue;
            }
            e.room = CellValue::number(cursor.room());
            m_placed[static_cast<size_t>(index)] = 1;
            lastRoom = cursor.room();
            cursor.advance();
        }

        // A room is every row whose 考场 holds its ordinal, in import order.
        std::vector<std::vector<int>> rooms(static_cast<size_t>(lastRoom) + 1);
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            const CellValue &room = m_rows[i].room;
            if (!room.isNumber())
                continue;
            const double q = room.numberValue();
            if (q >= 1 && q <= lastRoom && q == std::floor(q))
                rooms[static_cast<size_t>(q)].push_back(i);
        }
        for (std::vector<int> &members : rooms) {
            if (!members.empty())
                mixRoom(members);
        }

        // Exam numbers over the whole table in room, then seat order.
        const std::vector<int> order =
            sortedBy(m_rows, allRows(), &Examinee::room, &Examinee::number, false);
        qint64 k = 0;
        for (int index : order) {
            Examinee &e = m_rows[index];
            e.number = CellValue::integer(examNumber(static_cast<int>(e.room.toNumber()),
                                                     static_cast<int>(e.seat.toNumber()), ++k));
            if (e.room.toNumber() >= 1)
                m_numbers.push_back(e.number.integerValue());
        }
    }

    void groupMix(int perRoom)
    {
        const bool bySchool = m_settings.groupKind == Settings::GroupKind::School;
        const std::vector<ExamineeGroup> &groups =
            bySchool ? m_table.schoolGroups() : m_table.classGroups();
        const auto blocks = Arrangement::groupBlocks(static_cast<int>(groups.size()), perRoom,
                                                     m_settings.adjacentGroups);
        clear();
        int firstBlank = 0;
        while (firstBlank < static_cast<int>(m_rows.size()) && !m_rows[firstBlank].blank)
            ++firstBlank;

        // The rows of each group, in import order. A group with a null part matches no row.
        std::vector<std::vector<int>> members(groups.size());
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            const int g = bySchool ? m_rows[i].schoolGroup : m_rows[i].classGroup;
            if (!groups[g].hasNull)
                members[g].push_back(i);
        }

        // Ordering keys: column i of every block takes i, i + N, i + 2N, ...
        std::vector<CellValue> before(m_rows.size());
        std::vector<char> keyed(m_rows.size(), 0);
        std::vector<double> next(static_cast<size_t>(perRoom));
        std::iota(next.begin(), next.end(), 1.0);
        for (size_t j = 0; j < blocks.size(); ++j) {
            for (size_t i = 0; i < blocks[j].size(); ++i) {
                for (int index : inScoreOrder(members[blocks[j][i]], i + 1, j + 1)) {
                    before[index] = m_rows[index].number;
                    keyed[index] = 1;
                    m_rows[index].number = CellValue::number(next[i]);
                    next[i] += perRoom;
                }
            }
        }

        // The seating walks the cleared rows and the rows that received a key. A row below the
        // first blank row that received none keeps whatever number it was imported with, which
        // says nothing about where it belongs: were it walked, an unkeyed blank row imported
        // with an empty number would sort first and end the seating before anybody sat down.
        std::vector<int> walked;
        for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
            if (i < firstBlank || keyed[i])
                walked.push_back(i);
        }
        const std::vector<int> order = sortedBy(m_rows, walked, &Examinee::number, nullptr, false);
        std::vector<char> seated(m_rows.size(), 0);
        seatInOrder(order, &seated);
        // Keys are only a means of ordering: a row the seating did not reach keeps its number.
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (keyed[i] && !seated[i])
                m_rows[i].number = before[i];
        }
    }

    // Neighbouring desks whose examinees share a class, over every room.
    int classmatePairs(const std::vector<DeskLayout> &layouts) const
    {
        const std::vector<std::vector<int>> rooms = placedByRoom(layouts.size());
        int pairs = 0;
        for (size_t r = 0; r < rooms.size(); ++r)
            pairs += layouts[r].classmatePairCount(classOfSeat(layouts[r], rooms[r], nullptr));
        return pairs;
    }

    // "同班考生不相邻": examinees change seats inside their room; each seat keeps its seat number
    // and its exam number, which every numbering scheme forms from the seat.
    void separate(const std::vector<DeskLayout> &layouts)
    {
        const std::vector<std::vector<int>> rooms = placedByRoom(layouts.size());
        for (size_t r = 0; r < rooms.size(); ++r) {
            std::vector<int> rowAt;
            const std::vector<int> classes = classOfSeat(layouts[r], rooms[r], &rowAt);
            const std::vector<int> from = SeatSeparation::separate(layouts[r], classes);
            std::vector<std::pair<CellValue, CellValue>> seatValues(rowAt.size());
            for (size_t s = 0; s < rowAt.size(); ++s) {
                if (rowAt[s] >= 0)
                    seatValues[s] = {m_rows[static_cast<size_t>(rowAt[s])].seat,
                                     m_rows[static_cast<size_t>(rowAt[s])].number};
            }
            for (size_t s = 0; s < from.size(); ++s) {
                if (from[s] == static_cast<int>(s) || rowAt[s] < 0)
                    continue;
                Examinee &e = m_rows[static_cast<size_t>(rowAt[static_cast<size_t>(from[s])])];
                std::tie(e.seat, e.number) = seatValues[s];
            }
        }
    }

    // "试卷版本": the versions laid over the final seats of every room, counted in the outcome
    // with the neighbouring desks that share one.
    void layVersions(const std::vector<DeskLayout> &layouts, int count)
    {
        const std::vector<std::vector<int>> rooms = placedByRoom(layouts.size());
        // One value per version, shared by every row that holds it.
        std::vector<CellValue> letters;
        for (int v = 0; v < count; ++v)
            letters.push_back(CellValue::text(PaperVersions::letter(v).toUtf8()));
        m_outcome.versionCounts.assign(static_cast<size_t>(count), 0);
        m_outcome.versionPairs = 0;
        for (size_t r = 0; r < rooms.size(); ++r) {
            std::vector<int> rowAt;
            (void)classOfSeat(layouts[r], rooms[r], &rowAt); // only the rows on the desks
            std::vector<bool> occupied(rowAt.size());
            for (size_t s = 0; s < rowAt.size(); ++s)
                occupied[s] = rowAt[s] >= 0;
            const std::vector<int> versions = PaperVersions::assign(layouts[r], occupied, count);
            for (size_t s = 0; s < rowAt.size(); ++s) {
                if (rowAt[s] < 0)
                    continue;
                m_rows[static_cast<size_t>(rowAt[s])].version =
                    letters[static_cast<size_t>(versions[s])];
                ++m_outcome.versionCounts[static_cast<size_t>(versions[s])];
            }
            m_outcome.versionPairs +=
                static_cast<int>(layouts[r].equalPairs(versions, count == 4).size());
        }
    }

private:
    // The rows this run seated, by room ordinal (index 0 for room 1). Rows below a blank row
    // may still hold the seats of an earlier run; they are nobody's neighbours now.
    std::vector<std::vector<int>> placedByRoom(size_t roomCount) const
    {
        std::vector<std::vector<int>> rooms(roomCount);
        for (size_t i = 0; i < m_rows.size(); ++i) {
            const CellValue &room = m_rows[i].room;
            if (!m_placed[i] || !room.isNumber())
                continue;
            const double q = room.numberValue();
            if (q >= 1 && q <= static_cast<double>(roomCount) && q == std::floor(q))
                rooms[static_cast<size_t>(q) - 1].push_back(static_cast<int>(i));
        }
        return rooms;
    }

    // The class of each desk's examinee (-1 for nobody), and optionally the row on each desk.
    std::vector<int> classOfSeat(const DeskLayout &layout, const std::vector<int> &members,
                                 std::vector<int> *rowAt) const
    {
        std::vector<int> classes(static_cast<size_t>(layout.seats()), -1);
        if (rowAt)
            rowAt->assign(classes.size(), -1);
        for (int index : members) {
            const Examinee &e = m_rows[static_cast<size_t>(index)];
            const double seat = e.seat.isNumber() ? e.seat.numberValue() : 0;
            if (seat < 1 || seat > static_cast<double>(classes.size()) || seat != std::floor(seat))
                continue;
            classes[static_cast<size_t>(seat) - 1] = e.classGroup;
            if (rowAt)
                (*rowAt)[static_cast<size_t>(seat) - 1] = index;
        }
        return classes;
    }

    qint64 examNumber(int room, int seat, qint64 k) const
    {
        if (m_settings.numbering == Settings::Numbering::Consecutive)
            return m_start + k - 1;
        return Arrangement::roomSeatNumber(m_settings.prefix, room, seat);
    }

    std::vector<int> allRows() const
    {
        std::vector<int> order(m_rows.size());
        std::iota(order.begin(), order.end(), 0);
        return order;
    }

    std::vector<int> byScore(const std::vector<int> &order, bool descending) const
    {
        return sortedBy(m_rows, order, &Examinee::score, nullptr, descending);
    }

    // The order of one group's rows in column i (1-based) of block j (1-based).
    std::vector<int> inScoreOrder(const std::vector<int> &rows, size_t i, size_t j) const
    {
        switch (m_settings.scoreOrder) {
        case Settings::ScoreOrder::Similar:
            return byScore(rows, true);
        case Settings::ScoreOrder::Random:
            return rows;
        case Settings::ScoreOrder::Spread:
            return byScore(rows, (i + j) % 2 == 0);
        }
        return rows;
    }

    // Sequential seating: room by room, seat by seat, numbering as it goes; stops at the first
    // blank row and leaves the rows the rooms cannot hold without a seat.
    void seatInOrder(const std::vector<int> &order, std::vector<char> *seated = nullptr)
    {
        RoomCursor cursor(m_capacities);
        qint64 k = 0;
        for (int index : order) {
            Examinee &e = m_rows[index];
            if (e.blank)
                break;
            if (cursor.atEnd()) {
                ++m_outcome.unseated;
                continue;
            }
            e.room = CellValue::number(cursor.room());
            e.seat = CellValue::number(cursor.seat());
            e.number = CellValue::integer(examNumber(cursor.room(), cursor.seat(), ++k));
            m_numbers.push_back(e.number.integerValue());
            ++m_outcome.seated;
            m_placed[static_cast<size_t>(index)] = 1;
            if (seated)
                (*seated)[index] = 1;
            cursor.advance();
        }
    }

    // Mode 2 inside one room: classes ranked by size, the room cut in class-rank order into
    // chunks of the largest class's size, and the chunks interleaved seat by seat.
    void mixRoom(std::vector<int> &members)
    {
        const std::vector<ExamineeGroup> &groups = m_table.classGroups();
        struct Rank
        {
            int group;
            int count;
            int first;
        };
        std::vector<Rank> ranks;
        std::vector<int> rankOf(groups.size(), -1);
        for (int position = 0; position < static_cast<int>(members.size()); ++position) {
            const int g = m_rows[members[position]].classGroup;
            if (rankOf[g] < 0) {
                rankOf[g] = static_cast<int>(ranks.size());
                ranks.push_back({g, 0, position});
            }
            if (!groups[g].nullClass) // count(班级) leaves out a null class
                ++ranks[rankOf[g]].count;
        }
        std::sort(ranks.begin(), ranks.end(), [](const Rank &a, const Rank &b) {
            return a.count != b.count ? a.count > b.count : a.first < b.first;
        });
        // The list ends at a class whose school and class join to the empty string.
        std::fill(rankOf.begin(), rankOf.end(), -1);
        int n = 0;
        for (const Rank &r : ranks) {
            if (groups[r.group].emptyKey)
                break;
            rankOf[r.group] = ++n;
        }
        const int m = n > 0 ? ranks.front().count : 0;

        for (int index : members) {
            const int t = rankOf[m_rows[index].classGroup];
            if (t > 0)
                m_rows[index].number = CellValue::number(t);
        }
        sortByNumber(members);
        int a = 1;
        double b = 1;
        int w = 1;
        for (int index : members) {
            if (w > m) {
                ++a;
                b = a;
                w = 1;
            }
            m_rows[index].number = CellValue::number(b);
            b += n;
            ++w;
        }
        sortByNumber(members);
        int seat = 0;
        for (int index : members) {
            ++seat;
            m_rows[index].number = m_rows[index].seat = CellValue::number(seat);
            m_placed[static_cast<size_t>(index)] = 1;
        }
        m_outcome.seated += static_cast<int>(members.size());
    }

    void sortByNumber(std::vector<int> &indexes) const
    {
        indexes = sortedBy(m_rows, indexes, &Examinee::number, nullptr, false);
    }

    ExamineeTable &m_table;
    std::vector<Examinee> &m_rows;
    const std::vector<int> &m_capacities;
    const Settings &m_settings;
    const qint64 m_start; // the start number as typed, checked and read once
    ArrangementOutcome m_outcome;
    std::vector<qint64> m_numbers;
    std::vector<char> m_placed; // rows this run gave a room
};

// The chosen mode on the rows in memory; mode 1 refuses a group count out of range.
[[nodiscard]] Status runMode(Run &run, const ExamineeTable &table, const Settings &settings)
{
    switch (settings.mode) {
    case Settings::Mode::GroupMix: {
        const bool bySchool = settings.groupKind == Settings::GroupKind::School;
        const int groups =
            static_cast<int>(bySchool ? table.schoolGroups().size() : table.classGroups().size());
        const int n = settings.groupsPerRoom;
        if (n < 1 || n > groups)
            return Status::refused(Arrangement::groupCountMessage(settings.groupKind, groups));
        run.groupMix(n);
        break;
    }
    case Settings::Mode::ScoreMix:
        run.scoreMix();
        break;
    case Settings::Mode::ScoreOnly:
        run.scoreOnly();
        break;
    }
    return Status::ok();
}

// The summary of the written table from the rows in memory; read back from the table, inside
// the run's transaction, where a result column turns the numbers written into texts.
[[nodiscard]] Status summarize(Database &db, const ExamineeTable &table,
                               const std::vector<DeskLayout> &layouts, SeatOrder order,
                               ArrangementSummary &summary)
{
    if (table.resultsKeepNumbers()) {
        summary = ArrangementSummary::ofRun(table, layouts);
        return Status::ok();
    }
    Result<ArrangementSummary> read = ArrangementSummary::read(db, order);
    if (!read)
        return read.status();
    summary = std::move(*read);
    return Status::ok();
}

// Refuses a table the rooms cannot seat or number: no examinees, more examinees than seats,
// numbers longer than a 考号 can hold.
[[nodiscard]] Status checkFits(const ExamineeTable &table, const ArrangementCounts &rooms,
                               const Settings &settings)
{
    if (table.examineeCount() == 0)
        return Status::refused(Arrangement::noExamineesMessage());
    if (table.examineeCount() > rooms.totalCapacity())
        return Status::refused(Arrangement::capacityMessage(rooms.roomCount()));
    const int largestRoom = rooms.capacities.empty() ? 0
                                                     : *std::max_element(rooms.capacities.begin(),
                                                                         rooms.capacities.end());
    return Arrangement::checkNumbering(settings, static_cast<qint64>(table.rows().size()),
                                       rooms.roomCount(), largestRoom);
}

// The rooms' desks; a room whose capacity exceeds its rows × columns could not be charted.
Result<std::vector<DeskLayout>> readLayouts(Database &db, SeatOrder order)
{
    const Result<std::vector<SeatedRoom>> desks = RoomSeating::readRooms(db, order);
    if (!desks)
        return desks.status();
    if (const Status s = RoomSeating::checkDesks(*desks); !s.isOk())
        return s;
    std::vector<DeskLayout> layouts;
    for (const SeatedRoom &room : *desks)
        layouts.push_back(room.layout);
    return layouts;
}

// The steps after the mode has seated everyone: classmates apart, then the paper versions.
ArrangementOutcome finishSeats(Run &run, const std::vector<DeskLayout> &layouts,
                               const Settings &settings)
{
    ArrangementOutcome outcome = run.outcome();
    outcome.classmatePairsBefore = outcome.classmatePairs = run.classmatePairs(layouts);
    if (settings.separateClassmates && outcome.classmatePairs > 0) {
        run.separate(layouts);
        outcome.classmatePairs = run.classmatePairs(layouts);
    }
    // The versions go with the seats, so they come once the seats are final.
    if (settings.versions != ArrangementSettings::Versions::None) {
        run.layVersions(layouts, static_cast<int>(settings.versions));
        outcome.versionCounts = run.outcome().versionCounts;
        outcome.versionPairs = run.outcome().versionPairs;
    }
    return outcome;
}

// Writes the rows and records the run, inside the caller's transaction.
[[nodiscard]] Status writeResults(Database &db, const ExamineeTable &table,
                                  const std::vector<DeskLayout> &layouts, const Settings &settings,
                                  const ArrangementProgress &progress, ArrangementSummary &summary)
{
    Status s = table.write(db, progress);
    if (s.isOk())
        s = summarize(db, table, layouts, settings.seatOrder, summary);
    // Late examinees are later seated and numbered the way this run did it.
    if (s.isOk())
        s = LastRunSettings::write(db, LastRunSettings::arrangementJob(), settings.stored());
    if (s.isOk())
        s = RunLog::record(db, RunLog::arrangement(), QString(), settings.describe());
    return s;
}

// Room numbers take at least three digits, seats at least two.
QString roomText(int room)
{
    return QString::number(room).rightJustified(3, u'0');
}

QString seatText(int seat)
{
    return QString::number(seat).rightJustified(2, u'0');
}

// SQLite stores a number in a REAL column as a double: whole numbers past 2^53 lose digits.
constexpr qint64 exactInReal = qint64(1) << 53;

} // namespace

qint64 Arrangement::roomSeatNumber(const QString &prefix, int room, int seat)
{
    return (prefix + roomText(room) + seatText(seat)).toLongLong();
}

Status Arrangement::checkNumbers(Database &db, std::vector<qint64> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    const qint64 largest = numbers.empty() ? 0 : numbers.back();
    const auto twin = std::adjacent_find(numbers.begin(), numbers.end());
    if (twin != numbers.end())
        return Status::refused(QStringLiteral("有两名考生的考号都是%1，%2未改动。")
                                   .arg(*twin)
                                   .arg(TableNames::examinees));
    if (largest > exactInReal) {
        Result<Statement> type = db.prepareNative(
            QStringLiteral("SELECT type FROM pragma_table_info(?1) WHERE name = ?2"));
        if (!type)
            return type.status();
        type->bindAll({TableNames::examinees, ColumnNames::examNumber});
        const QString declared =
            type->step() == Statement::Step::Row ? type->value(0).toString().toUpper() : QString();
        if (declared.contains(QLatin1String("REAL")) || declared.contains(QLatin1String("FLOA")) ||
            declared.contains(QLatin1String("DOUB")))
            return Status::refused(
                QStringLiteral("考号%1超过15位，%2的“%3”列是小数列，存不下这么长的整数，"
                               "请重新导入%2后再编排。")
                    .arg(largest)
                    .arg(TableNames::examinees, ColumnNames::examNumber));
    }
    return Status::ok();
}

Status Arrangement::checkNumbering(const ArrangementSettings &settings, qint64 examinees, int rooms,
                                   int largestRoom)
{
    // The largest number of maxNumberDigits digits.
    constexpr qint64 limit = 999'999'999'999'999'999;
    static_assert(maxNumberDigits == 18);
    if (settings.numbering == Settings::Numbering::Consecutive) {
        if (examinees > 0 && settings.startNumber > limit - (examinees - 1))
            return Status::refused(QStringLiteral("“起始考号”太大：%1名考生的考号都不能超过%2位。")
                                       .arg(examinees)
                                       .arg(maxNumberDigits));
        return Status::ok();
    }
    const qsizetype digits =
        settings.prefix.size() + roomText(rooms).size() + seatText(largestRoom).size();
    if (digits > maxNumberDigits)
        return Status::refused(
            QStringLiteral("“前缀固定号”太长：前缀、考场号和座位号合起来不能超过%1位。")
                .arg(maxNumberDigits));
    return Status::ok();
}

std::vector<std::vector<int>> Arrangement::groupBlocks(int groups, int groupsPerRoom, bool adjacent)
{
    std::vector<std::vector<int>> blocks;
    if (groups < 1 || groupsPerRoom < 1 || groupsPerRoom > groups)
        return blocks;
    const int n = groupsPerRoom;
    const int blockCount = (groups + n - 1) / n;
    const int stride = groups / n;
    blocks.resize(static_cast<size_t>(blockCount));
    if (adjacent) {
        for (int k = 0; k < groups; ++k)
            blocks[static_cast<size_t>(k / n)].push_back(k);
        return blocks;
    }
    // Spread the groups: block j takes j, j + D, j + 2D, ...; once fewer than N groups are
    // left, the last block takes the rest in order.
    int placed = 0;
    bool tail = false;
    for (int j = 1; j <= blockCount; ++j) {
        int k = j;
        if (groups - placed < n) {
            k = placed + 1;
            tail = true;
        }
        for (int i = 1; i <= n && k <= groups; ++i) {
            blocks[static_cast<size_t>(j - 1)].push_back(k - 1);
            ++placed;
            k += tail ? 1 : stride;
        }
    }
    return blocks;
}

QString Arrangement::failedMessage()
{
    return QStringLiteral("编排失败，%1未改动：").arg(TableNames::examinees);
}

QString Arrangement::capacityMessage(int rooms)
{
    return QStringLiteral("  你设置的考场数太少(") + QString::number(rooms) +
           QStringLiteral(")或每个考场的考生数太少,以至不能容纳\n"
                          "所有学生,请在原电子表格文件中修改,完成后重新导放数据");
}

QString Arrangement::groupCountMessage(ArrangementSettings::GroupKind kind, int groups)
{
    if (kind == Settings::GroupKind::Class)
        return QStringLiteral("错误!每个考场的班级数不能大于班级总数 (") + QString::number(groups) +
               QStringLiteral(") 或不能小于1");
    return QStringLiteral("错误!每个考场的学校数不能大于学校总数(") + QString::number(groups) +
           QStringLiteral(")或不能小于1");
}

Result<ArrangementOutcome> Arrangement::run(Database &db, const ArrangementSettings &settings,
                                            const ArrangementProgress &progress)
{
    // The dialog and the command line parse what was typed; anything else is a caller's fault.
    Q_ASSERT(settings.check().isOk());
    if (Status s = settings.check(); !s.isOk())
        return s;
    const Status checked = ArrangementTables::check(db);
    if (!checked.isOk())
        return checked;
    const LargePageCache cache(db);
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();

    // Rooms and rows are read inside the transaction, so the run checks what it seats.
    ArrangementCounts rooms;
    if (const Status s = ArrangementCounts::readRooms(db, rooms); !s.isOk())
        return s;
    Result<ExamineeTable> table = ExamineeTable::load(db);
    if (!table)
        return table.status();
    if (const Status s = checkFits(*table, rooms, settings); !s.isOk())
        return s;
    const Result<std::vector<DeskLayout>> layouts = readLayouts(db, settings.seatOrder);
    if (!layouts)
        return layouts.status();

    Run run(*table, rooms.capacities, settings);
    if (const Status s = runMode(run, *table, settings); !s.isOk())
        return s;
    ArrangementOutcome outcome = finishSeats(run, *layouts, settings);
    if (const Status s = Arrangement::checkNumbers(db, run.numbers()); !s.isOk())
        return s;
    outcome.rowsWritten = table->changedRowCount();
    Status s = writeResults(db, *table, *layouts, settings, progress, outcome.summary);
    if (s.isOk())
        s = transaction.commit();
    if (s.isCancelled())
        return s;
    if (!s.isOk())
        return Status::error(s.kind(), failedMessage() + s.message());
    return outcome;
}

} // namespace fenpai
