#include "jobs/arrangement/arrangementsummary.h"

#include "db/database.h"
#include "jobs/arrangement/cellvalue.h"
#include "jobs/arrangement/roomseating.h"

#include <QSet>

#include <cmath>

namespace fenpai {

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
        summary.rooms.push_back({r, 0, 0, 0, 0, 0});
    std::vector<QSet<QByteArray>> classes(summary.rooms.size());
    QByteArray previous;
    for (; !q->atEnd(); q->next()) {
        const QByteArray school = CellValue::fromVariant(q->value(0)).groupKey();
        const QByteArray key = QByteArray::number(school.size()) + ':' + school +
                               CellValue::fromVariant(q->value(1)).groupKey();
        const QVariant number = q->value(3);
        const double room = std::floor(q->value(2).toDouble());
        if (room <= static_cast<double>(summary.rooms.size())) { // rooms of 考场表 only
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

} // namespace fenpai
