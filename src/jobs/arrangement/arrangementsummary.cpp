#include "jobs/arrangement/arrangementsummary.h"

#include "db/database.h"
#include "jobs/arrangement/cellvalue.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/examineetable.h"
#include "jobs/arrangement/roomseating.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fenpai {

namespace {

// A row that `考场 >= 1` selects: its 考场 and 座位号 as the numbers read() sees, its 考号 as
// stored.
struct Selected
{
    double room;
    double seat;
    CellValue number;
    int classId;
};

// A stored value as read() reads it through a QVariant.
double asDouble(const CellValue &value)
{
    if (value.isNumber())
        return value.numberValue();
    return value.isNull() ? 0.0 : value.toVariant().toDouble();
}

// The rows of `WHERE 考场 >= 1` in rowid order, on a column that keeps numbers as numbers:
// null fails, texts and blobs order after every number and pass.
std::vector<Selected> selectRows(const ExamineeTable &table)
{
    std::vector<Selected> selected;
    selected.reserve(table.rows().size());
    for (size_t i = 0; i < table.rows().size(); ++i) {
        std::array<CellValue, 3> stored = table.stored(i); // 考场, 考号, 座位号
        const CellValue &room = stored[0];
        if (room.isNull() || (room.isNumber() && !(room.numberValue() >= 1)))
            continue;
        selected.push_back({asDouble(room), asDouble(stored[2]), std::move(stored[1]),
                            table.rows()[i].classGroup});
    }
    return selected;
}

// Positions into `selected` in the order of `ORDER BY 考号, rowid`. The keys sit beside the
// positions, so the sort does not chase the values.
std::vector<int> byNumber(const std::vector<Selected> &selected)
{
    struct Key
    {
        int kind;
        bool integer;
        qint64 whole;
        double number;
        int position;
    };
    std::vector<Key> keys;
    keys.reserve(selected.size());
    for (size_t p = 0; p < selected.size(); ++p) {
        const CellValue &n = selected[p].number;
        keys.push_back({static_cast<int>(n.kind()), n.isInteger(), n.integerValue(),
                        n.numberValue(), static_cast<int>(p)});
    }
    const int number = static_cast<int>(CellValue::Kind::Number);
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.kind == number) {
            if (a.integer && b.integer ? a.whole != b.whole : a.number != b.number)
                return a.integer && b.integer ? a.whole < b.whole : a.number < b.number;
        } else if (const int c = selected[static_cast<size_t>(a.position)].number.compare(
                       selected[static_cast<size_t>(b.position)].number)) {
            return c < 0;
        }
        return a.position < b.position;
    });
    std::vector<int> order;
    order.reserve(keys.size());
    for (const Key &k : keys)
        order.push_back(k.position);
    return order;
}

// Examinees, first and last number per room and the classmates next to each other in number
// order. A room counts the rows whose 考场, rounded down, names it.
void countByNumber(const std::vector<Selected> &selected, ArrangementSummary &summary)
{
    const std::vector<int> order = byNumber(selected);
    std::vector<int> first(summary.rooms.size(), -1);
    std::vector<int> last(summary.rooms.size(), -1);
    int previous = -1;
    for (const int p : order) {
        const Selected &s = selected[static_cast<size_t>(p)];
        if (s.classId == previous)
            ++summary.sameClassNeighbours;
        previous = s.classId;
        const double room = std::floor(s.room);
        if (room >= 1 && room <= static_cast<double>(summary.rooms.size())) {
            const auto r = static_cast<size_t>(room) - 1;
            if (first[r] < 0)
                first[r] = p;
            last[r] = p;
            ++summary.rooms[r].examinees;
        }
    }
    for (size_t r = 0; r < summary.rooms.size(); ++r) {
        if (first[r] >= 0) {
            summary.rooms[r].firstNumber =
                selected[static_cast<size_t>(first[r])].number.toVariant();
            summary.rooms[r].lastNumber = selected[static_cast<size_t>(last[r])].number.toVariant();
        }
    }
}

