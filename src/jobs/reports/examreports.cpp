#include "jobs/reports/examreports.h"

#include "jobs/reports/examstatistics.h"

namespace fenpai {

Result<ExamListings::Listing> ExamReports::build(Database &db, Grid &grid, const Request &request)
{
    switch (request.kind) {
    case Kind::RoomList:
        return ExamListings::roomList(db, grid, request.room);
    case Kind::ClassList:
        return ExamListings::classList(db, grid, request.school, request.className);
    case Kind::BriefStats:
        return ExamStatistics::brief(db, grid);
    case Kind::SchoolStats:
        return ExamStatistics::school(db, grid, request.school);
    case Kind::FirstLast:
        return ExamListings::firstLast(db, grid);
    case Kind::ByClass:
        return ExamStatistics::byClass(db, grid);
    case Kind::BySchool:
        return ExamStatistics::bySchool(db, grid);
    }
    return Status::error(Status::Kind::Other, QString());
}

} // namespace fenpai
