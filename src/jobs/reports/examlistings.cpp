#include "jobs/reports/examlistings.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "db/savedqueries.h"
#include "db/sqldialect.h"
#include "grid/grid.h"
#include "jobs/documents/documentfill.h"
#include "jobs/reports/examlistlayout.h"

#include <vector>

namespace fenpai {

namespace {

const QString listColumns =
    QStringLiteral("select 姓名,考场,考号,座位号,性别,学校,班级 from 考生表 ");

Result<ReportDocument> show(Database &db, Grid &grid, const QString &queryName, const QString &sql,
                            const QString &title)
{
    if (Status s = ExamListings::requireExaminees(db); !s.isOk())
        return s;
    if (Status s = SavedQueries::replace(db, queryName, sql); !s.isOk())
        return s;
    DocumentFill::Outcome filled = DocumentFill::fill(grid, db, queryName, title);
    if (!filled.status.isOk())
        return filled.status;
    return ReportDocument{title, filled.titleText};
}

// The locations (and door numbers) of 考场表 in stored order: index r - 1 for room ordinal r.
struct Room
{
    QVariant number;
    QString place;
};

std::vector<Room> roomsInStoredOrder(Database &db)
{
    std::vector<Room> rooms;
    Result<Query> q = db.query(QStringLiteral("select 考场号,考场地点 from 考场表 ORDER BY rowid"));
    if (!q)
        return rooms;
    for (; !q->atEnd(); q->next())
        rooms.push_back({q->value(0), q->value(1).toString()});
    return rooms;
}

// The door number beside the ordinal, when the two differ.
QString doorSuffix(int room, const QVariant &door)
{
    if (!door.isValid() || door.isNull())
        return {};
    const QString text = NumberText::display(door);
    if (text == QString::number(room))
        return {};
    return QStringLiteral("（考场号 %1）").arg(text);
}

// A room is there when 考场表 has its row or an examinee sits in it.
Status requireRoom(Database &db, int room)
{
    if (room < 1)
        return Status::ok();
    if (ExamListings::doorNumber(db, room).isValid())
        return Status::ok();
    Result<QVariant> seated =
        db.scalar(QStringLiteral("select 1 from 考生表 where 考场=? LIMIT 1"), {room});
    if (!seated)
        return seated.status();
    if (seated->isValid())
        return Status::ok();
    return Status::refused(QStringLiteral("没有第 %1 考场。").arg(room));
}

Status requireClass(Database &db, const QString &school, const QString &className)
{
    Result<QVariant> found =
        db.scalar(QStringLiteral("select 1 from 考生表 where 学校=? and 班级=? LIMIT 1"),
                  {school, className});
    if (!found)
        return found.status();
    if (found->isValid())
        return Status::ok();
    return Status::refused(QStringLiteral("考生表中没有班级“%1/%2”。").arg(school, className));
}

} // namespace

Status ExamListings::requireExaminees(Database &db)
{
    if (db.hasRelation(TableNames::examinees))
        return Status::ok();
    return Status::error(
        Status::Kind::MissingTable,
        QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(TableNames::examinees));
}

QString ExamListings::allRoomsTitle()
{
    return QStringLiteral("全部考场考生名单");
}

QString ExamListings::firstLastTitle()
{
    return QStringLiteral("各考场首尾考号");
}

QVariant ExamListings::doorNumber(Database &db, int room)
{
    if (room < 1)
        return {};
    Result<QVariant> v = db.scalar(
        QStringLiteral("select 考场号 from 考场表 ORDER BY rowid LIMIT 1 OFFSET ?"), {room - 1});
    return v ? *v : QVariant();
}

Result<ReportDocument> ExamListings::roomList(Database &db, Grid &grid, int room)
{
    if (Status s = requireExaminees(db); !s.isOk())
        return s;
    if (Status s = requireRoom(db, room); !s.isOk())
        return s;
    QString sql = listColumns;
    QString title = allRoomsTitle();
    if (room > 0) {
        sql += QStringLiteral("where 考场=%1 ").arg(room);
        title =
            QStringLiteral("第 %1 考场考生名单").arg(room) + doorSuffix(room, doorNumber(db, room));
    }
    sql += QStringLiteral("ORDER BY 考号");
    Result<ReportDocument> listing = show(db, grid, QStringLiteral("NewQry5"), sql, title);
    if (!listing)
        return listing;

    // No room 0 exists, so the list of all rooms has no range to show.
    QString range;
    if (room > 0) {
        Result<Query> bounds =
            db.query(QStringLiteral("select min(考号),max(考号) from 考生表 where 考场=?"), {room});
        if (bounds && !bounds->atEnd() && !bounds->value(0).isNull())
            range = NumberText::display(bounds->value(0)) + QStringLiteral("---") +
                    NumberText::display(bounds->value(1));
    }
    ExamListLayout::roomList(grid, title, range, ReportFormat::subtitleFrom(db));
    return listing;
}

std::pair<QString, QString> ExamListings::splitClassCaption(const QString &caption)
{
    const qsizetype slash = caption.indexOf(u'/');
    if (slash < 0)
        return {caption, QString()};
    return {caption.left(slash), caption.mid(slash + 1)};
}

Result<ReportDocument> ExamListings::classList(Database &db, Grid &grid, const QString &school,
                                               const QString &className)
{
    QString sql = listColumns;
    QString title = allRoomsTitle();
    if (school.isEmpty() && className.isEmpty()) {
        sql += QStringLiteral("ORDER BY 学校,班级");
    } else {
        if (Status s = requireExaminees(db); !s.isOk())
            return s;
        if (Status s = requireClass(db, school, className); !s.isOk())
            return s;
        sql += QStringLiteral("where 学校=%1 and 班级=%2 ORDER BY 考场,考号")
                   .arg(SqlDialect::quoteLiteral(school), SqlDialect::quoteLiteral(className));
        title = school + u' ' + className + QStringLiteral(" 考场考号表");
    }
    Result<ReportDocument> listing = show(db, grid, QStringLiteral("NewQry5"), sql, title);
    if (listing)
        ExamListLayout::classList(grid, title, ReportFormat::subtitleFrom(db));
    return listing;
}

Result<ReportDocument> ExamListings::firstLast(Database &db, Grid &grid)
{
    const QString title = firstLastTitle();
    Result<ReportDocument> listing =
        show(db, grid, QStringLiteral("NewQry6"),
             QStringLiteral("select 考场 ,min(考号) as 首考号 ,max(考号) as 尾考号,count(考号) as "
                            "人数 from 考生表  GROUP BY 考场 ORDER BY 考场"),
             title);
    if (!listing)
        return listing;

    // Rows 1 .. rows - 2 hold the rooms; the last row is the blank one for new entries.
    const std::vector<Room> rooms = roomsInStoredOrder(db);
    auto roomAt = [&](int row) -> const Room * {
        bool ok = false;
        const qint64 r = grid.cellText(row, 1).toLongLong(&ok);
        return ok && r >= 1 && r <= qint64(rooms.size()) ? &rooms[size_t(r - 1)] : nullptr;
    };
    bool doorsDiffer = false;
    for (int row = 1; row < grid.rows() - 1; ++row) {
        if (const Room *room = roomAt(row))
            doorsDiffer =
                doorsDiffer || !doorSuffix(grid.cellText(row, 1).toInt(), room->number).isEmpty();
    }
    grid.setAutoRedraw(false);
    const int numberCol = doorsDiffer ? grid.cols() : -1;
    if (doorsDiffer) {
        grid.setCols(grid.cols() + 1);
        grid.setCellText(0, numberCol, ColumnNames::roomNumber);
    }
    const int placeCol = grid.cols();
    grid.setCols(placeCol + 1);
    grid.setCellText(0, placeCol, ColumnNames::roomPlace);
    for (int row = 1; row < grid.rows() - 1; ++row) {
        const Room *room = roomAt(row);
        if (!room)
            continue;
        if (doorsDiffer)
            grid.setCellText(row, numberCol, NumberText::display(room->number));
        grid.setCellText(row, placeCol, room->place);
    }
    // The numbers are shown in full, not through the numeric format.
    grid.setColumnMask(2, GridMask::None);
    grid.setColumnMask(3, GridMask::None);
    ExamListLayout::classList(grid, title, ReportFormat::subtitleFrom(db));
    grid.setAutoRedraw(true);
    grid.refresh();
    return listing;
}

} // namespace fenpai
