#pragma once

#include "core/result.h"
#include "core/status.h"

#include <QMap>
#include <QString>

namespace fenpai {

class Database;

// The settings of the last full division and the last full arrangement, kept in the database
// beside the data they produced, so that placing late pupils or examinees can go on the same way
// without being told again. One small table of ours (上次运行设置: 任务, 项目, 数值), made on
// first use; a job's settings are replaced whole.
class LastRunSettings final
{
public:
    using Values = QMap<QString, QString>; // 项目 → 数值

    static const QString &tableName();
    // The job names kept in 任务.
    static QString divisionJob() { return QStringLiteral("分班"); }
    static QString arrangementJob() { return QStringLiteral("编排"); }

    // The values stored for `job`; none when the table or the job's rows are missing.
    [[nodiscard]] static Result<Values> read(Database &db, const QString &job);
    // Replaces the job's values. Runs inside the caller's transaction when there is one, so a
    // run that fails later keeps the settings of the run before it.
    [[nodiscard]] static Status write(Database &db, const QString &job, const Values &values);
};

} // namespace fenpai
