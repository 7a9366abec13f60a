#pragma once

#include "core/result.h"
#include "jobs/arrangement/arrangementsettings.h"
#include "jobs/reports/reportdocument.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace fenpai {

class Database;
class Grid;

// Every report a document can be made of, one row each: its name on the command line, what it
// is, where the window offers it, what it needs first, the one value it takes and its builder.
// The window's menus and `fenpai report` both read this table, so adding a report is one
// builder and one row.
class ReportCatalogue final
{
public:
    // The one value a report takes.
    enum class Parameter
    {
        None,
        Room,     // a room ordinal, 0 for every room
        Class,    // "SCHOOL/CLASS" of 考生表; empty for every class
        School,   // a school of 考生表
        NewClass, // a new class number, 0 for the pupils not yet placed
    };
    // What has to be done before the report shows anything.
    enum class Needs
    {
        Scores,       // 成绩表 and 教师表 imported
        DivisionData, // 分班数据表 imported
        Division,     // the intake divided
        Examinees,    // 考生表 imported
        Arrangement,  // the examinees arranged
    };

    struct Request
    {
        int number = 0; // Room: the ordinal; NewClass: the class number
        QString school;
        QString className;
        SeatOrder order = SeatOrder::ByColumn; // how seat charts number the desks
        // Sign-in sheets: photo thumbnails from this folder, named by this 考生表 column
        // (姓名, 考号 or 照片); none without a folder.
        QString photoFolder;
        QString photoField;
    };
    using Builder = Result<ReportDocument> (*)(Database &db, Grid &grid, const Request &request);

    // Where the window offers a report: a menu entry or a data-driven submenu of that object
    // name; a window without it adds an entry `caption` at the end of the menu `parent`.
    struct MenuPlace
    {
        QString name;
        QString parent;
        QString caption;
    };

    struct Entry
    {
        QString name;    // fenpai report NAME
        QString caption; // what it is, as help lists it
        MenuPlace menu;
        bool needsLogin = false; // the window asks for the login first
        Needs needs = Needs::Examinees;
        Parameter parameter = Parameter::None;
        Builder build = nullptr;
    };

    static const std::vector<Entry> &entries();
    static const Entry *find(const QString &name);

    // The request of the command line's argument (empty when the report takes none); the
    // refusal names what the argument should be.
    [[nodiscard]] static Result<Request> request(const Entry &entry, const QString &argument);
    // The request of the item chosen in the report's submenu: item 0 is its first, fixed item,
    // `caption` the item's text. None when the item opens nothing.
    static std::optional<Request> menuRequest(const Entry &entry, int item, const QString &caption);
    // The report the first item of an entry's submenu opens when that item asks for none of the
    // entry's own: 全面统计's 学校 opens the statistics of every school. nullptr: none.
    static const Entry *firstItemReport(const Entry &entry);

    // How help names and explains the argument ("K", "考场序号，0 为全部考场"); empty for None.
    static QString argumentName(Parameter parameter);
    static QString argumentHelp(Parameter parameter);
    static QString needsText(Needs needs);
    // The tables a report of this row reads: a change to one of them makes it out of date.
    static QStringList tables(const Entry &entry);
};

} // namespace fenpai
