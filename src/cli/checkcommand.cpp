#include "cli/checkcommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/reports/mixingcheck.h"

namespace fenpai {

int CheckCommand::run(CliContext &context, const QStringList &args)
{
    // The desks are laid out in the seat order the arrangement used.
    SeatOrder order = SeatOrder::ByColumn;
    if (args.size() == 3 && args[1] == QLatin1String("--seat-order")) {
        const std::optional<SeatOrder> named = DeskLayout::seatOrderFromName(args[2]);
        if (!named)
            return 2;
        order = *named;
    } else if (args.size() != 1) {
        return 2;
    }
    if (args[0] != QLatin1String("mixing"))
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<QStringList> findings = MixingCheck::findings(db, order);
    if (!findings)
        return context.fail(findings.status());
    // Findings are what the check is for, not a failure: the exit status stays 0.
    if (findings->isEmpty())
        context.out() << MixingCheck::allMixedText() << '\n';
    for (const QString &line : *findings)
        context.out() << line << '\n';
    return 0;
}

} // namespace fenpai
