#include "cli/statuscommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/status/yearstatus.h"

#include <QDir>
#include <QTextStream>

namespace fenpai {

const CommandLine::Syntax &StatusCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("status"),
        .summary =
            QStringLiteral("显示数据库中的进度：导入了什么、是否已分班和编排、最近运行的任务"),
        .usage = QStringLiteral("fenpai status"),
        .arguments = {},
        .options = {},
        .examples = {QStringLiteral("fenpai --data-dir D status")},
        .notes = QStringLiteral(
            "每种导入、分班、编排和安置新增学生（考生）只记最近一次：时间、文件和设置。"),
    };
    return syntax;
}

int StatusCommand::run(CliContext &context, const CommandLine &)
{
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<YearStatus> status = YearStatus::read(db);
    if (!status)
        return context.fail(status.status());
    QTextStream &out = context.out();
    out << QStringLiteral("数据库：") << QDir::toNativeSeparators(db.path()) << '\n';
    for (const QString &line : status->lines())
        out << line << '\n';
    return 0;
}

} // namespace fenpai
