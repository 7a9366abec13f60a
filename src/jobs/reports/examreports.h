#pragma once

#include "core/result.h"
#include "jobs/reports/examlistings.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// One entry point for the exam listings and statistics, as the menus and the command line ask
// for them.
class ExamReports final
{
public:
    enum class Kind
    {
        RoomList,    // room `room`, 0 for all rooms
        ClassList,   // `school` / `className`, both empty for all classes
        BriefStats,  // 考场编排统计表
        SchoolStats, // `school`
        FirstLast,   // 各考场首尾考号
        ByClass,     // 原始分班信息表 per class
        BySchool,    // 原始分班信息表 per school
    };
    struct Request
    {
        Request() = default;
        Request(Kind kind, int room = 0) // NOLINT: {Kind::FirstLast} reads as the request
            : kind(kind)
            , room(room)
        {}

        Kind kind = Kind::RoomList;
        int room = 0;
        QString school;
        QString className;
    };

    [[nodiscard]] static Result<ExamListings::Listing> build(Database &db, Grid &grid,
                                                             const Request &request);
};

} // namespace fenpai
