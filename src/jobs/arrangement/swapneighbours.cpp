#include "jobs/arrangement/swapneighbours.h"

#include "jobs/arrangement/roomseating.h"

#include <QSet>

#include <optional>

namespace fenpai {

namespace {

struct Place
{
    size_t room = 0; // index into the rooms read
    size_t seat = 0; // index into the room's seats
};

std::optional<Place> find(const std::vector<SeatedRoom> &rooms, const ExamSwap::Pick &pick)
{
    for (size_t r = 0; r < rooms.size(); ++r) {
        if (rooms[r].room != pick.room)
            continue;
        for (size_t s = 0; s < rooms[r].seats.size(); ++s) {
            const SeatedExaminee &e = rooms[r].seats[s];
            if (e.classId >= 0 && e.number.toLongLong() == pick.examNumber)
                return Place{r, s};
        }
    }
    return std::nullopt;
}

// The classmates on neighbouring desks of one room, each pair as the two seats' examinees,
// named by the exam numbers they hold before the swap.
QSet<QPair<qint64, qint64>> pairs(const SeatedRoom &room, const std::vector<qint64> &who)
{
    QSet<QPair<qint64, qint64>> out;
    for (const auto &[a, b] : room.layout.classmatePairs(room.classOfSeat())) {
        const qint64 x = who[size_t(a - 1)];
        const qint64 y = who[size_t(b - 1)];
        out.insert({qMin(x, y), qMax(x, y)});
    }
    return out;
}

std::vector<qint64> numbers(const SeatedRoom &room)
{
    std::vector<qint64> out;
    for (const SeatedExaminee &e : room.seats)
        out.push_back(e.number.toLongLong());
    return out;
}

} // namespace

Result<QStringList> SwapNeighbours::created(Database &db, const ExamSwap::Pick &left,
                                            const ExamSwap::Pick &right, SeatOrder order)
{
    Result<std::vector<SeatedRoom>> read = RoomSeating::read(db, order);
    if (!read)
        return read.status();
    std::vector<SeatedRoom> &rooms = *read;
    const std::optional<Place> a = find(rooms, left);
    const std::optional<Place> b = find(rooms, right);
    if (!a || !b)
        return QStringList();
    QList<size_t> affected{a->room};
    if (b->room != a->room)
        affected.append(b->room);

    QSet<QPair<qint64, qint64>> before;
    for (size_t r : affected)
        before.unite(pairs(rooms[r], numbers(rooms[r])));
    // The two exchange desks, keeping who they are.
    std::swap(rooms[a->room].seats[a->seat], rooms[b->room].seats[b->seat]);
    QStringList out;
    for (size_t r : affected) {
        const SeatedRoom &room = rooms[r];
        const std::vector<qint64> who = numbers(room);
        for (const auto &[s, t] : room.layout.classmatePairs(room.classOfSeat())) {
            const qint64 x = who[size_t(s - 1)];
            const qint64 y = who[size_t(t - 1)];
            if (before.contains({qMin(x, y), qMax(x, y)}))
                continue;
            const SeatedExaminee &first = room.seats[size_t(s - 1)];
            const SeatedExaminee &second = room.seats[size_t(t - 1)];
            out.append(QStringLiteral("第%1考场 %2号座位 %3 和 %4号座位 %5（%6 %7）")
                           .arg(room.room)
                           .arg(s)
                           .arg(first.name)
                           .arg(t)
                           .arg(second.name, first.school, first.className));
        }
    }
    return out;
}

QString SwapNeighbours::question(const QStringList &pairs)
{
    return QStringLiteral("对调后这些同班考生会坐在相邻座位：\n") + pairs.join(u'\n') +
           QStringLiteral("\n仍要对调吗？");
}

} // namespace fenpai
