#include "jobs/arrangement/roomseating.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "jobs/arrangement/arrangementcounts.h"
#include "jobs/arrangement/arrangementtables.h"
#include "jobs/arrangement/cellvalue.h"

#include <QHash>

#include <cmath>

namespace fenpai {

std::vector<int> SeatedRoom::classOfSeat() const
{
    std::vector<int> out;
    out.reserve(seats.size());
    for (const SeatedExaminee &e : seats)
        out.push_back(e.classId);
    return out;
}

Result<std::vector<SeatedRoom>> RoomSeating::readRooms(Database &db, SeatOrder order)
{
    const QStringList columns = db.columns(TableNames::rooms);
    const auto indexOf = [&](const QString &name) {
        return static_cast<int>(columns.indexOf(name));
    };
    const int rowsColumn = indexOf(QStringLiteral("行数"));
    const int colsColumn = indexOf(QStringLiteral("列数"));
    const int placeColumn = indexOf(QStringLiteral("考场地点"));
    Result<Query> q = db.query(QStringLiteral("SELECT * FROM 考场表 ORDER BY rowid"));
    if (!q)
        return q.status();
    std::vector<SeatedRoom> rooms;
    for (; !q->atEnd(); q->next()) {
        SeatedRoom room;
        room.room = static_cast<int>(rooms.size()) + 1;
        room.doorNumber = q->value(0);
        if (placeColumn >= 0)
            room.location = q->value(placeColumn).toString();
        room.layout =
            DeskLayout::forRoom(ArrangementCounts::capacityOf(q->value(1)),
                                rowsColumn >= 0 ? q->value(rowsColumn) : QVariant(),
                                colsColumn >= 0 ? q->value(colsColumn) : QVariant(), order);
        rooms.push_back(std::move(room));
    }
    if (!q->status().isOk())
        return q->status();
    return rooms;
}

Status RoomSeating::checkDesks(const std::vector<SeatedRoom> &rooms)
{
    for (const SeatedRoom &room : rooms) {
        if (!room.layout.fits())
            return Status::refused(room.layout.tooSmallMessage(room.room));
    }
    return Status::ok();
}

Status RoomSeating::checkDesks(Database &db)
{
    if (!db.hasTable(TableNames::rooms))
        return Status::ok(); // the counts say what is missing
    const Result<std::vector<SeatedRoom>> rooms = readRooms(db, SeatOrder::ByColumn);
    return rooms ? checkDesks(*rooms) : rooms.status();
}

Result<std::vector<SeatedRoom>> RoomSeating::read(Database &db, SeatOrder order, int onlyRoom)
{
    if (const Status s = ArrangementTables::check(db, false); !s.isOk())
        return s;
    Result<std::vector<SeatedRoom>> rooms = readRooms(db, order);
    if (!rooms)
        return rooms;
    for (SeatedRoom &room : *rooms) {
        if (onlyRoom <= 0 || room.room == onlyRoom)
            room.seats.resize(static_cast<size_t>(room.layout.seats()));
    }
    const bool versions =
        db.columns(TableNames::examinees).contains(ColumnNames::paperVersion, Qt::CaseInsensitive);
    Result<Query> q =
        db.query(QStringLiteral(
                     "SELECT 学校, 班级, 姓名, 考场, 座位号, 考号, %1 FROM 考生表 WHERE 考场 >= 1 "
                     "ORDER BY rowid")
                     .arg(versions ? ColumnNames::paperVersion : QStringLiteral("NULL")));
    if (!q)
        return q.status();
    QHash<QByteArray, int> classIds;
    for (; !q->atEnd(); q->next()) {
        const double room = q->value(3).toDouble();
        const double seat = q->value(4).toDouble();
        // 考场 >= 1 lets texts through, which read as 0 here and name no room.
        if (room != std::floor(room) || room < 1 || room > static_cast<double>(rooms->size()) ||
            seat != std::floor(seat) || seat < 1)
            continue;
        SeatedRoom &r = (*rooms)[static_cast<size_t>(room) - 1];
        if (seat > static_cast<double>(r.seats.size()))
            continue;
        const QByteArray schoolKey = CellValue::fromVariant(q->value(0)).groupKey();
        const QByteArray key = QByteArray::number(schoolKey.size()) + ':' + schoolKey +
                               CellValue::fromVariant(q->value(1)).groupKey();
        const int id = static_cast<int>(classIds.size());
        SeatedExaminee &e = r.seats[static_cast<size_t>(seat) - 1];
        e.classId = *classIds.insert(key, classIds.value(key, id));
        e.number = q->value(5);
        e.name = q->value(2).toString();
        e.school = q->value(0).toString();
        e.className = q->value(1).toString();
        e.version = q->value(6).toString().trimmed();
        e.photo = NumberText::display(q->value(7));
    }
    if (!q->status().isOk())
        return q->status();
    return rooms;
}

} // namespace fenpai

namespace fenpai {

bool RoomSeating::hasPaperVersions(Database &db)
{
    if (!db.columns(TableNames::examinees).contains(ColumnNames::paperVersion, Qt::CaseInsensitive))
        return false;
    const Result<QVariant> any = db.scalar(QStringLiteral(
        "SELECT count(*) FROM (SELECT 1 FROM 考生表 WHERE trim(试卷) <> '' LIMIT 1)"));
    return any && any->toInt() > 0;
}

} // namespace fenpai
