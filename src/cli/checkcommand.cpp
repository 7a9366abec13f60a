#include "cli/checkcommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/reports/mixingcheck.h"

namespace fenpai {

const CommandLine::Syntax &CheckCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("check"),
        .summary =
            QStringLiteral("混排检测：列出考号相邻和座位相邻的同班考生，没有则输出“全部混排”"),
        .usage = QStringLiteral("fenpai check mixing [--seat-order 按列|按列蛇形|按行]"),
        .arguments = {QStringLiteral("mixing")},
        .options = {CommandLine::seatOrderOption()},
        .examples = {QStringLiteral("fenpai --data-dir D check mixing")},
        .notes = QStringLiteral("发现同班考生相邻不算失败，退出状态仍为 0。"),
    };
    return syntax;
}

int CheckCommand::run(CliContext &context, const CommandLine &line)
{
    if (line.argument(0) != QLatin1String("mixing"))
        return context.badUsage(QStringLiteral("check 只能检查 mixing：") + line.argument(0));
    // The desks are laid out in the seat order the arrangement used.
    SeatOrder order = SeatOrder::ByColumn;
    if (line.isSet(QStringLiteral("seat-order")))
        order = *DeskLayout::seatOrderFromName(line.value(QStringLiteral("seat-order")));
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<QStringList> findings = MixingCheck::findings(db, order);
    if (!findings)
        return context.fail(findings.status());
    // Findings are what the check is for, not a failure: the exit status stays 0.
    if (findings->isEmpty())
        context.out() << MixingCheck::allMixedText() << '\n';
    for (const QString &finding : *findings)
        context.out() << finding << '\n';
    return 0;
}

} // namespace fenpai
