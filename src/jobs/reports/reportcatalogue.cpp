#include "jobs/reports/reportcatalogue.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "jobs/examday/doorsheet.h"
#include "jobs/examday/signinsheet.h"
#include "jobs/reports/balancereport.h"
#include "jobs/reports/classreports.h"
#include "jobs/reports/examlistings.h"
#include "jobs/reports/examstatistics.h"
#include "jobs/reports/scoreinforeport.h"
#include "jobs/reports/seatchart.h"

#include <limits>
#include <tuple>

namespace fenpai {

namespace {

using Entry = ReportCatalogue::Entry;
using Needs = ReportCatalogue::Needs;
using Parameter = ReportCatalogue::Parameter;
using Request = ReportCatalogue::Request;
using MenuPlace = ReportCatalogue::MenuPlace;

template <Result<ReportDocument> (*report)(Database &, Grid &)>
Result<ReportDocument> plain(Database &db, Grid &grid, const Request &)
{
    return report(db, grid);
}

Result<ReportDocument> roomList(Database &db, Grid &grid, const Request &r)
{
    return ExamListings::roomList(db, grid, r.number);
}

Result<ReportDocument> examClassList(Database &db, Grid &grid, const Request &r)
{
    return ExamListings::classList(db, grid, r.school, r.className);
}

Result<ReportDocument> schoolStats(Database &db, Grid &grid, const Request &r)
{
    return ExamStatistics::school(db, grid, r.school);
}

Result<ReportDocument> newClassList(Database &db, Grid &grid, const Request &r)
{
    return ClassReports::classList(db, grid, r.number);
}

Result<ReportDocument> seatChart(Database &db, Grid &grid, const Request &r)
{
    return SeatChart::build(db, grid, {r.number, r.order});
}

Result<ReportDocument> signIn(Database &db, Grid &grid, const Request &r)
{
    Result<SignInSheet::Outcome> sheet =
        SignInSheet::build(db, grid, {r.number, r.order, r.photoFolder, r.photoField});
    if (!sheet)
        return sheet.status();
    return sheet->document;
}

Result<ReportDocument> doorSheet(Database &db, Grid &grid, const Request &r)
{
    return DoorSheet::build(db, grid, {r.number, r.order});
}

MenuPlace menu(const char *name, const char *parent, const char *caption)
{
    return {QString::fromLatin1(name), QString::fromLatin1(parent), QString::fromUtf8(caption)};
}

// A whole number >= 0, as the room and class arguments are; none for anything else.
std::optional<int> ordinal(const QString &text)
{
    const std::optional<qint64> value =
        NumberText::wholeNumber(text, 0, std::numeric_limits<int>::max());
    if (!value)
        return std::nullopt;
    return static_cast<int>(*value);
}

} // namespace

const std::vector<Entry> &ReportCatalogue::entries()
{
    // clang-format off
    static const std::vector<Entry> table = {
        {QStringLiteral("score-info"), QStringLiteral("成绩表基本情况表"),
         menu("cjbxx", "sjxx", "成绩表信息"), false, Needs::Scores, Parameter::None,
         &plain<&ScoreInfoReport::build>},
        {QStringLiteral("room-list"), QStringLiteral("考场考生名单"),
         menu("gkc", "klulan", "全部考场"), true, Needs::Arrangement, Parameter::Room, &roomList},
        {QStringLiteral("exam-class-list"), QStringLiteral("班级考场考号表"),
         menu("gbj", "blulan", "全部班级"), true, Needs::Arrangement, Parameter::Class,
         &examClassList},
        {QStringLiteral("seat-chart"), QStringLiteral("考场座位表"),
         menu("zwb", "klulan", "全部考场"), true, Needs::Arrangement, Parameter::Room, &seatChart},
        {QStringLiteral("sign-in"), QStringLiteral("考场签到表"),
         menu("qdb", "klulan", "全部考场"), true, Needs::Arrangement, Parameter::Room, &signIn},
        {QStringLiteral("door"), QStringLiteral("考场门贴"),
         menu("mentie", "klulan", "全部考场"), true, Needs::Arrangement, Parameter::Room,
         &doorSheet},
        {QStringLiteral("brief-stats"), QStringLiteral("考场编排统计表"),
         menu("jinjtj", "dctj", "精简统计"), true, Needs::Arrangement, Parameter::None,
         &plain<&ExamStatistics::brief>},
        {QStringLiteral("school-stats"), QStringLiteral("一所学校的考场编排统计表"),
         menu("tjschoo", "qmtj", "学校"), true, Needs::Arrangement, Parameter::School,
         &schoolStats},
        {QStringLiteral("first-last"), QStringLiteral("各考场首尾考号"),
         menu("qzkh", "mnukcbp", "各考场首尾考号"), false, Needs::Arrangement, Parameter::None,
         &plain<&ExamListings::firstLast>},
        {QStringLiteral("by-class"), QStringLiteral("原始分班信息表（按班级）"),
         menu("anbj", "kcbpbxx", "按班级"), false, Needs::Examinees, Parameter::None,
         &plain<&ExamStatistics::byClass>},
        {QStringLiteral("by-school"), QStringLiteral("原始分班信息表（按学校）"),
         menu("anxx", "kcbpbxx", "按学校"), false, Needs::Examinees, Parameter::None,
         &plain<&ExamStatistics::bySchool>},
        {QStringLiteral("new-class-stats"), QStringLiteral("新分班基本情况表"),
         menu("czzpm", "fbop", "新班统计&(T)"), true, Needs::Division, Parameter::None,
         &plain<&ClassReports::newClassStats>},
        {QStringLiteral("balance"), QStringLiteral("分班均衡报告"),
         menu("jhbg", "fbop", "均衡报告"), true, Needs::Division, Parameter::None,
         &plain<&BalanceReport::build>},
        {QStringLiteral("source-school-stats"), QStringLiteral("原始分班信息表（按原学校）"),
         menu("fbbxx", "sjxx", "原分班表信息"), false, Needs::DivisionData, Parameter::None,
         &plain<&ClassReports::sourceSchoolStats>},
        {QStringLiteral("new-class-list"), QStringLiteral("新班级名单"),
         menu("class", "newcl", "全部班级"), true, Needs::Division, Parameter::NewClass,
         &newClassList},
    };
    // clang-format on
    return table;
}

const ReportCatalogue::Entry *ReportCatalogue::find(const QString &name)
{
    for (const Entry &e : entries()) {
        if (e.name == name)
            return &e;
    }
    return nullptr;
}

Result<Request> ReportCatalogue::request(const Entry &entry, const QString &argument)
{
    Request r;
    switch (entry.parameter) {
    case Parameter::None:
        if (!argument.isEmpty())
            return Status::refused(QStringLiteral("报表 %1 不带参数").arg(entry.name));
        return r;
    case Parameter::Room: {
        const std::optional<int> room =
            argument == QLatin1String("all") ? std::optional<int>(0) : ordinal(argument);
        if (!room)
            return Status::refused(QStringLiteral("考场应为考场序号 1、2、3……，0 为全部考场"));
        r.number = *room;
        return r;
    }
    case Parameter::Class:
        std::tie(r.school, r.className) = ExamListings::splitClassCaption(argument);
        return r;
    case Parameter::School:
        r.school = argument;
        return r;
    case Parameter::NewClass: {
        const std::optional<int> number = ordinal(argument);
        if (!number)
            return Status::refused(
                QStringLiteral("班级应为新分班的班号 1、2、3……，0 为未分班的学生"));
        r.number = *number;
        return r;
    }
    }
    return r;
}

std::optional<Request> ReportCatalogue::menuRequest(const Entry &entry, int item,
                                                    const QString &caption)
{
    Request r;
    switch (entry.parameter) {
    case Parameter::None:
    case Parameter::Room:
        r.number = item; // the rooms in the room table's order, item 0 for all of them
        return r;
    case Parameter::Class:
        if (item > 0)
            std::tie(r.school, r.className) = ExamListings::splitClassCaption(caption);
        return r;
    case Parameter::School:
        if (item == 0) // the first item only names the submenu
            return std::nullopt;
        r.school = caption;
        return r;
    case Parameter::NewClass:
        // Item 0 (全部班级) lists the pupils not yet placed, class 0.
        r.number = item == 0 ? 0 : caption.toInt();
        return r;
    }
    return r;
}

const ReportCatalogue::Entry *ReportCatalogue::firstItemReport(const Entry &entry)
{
    return entry.parameter == Parameter::School ? find(QStringLiteral("brief-stats")) : nullptr;
}

QString ReportCatalogue::argumentName(Parameter parameter)
{
    switch (parameter) {
    case Parameter::None:
        break;
    case Parameter::Room:
        return QStringLiteral("K");
    case Parameter::Class:
        return QStringLiteral("SCHOOL/CLASS");
    case Parameter::School:
        return QStringLiteral("SCHOOL");
    case Parameter::NewClass:
        return QStringLiteral("N");
    }
    return QString();
}

QString ReportCatalogue::argumentHelp(Parameter parameter)
{
    switch (parameter) {
    case Parameter::None:
        break;
    case Parameter::Room:
        return QStringLiteral("考场序号，0 或 all 为全部考场");
    case Parameter::Class:
        return QStringLiteral("学校/班级");
    case Parameter::School:
        return QStringLiteral("学校");
    case Parameter::NewClass:
        return QStringLiteral("新分班的班号，0 为未分班的学生");
    }
    return QString();
}

QStringList ReportCatalogue::tables(const Entry &entry)
{
    switch (entry.needs) {
    case Needs::Scores:
        return {TableNames::scores, TableNames::teachers};
    case Needs::DivisionData:
    case Needs::Division:
        return {TableNames::divisionData};
    case Needs::Examinees:
    case Needs::Arrangement:
        return {TableNames::examinees, TableNames::rooms};
    }
    return {};
}

QString ReportCatalogue::needsText(Needs needs)
{
    switch (needs) {
    case Needs::Scores:
        return QStringLiteral("先导入成绩数据");
    case Needs::DivisionData:
        return QStringLiteral("先导入分班数据");
    case Needs::Division:
        return QStringLiteral("先分班");
    case Needs::Examinees:
        return QStringLiteral("先导入考场编排数据");
    case Needs::Arrangement:
        return QStringLiteral("先编排考场");
    }
    return QString();
}

} // namespace fenpai
