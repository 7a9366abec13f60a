#include "cli/datacommands.h"

#include "cli/clicontext.h"
#include "cli/csvwriter.h"
#include "db/database.h"
#include "db/maintenance.h"

#include <QTextStream>

namespace fenpai {

const CommandLine::Syntax &DataCommands::sqlSyntax()
{
    static const CommandLine::Syntax syntax{
        QStringLiteral("sql"),
        QStringLiteral("执行一条 SQL 语句，查询结果以 CSV 输出"),
        QStringLiteral("fenpai sql STATEMENT"),
        {QStringLiteral("STATEMENT")},
        {},
        {QStringLiteral("fenpai --data-dir D sql \"select count(*) from 考生表\"")},
        QStringLiteral("查询的结果为 CSV（UTF-8，第一行为字段名）；其它语句执行后不输出。"),
    };
    return syntax;
}

int DataCommands::sql(CliContext &context, const CommandLine &line)
{
    const QString statementText = line.argument(0);
    Database db;
    if (!context.openDatabase(db))
        return 1;
    Result<Statement> statement = db.prepare(statementText);
    if (!statement) {
        if (const QString missing = db.missingRelation(statementText);
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

const CommandLine::Syntax &DataCommands::tablesSyntax()
{
    static const CommandLine::Syntax syntax{
        QStringLiteral("tables"),
        QStringLiteral("列出数据表和保存的查询"),
        QStringLiteral("fenpai tables"),
        {},
        {},
        {QStringLiteral("fenpai --data-dir D tables")},
        {},
    };
    return syntax;
}

int DataCommands::tables(CliContext &context, const CommandLine &)
{
    Database db;
    if (!context.openDatabase(db))
        return 1;
    for (const QString &t : db.tables())
        context.out() << t << QStringLiteral("\t表\n");
    for (const QString &v : db.views())
        context.out() << v << QStringLiteral("\t查询\n");
    return 0;
}

const CommandLine::Syntax &DataCommands::repairSyntax()
{
    static const CommandLine::Syntax syntax{
        QStringLiteral("repair"),
        QStringLiteral("修复系统表（xtsztable、bsxtable），恢复为默认设置"),
        QStringLiteral("fenpai repair"),
        {},
        {},
        {QStringLiteral("fenpai --data-dir D repair")},
        {},
    };
    return syntax;
}

int DataCommands::repair(CliContext &context, const CommandLine &)
{
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Status s = Maintenance::repairSystemTables(db);
    return s.isOk() ? 0 : context.fail(s);
}

} // namespace fenpai
