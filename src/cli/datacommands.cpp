#include "cli/datacommands.h"

#include "cli/clicontext.h"
#include "cli/csvwriter.h"
#include "db/database.h"
#include "db/maintenance.h"

#include <QTextStream>

namespace fenpai {

int DataCommands::sql(CliContext &context, const QStringList &args)
{
    if (args.size() != 1)
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    Result<Statement> statement = db.prepare(args.first());
    if (!statement) {
        if (const QString missing = db.missingRelation(args.first());
            statement.status().isSqlError() && !missing.isEmpty())
            return context.fail(QStringLiteral("找不到数据表 ") + missing);
        return context.fail(statement.status());
    }
    if (statement->columnCount() == 0) {
        const Status s = statement->exec();
        return s.isOk() ? 0 : context.fail(s);
    }
    Query query(std::move(*statement));
    if (!query.status().isOk())
        return context.fail(query.status());
    CsvWriter::write(context.out(), query);
    if (!query.status().isOk())
        return context.fail(query.status());
    return 0;
}

int DataCommands::tables(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    for (const QString &t : db.tables())
        context.out() << t << QStringLiteral("\t表\n");
    for (const QString &v : db.views())
        context.out() << v << QStringLiteral("\t查询\n");
    return 0;
}

int DataCommands::repair(CliContext &context, const QStringList &args)
{
    if (!args.isEmpty())
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Status s = Maintenance::repairSystemTables(db);
    return s.isOk() ? 0 : context.fail(s);
}

} // namespace fenpai
