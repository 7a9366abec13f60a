#include "cli/checkcommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/reports/mixingcheck.h"

namespace fenpai {

int CheckCommand::run(CliContext &context, const QStringList &args)
{
    if (args != QStringList{QStringLiteral("mixing")})
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<QStringList> findings = MixingCheck::findings(db);
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
