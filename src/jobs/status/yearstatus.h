#pragma once

#include "core/result.h"
#include "db/runlog.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace fenpai {

class Database;

// Where the school year stands in one database: what was imported and when, whether the intake
// is divided and the examinees arranged, and the last run of every job. Read for the start page
// and `fenpai status`; it never changes anything.
struct YearStatus
{
    struct Division
    {
        bool imported = false; // 分班数据表 exists
        qint64 pupils = 0;
        qint64 placed = 0; // pupils with a class
        qint64 classes = 0;
        std::optional<RunRecord> import, division, placement;
    };
    struct Arrangement
    {
        bool imported = false; // 考生表 and 考场表 exist
        qint64 examinees = 0;
        qint64 rooms = 0;
        qint64 seated = 0; // examinees with a room
        std::optional<RunRecord> import, arrangement, placement;
    };
    struct Scores
    {
        bool imported = false; // 成绩表 has rows
        qint64 rows = 0;
        std::optional<RunRecord> import;
    };

    Division division;
    Arrangement arrangement;
    Scores scores;
    std::vector<RunRecord> runs; // every job's last run, the latest first
    QDate today;                 // the day read: times of this year are said without it

    [[nodiscard]] static Result<YearStatus> read(Database &db);

    // Each road's state as a person reads it, step by step.
    QString
    divisionDataText() const; // "分班数据表 600 名学生（来自 分班数据.xlsx，12月7日 10:30 导入）"
    QString divisionText() const; // "已分 12 个班（12月7日 10:32）" or "未分班"
    QString examDataText() const; // "考生表 1200 名考生 · 考场表 40 个考场（来自 …）"
    QString arrangementText() const; // "已编排 1200 名考生（…）" or "未编排"
    QString scoresText() const;
    bool divided() const { return division.placed > 0; }
    bool arranged() const { return arrangement.seated > 0; }

    // A day and a time the way the office says it: "12月7日 10:32", with the year when it is
    // not this one.
    static QString when(const QDateTime &time, const QDate &today);
    // The lines of `fenpai status`.
    QStringList lines() const;
};

} // namespace fenpai
