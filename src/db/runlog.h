#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace fenpai {

class Database;

// One job's last run: when, from which file (an import's), with which settings.
struct RunRecord
{
    QString job;
    QDateTime when; // local time, to the second
    QString file;   // the files' names without folders (、 between); empty for jobs that read none
    QString settings;
};

// The last run of each job (imports, divisions, arrangements, late placements), kept in the
// database beside the data it made, so the start page and `fenpai status` can say what happened
// last. One small table of ours (运行记录: 任务, 时间, 文件, 设置), made on first use.
class RunLog final
{
public:
    static const QString &tableName();
    // The jobs' names as kept in 任务 and shown to the user.
    static QString divisionImport() { return QStringLiteral("导入分班数据"); }
    static QString arrangementImport() { return QStringLiteral("导入考场编排数据"); }
    static QString scoresImport() { return QStringLiteral("导入成绩数据"); }
    static QString division() { return QStringLiteral("分班"); }
    static QString pupilPlacement() { return QStringLiteral("安置新增学生"); }
    static QString arrangement() { return QStringLiteral("编排"); }
    static QString examineePlacement() { return QStringLiteral("安置新增考生"); }

    // Replaces the job's record. Runs inside the caller's transaction when there is one, so a
    // run that fails later keeps the record of the run before it.
    [[nodiscard]] static Status record(Database &db, const RunRecord &run);
    // The same, now.
    [[nodiscard]] static Status record(Database &db, const QString &job, const QString &file,
                                       const QString &settings);
    // The job's record; none when the table or the row is missing.
    [[nodiscard]] static Result<std::optional<RunRecord>> last(Database &db, const QString &job);
    // Every record, the latest first.
    [[nodiscard]] static Result<std::vector<RunRecord>> all(Database &db);
};

} // namespace fenpai
