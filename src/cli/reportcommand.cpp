#include "cli/reportcommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/reports/classreports.h"
#include "jobs/reports/examreports.h"
#include "jobs/reports/scoreinforeport.h"

#include <tuple>
#include <vector>

namespace fenpai {

namespace {

using Kind = ExamReports::Kind;

// Builds the report into the grid and gives its title; `argument` is the one value the report
// takes, if any.
using Builder = Result<QString> (*)(Database &db, Grid &grid, const QString &argument);

struct Report
{
    const char *name;
    bool takesArgument;
    Builder build;
};

Result<QString> examReport(Database &db, Grid &grid, const ExamReports::Request &request)
{
    Result<ExamListings::Listing> listing = ExamReports::build(db, grid, request);
    if (!listing)
        return listing.status();
    return listing->title;
}

template <Kind kind> Result<QString> plainExamReport(Database &db, Grid &grid, const QString &)
{
    return examReport(db, grid, {kind});
}

Result<QString> listingTitle(const Result<ExamListings::Listing> &listing)
{
    if (!listing)
        return listing.status();
    return listing->title;
}

template <ClassReports::Kind kind>
Result<QString> classReport(Database &db, Grid &grid, const QString &)
{
    return listingTitle(ClassReports::build(db, grid, kind));
}

const std::vector<Report> &reports()
{
    static const std::vector<Report> table = {
        {"score-info", false,
         [](Database &db, Grid &grid, const QString &) -> Result<QString> {
             if (Status s = ScoreInfoReport::build(db, grid); !s.isOk())
                 return s;
             return ScoreInfoReport::title();
         }},
        {"room-list", true,
         [](Database &db, Grid &grid, const QString &room) -> Result<QString> {
             bool ok = false;
             const int k = room.toInt(&ok);
             if (!ok || k < 0)
                 return Status::refused(QStringLiteral("考场应为考场序号 1、2、3……，0 为全部考场"));
             return examReport(db, grid, {Kind::RoomList, k});
         }},
        {"exam-class-list", true,
         [](Database &db, Grid &grid, const QString &caption) -> Result<QString> {
             ExamReports::Request request{Kind::ClassList};
             std::tie(request.school, request.className) = ExamListings::splitClassCaption(caption);
             return examReport(db, grid, request);
         }},
        {"brief-stats", false, &plainExamReport<Kind::BriefStats>},
        {"school-stats", true,
         [](Database &db, Grid &grid, const QString &school) -> Result<QString> {
             ExamReports::Request request{Kind::SchoolStats};
             request.school = school;
             return examReport(db, grid, request);
         }},
        {"first-last", false, &plainExamReport<Kind::FirstLast>},
        {"by-class", false, &plainExamReport<Kind::ByClass>},
        {"by-school", false, &plainExamReport<Kind::BySchool>},
        {"new-class-stats", false, &classReport<ClassReports::Kind::NewClassStats>},
        {"source-school-stats", false, &classReport<ClassReports::Kind::SourceSchoolStats>},
        {"new-class-list", true,
         [](Database &db, Grid &grid, const QString &number) -> Result<QString> {
             bool ok = false;
             const int k = number.toInt(&ok);
             if (!ok || k < 0)
                 return Status::refused(
                     QStringLiteral("班级应为新分班的班号 1、2、3……，0 为未分班的学生"));
             return listingTitle(ClassReports::classList(db, grid, k));
         }},
    };
    return table;
}

} // namespace

QStringList ReportCommand::names()
{
    QStringList names;
    for (const Report &r : reports())
        names.append(QString::fromLatin1(r.name));
    return names;
}

int ReportCommand::run(CliContext &context, const QStringList &args)
{
    QString name, argument, format, output;
    bool hasArgument = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--format") && hasValue)
            format = args[++i];
        else if ((a == QLatin1String("-o") || a == QLatin1String("--output")) && hasValue)
            output = args[++i];
        else if (!a.startsWith(u'-') && name.isEmpty())
            name = a;
        else if (!name.isEmpty() && !hasArgument && !a.startsWith(u'-')) {
            argument = a;
            hasArgument = true;
        } else {
            return 2;
        }
    }
    const Report *report = nullptr;
    for (const Report &r : reports()) {
        if (name == QLatin1String(r.name))
            report = &r;
    }
    format = DocumentOutput::format(format, output);
    if (!report || report->takesArgument != hasArgument || output.isEmpty() || format.isEmpty())
        return 2;

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    const Result<QString> title = report->build(db, grid, argument);
    if (!title)
        return context.fail(title.status().message());
    if (const Status written = DocumentOutput::write(grid, format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << *title << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
