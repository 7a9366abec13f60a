#pragma once

#include "core/result.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <vector>

namespace fenpai {

class Database;

// One class of the examinee table: its school and class as stored (either may be null).
struct ClassGroup
{
    QVariant school;
    QVariant className;
};

// What the arrangement dialog shows and checks before a run: examinees (E), the distinct schools
// (S) and classes (C) in order of first appearance, and the rooms (R) with their capacities in
// the room table's row order.
struct ArrangementCounts
{
    int examinees = 0;           // E: rows with a name
    QList<QVariant> schools;     // S = size()
    QList<ClassGroup> classes;   // C = size()
    std::vector<int> capacities; // R = size(); an empty or non-numeric capacity reads 0
    QVariant firstRoomNumber;    // first column of the first room row
    QVariant lastRoomNumber;     // first column of the last room row

    int schoolCount() const { return static_cast<int>(schools.size()); }
    int classCount() const { return static_cast<int>(classes.size()); }
    int roomCount() const { return static_cast<int>(capacities.size()); }
    qint64 totalCapacity() const;
    bool roomsTooSmall() const { return examinees > totalCapacity(); }

    // "考生数 E", "考场数 R (first--last)", "学校数 S", "班级数 C".
    QString examineeCaption() const;
    QString roomCaption() const;
    QString schoolCaption() const;
    QString classCaption() const;

    // Reads 考生表 and 考场表. A missing table or column gives a message and no counts.
    [[nodiscard]] static Result<ArrangementCounts> read(Database &db);
    // Reads only the rooms: capacities and the first and last room number.
    [[nodiscard]] static Status readRooms(Database &db, ArrangementCounts &counts);

    // A capacity cell as a whole number of seats: numbers (and numeric texts) round half to
    // even; empty, non-numeric and negative values read 0.
    static int capacityOf(const QVariant &value);
};

} // namespace fenpai
