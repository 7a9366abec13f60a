#include "jobs/arrangement/arrangementcounts.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/arrangement/arrangementtables.h"

#include <algorithm>
#include <cmath>

namespace fenpai {

qint64 ArrangementCounts::totalCapacity() const
{
    qint64 sum = 0;
    for (int c : capacities)
        sum += c;
    return sum;
}

QString ArrangementCounts::examineeCaption() const
{
    return QStringLiteral("考生数 ") + QString::number(examinees);
}

QString ArrangementCounts::roomCaption() const
{
    QString text = QStringLiteral("考场数 ") + QString::number(roomCount());
    if (roomCount() > 0)
        text += QStringLiteral(" (") + NumberText::display(firstRoomNumber) + QStringLiteral("--") +
                NumberText::display(lastRoomNumber) + u')';
    return text;
}

QString ArrangementCounts::schoolCaption() const
{
    return QStringLiteral("学校数 ") + QString::number(schoolCount());
}

QString ArrangementCounts::classCaption() const
{
    return QStringLiteral("班级数 ") + QString::number(classCount());
}

int ArrangementCounts::capacityOf(const QVariant &value)
{
    if (value.isNull())
        return 0;
    double number = 0.0;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (!NumberText::isNumber(text))
            return 0;
        number = NumberText::leadingValue(text);
    } else if (value.typeId() == QMetaType::QByteArray) {
        return 0;
    } else {
        number = value.toDouble();
    }
    if (!std::isfinite(number))
        return 0;
    // A room larger than any school is a typing error, not a reason to overflow.
    constexpr double most = 1e9;
    return static_cast<int>(std::clamp(NumberText::roundHalfEven(number), 0.0, most));
}

Status ArrangementCounts::readRooms(Database &db, ArrangementCounts &counts)
{
    counts.capacities.clear();
    Result<Query> rooms = db.query(QStringLiteral("SELECT * FROM 考场表 ORDER BY rowid"));
    if (!rooms)
        return rooms.status();
    for (; !rooms->atEnd(); rooms->next()) {
        if (counts.capacities.empty())
            counts.firstRoomNumber = rooms->value(0);
        counts.lastRoomNumber = rooms->value(0);
        counts.capacities.push_back(capacityOf(rooms->value(1)));
    }
    return rooms->status();
}

Result<ArrangementCounts> ArrangementCounts::read(Database &db)
{
    const Status checked = ArrangementTables::check(db);
    if (!checked.isOk())
        return checked;

    ArrangementCounts counts;
    Result<QVariant> e = db.scalar(QStringLiteral("SELECT count(姓名) FROM 考生表"));
    if (!e)
        return e.status();
    counts.examinees = static_cast<int>(e->toLongLong());

    Result<Query> classes = db.query(
        QStringLiteral("SELECT 学校, 班级 FROM 考生表 GROUP BY 学校, 班级 ORDER BY min(rowid)"));
    if (!classes)
        return classes.status();
    for (; !classes->atEnd(); classes->next())
        counts.classes.append({classes->value(0), classes->value(1)});
    if (!classes->status().isOk())
        return classes->status();

    Result<Query> schools =
        db.query(QStringLiteral("SELECT 学校 FROM 考生表 GROUP BY 学校 ORDER BY min(rowid)"));
    if (!schools)
        return schools.status();
    for (; !schools->atEnd(); schools->next())
        counts.schools.append(schools->value(0));
    if (!schools->status().isOk())
        return schools->status();

    const Status rooms = readRooms(db, counts);
    if (!rooms.isOk())
        return rooms;
    return counts;
}

} // namespace fenpai
