#pragma once

#include "core/status.h"

#include <QString>
#include <QStringList>

namespace fenpai {

class Database;

// The tables that come with a database file and their upgrades. The file's user_version is the
// schema version.
class Schema final
{
public:
    static constexpr int currentVersion = 1;

    // Subjects of 成绩表 and 教师表 in a new file.
    static QStringList defaultSubjects();

    // The user row of a new file: name "admin", password "admin" (stored as a hash).
    static QString defaultUserName();

    // Brings the file to the current version: creates what is missing (ustarv with its user row,
    // 成绩表, 教师表, xtsztable and bsxtable with their default rows). One transaction.
    static Status ensure(Database &db);

    static int version(Database &db);

    // The statements of the repair command, in their order.
    static QStringList repairStatements();
    // Its last three: bsxtable (the report titles) dropped, created and given its factory row.
    static QStringList reportTitleStatements();
    // The factory row's subtitles (副左标题, 副右标题): placeholders, not a real school's.
    static QString factoryLeftTitle() { return QStringLiteral("XX县XX中学"); }
    static QString factoryRightTitle() { return QStringLiteral("2008-2009年度下学期"); }
};

} // namespace fenpai