// The distinct classes of each room: the rows bucketed by room, each class marked with the
// last room that counted it.
void countClasses(const std::vector<Selected> &selected, size_t classCount,
                  ArrangementSummary &summary)
{
    const size_t roomCount = summary.rooms.size();
    std::vector<int> roomOf(selected.size(), -1);
    std::vector<size_t> start(roomCount + 1, 0);
    for (size_t p = 0; p < selected.size(); ++p) {
        const double room = std::floor(selected[p].room);
        if (room >= 1 && room <= static_cast<double>(roomCount)) {
            roomOf[p] = static_cast<int>(room) - 1;
            ++start[static_cast<size_t>(room)];
        }
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> classes(start.back());
    std::vector<size_t> next(start.begin(), start.end() - 1);
    for (size_t p = 0; p < selected.size(); ++p) {
        if (roomOf[p] >= 0)
            classes[next[static_cast<size_t>(roomOf[p])]++] = selected[p].classId;
    }
    std::vector<size_t> mark(classCount, roomCount);
    for (size_t r = 0; r < roomCount; ++r) {
        for (size_t k = start[r]; k < start[r + 1]; ++k) {
            const auto c = static_cast<size_t>(classes[k]);
            if (mark[c] != r) {
                mark[c] = r;
                ++summary.rooms[r].classes;
            }
        }
    }
}

// Neighbouring desks holding one class: 考场 names a room exactly and 座位号 a desk of it; a
// later row takes over a desk an earlier one holds.
void countClassmatePairs(const std::vector<Selected> &selected,
                         const std::vector<DeskLayout> &layouts, ArrangementSummary &summary)
{
    const size_t roomCount = std::min(layouts.size(), summary.rooms.size());
    std::vector<size_t> offset(roomCount + 1, 0);
    for (size_t r = 0; r < roomCount; ++r)
        offset[r + 1] = offset[r] + static_cast<size_t>(layouts[r].seats());
    std::vector<int> classOfDesk(offset.back(), -1);
    for (const Selected &s : selected) {
        if (s.room != std::floor(s.room) || s.room < 1 || s.room > static_cast<double>(roomCount))
            continue;
        const auto r = static_cast<size_t>(s.room) - 1;
        if (s.seat != std::floor(s.seat) || s.seat < 1 || s.seat > layouts[r].seats())
            continue;
        classOfDesk[offset[r] + static_cast<size_t>(s.seat) - 1] = s.classId;
    }
    for (size_t r = 0; r < roomCount; ++r) {
        const std::vector<int> seats(classOfDesk.begin() + static_cast<qsizetype>(offset[r]),
                                     classOfDesk.begin() + static_cast<qsizetype>(offset[r + 1]));
        summary.rooms[r].classmatePairs = layouts[r].classmatePairCount(seats);
        summary.classmatePairs += summary.rooms[r].classmatePairs;
    }
}

} // namespace

Result<ArrangementSummary> ArrangementSummary::read(Database &db, SeatOrder order)
{
    Result<QVariant> roomCount = db.scalar(QStringLiteral("SELECT count(*) FROM 考场表"));
    if (!roomCount)
        return roomCount.status();
    Result<Query> q = db.query(QStringLiteral("SELECT 学校, 班级, 考场, 考号 FROM 考生表 "
                                              "WHERE 考场 >= 1 ORDER BY 考号, rowid"));
    if (!q)
        return q.status();

    ArrangementSummary summary;
    for (int r = 1; r <= roomCount->toInt(); ++r)
        summary.rooms.push_back({r, 0, 0, 0, {}, {}});
    std::vector<QSet<QByteArray>> classes(summary.rooms.size());
    QByteArray previous;
    for (; !q->atEnd(); q->next()) {
        const QByteArray school = CellValue::fromVariant(q->value(0)).groupKey();
        const QByteArray key = QByteArray::number(school.size()) + ':' + school +
                               CellValue::fromVariant(q->value(1)).groupKey();
        const QVariant number = q->value(3);
        const double room = std::floor(q->value(2).toDouble());
        // Rooms of 考场表 only; a 考场 that reads as no number names none.
        if (room >= 1 && room <= static_cast<double>(summary.rooms.size())) {
            Room &r = summary.rooms[static_cast<size_t>(room) - 1];
            if (r.examinees == 0)
                r.firstNumber = number;
            r.lastNumber = number;
            ++r.examinees;
            classes[static_cast<size_t>(room) - 1].insert(key);
        }
        if (key == previous)
            ++summary.sameClassNeighbours;
        previous = key;
    }
    if (!q->status().isOk())
        return q->status();
    for (size_t i = 0; i < summary.rooms.size(); ++i)
        summary.rooms[i].classes = static_cast<int>(classes[i].size());

    const Result<std::vector<SeatedRoom>> seated = RoomSeating::read(db, order);
    if (!seated)
        return seated.status();
    for (size_t i = 0; i < seated->size() && i < summary.rooms.size(); ++i) {
        const SeatedRoom &room = (*seated)[i];
        summary.rooms[i].classmatePairs = room.layout.classmatePairCount(room.classOfSeat());
        summary.classmatePairs += summary.rooms[i].classmatePairs;
    }
    return summary;
}

ArrangementSummary ArrangementSummary::ofRun(const ExamineeTable &table,
                                             const std::vector<DeskLayout> &layouts)
{
    ArrangementSummary summary;
    for (size_t r = 1; r <= layouts.size(); ++r)
        summary.rooms.push_back({static_cast<int>(r), 0, 0, 0, {}, {}});
    const std::vector<Selected> selected = selectRows(table);
    countByNumber(selected, summary);
    countClasses(selected, table.classGroups().size(), summary);
    countClassmatePairs(selected, layouts, summary);
    return summary;
}

} // namespace fenpai
