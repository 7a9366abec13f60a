#pragma once

#include "core/result.h"
#include "core/status.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QVariant>

#include <utility>

namespace fenpai {

class Database;
class Grid;

// The name lists of the exam arrangement and the first/last exam numbers of the rooms, each
// stored as a saved query and filled into a document's grid with its print layout. Rooms are the
// ordinals in 考生表.考场; the room with ordinal r is the r-th row of 考场表 in stored order,
// which is where the arrangement seated it.
class ExamListings final
{
public:
    // The name list of room `room`, or of all rooms for 0, in exam number order; a room that
    // neither 考场表 nor 考生表 has is refused, naming it.
    [[nodiscard]] static Result<ReportDocument> roomList(Database &db, Grid &grid, int room);
    // The list of one class with its rooms and exam numbers; an empty school and class list
    // every class, and a class 考生表 does not have is refused, naming it.
    [[nodiscard]] static Result<ReportDocument>
    classList(Database &db, Grid &grid, const QString &school, const QString &className);
    // A class menu caption "school/class" split at its first "/".
    static std::pair<QString, QString> splitClassCaption(const QString &caption);
    // Per room its first and last exam number, its examinees and its location.
    [[nodiscard]] static Result<ReportDocument> firstLast(Database &db, Grid &grid);

    static QString allRoomsTitle();  // 全部考场考生名单
    static QString firstLastTitle(); // 各考场首尾考号

    // A message naming 考生表 when it is missing.
    [[nodiscard]] static Status requireExaminees(Database &db);

    // The 考场号 of room ordinal `room`; invalid when 考场表 has no such row.
    static QVariant doorNumber(Database &db, int room);
};

} // namespace fenpai
