#include "cli/reportcommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "db/transaction.h"
#include "grid/grid.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/reports/reportcatalogue.h"

namespace fenpai {

namespace {

// The catalogue as help lists it: name and argument, what it is, what must come first.
QString catalogueText()
{
    QString text = QStringLiteral("报表：\n");
    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries()) {
        QString left = e.name;
        if (e.parameter != ReportCatalogue::Parameter::None)
            left += u' ' + ReportCatalogue::argumentName(e.parameter);
        QString right = e.caption;
        if (e.parameter != ReportCatalogue::Parameter::None)
            right += QStringLiteral("；%1 为%2")
                         .arg(ReportCatalogue::argumentName(e.parameter),
                              ReportCatalogue::argumentHelp(e.parameter));
        right += QStringLiteral("（%1）").arg(ReportCatalogue::needsText(e.needs));
        text += QStringLiteral("  %1  %2\n").arg(left.leftJustified(28), right);
    }
    return text;
}

} // namespace

const CommandLine::Syntax &ReportCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("report"),
        .summary =
            QStringLiteral("生成报表（名单、统计表、座位表等）并输出为 csv、xlsx、html 或 pdf"),
        .usage = QStringLiteral("fenpai report NAME [ARGUMENT] [--format csv|xlsx|html|pdf] "
                                "[--seat-order ORDER] -o FILE"),
        .arguments = {QStringLiteral("NAME"), QStringLiteral("[ARGUMENT]")},
        .options = {CommandLine::formatOption({QStringLiteral("csv"), QStringLiteral("xlsx"),
                                               QStringLiteral("html"), QStringLiteral("pdf")}),
                    CommandLine::seatOrderOption(), CommandLine::outputOption()},
        .examples = {QStringLiteral("fenpai --data-dir D report room-list 1 --format pdf -o "
                                    "第1考场考生名单.pdf"),
                     QStringLiteral("fenpai --data-dir D report new-class-stats -o 新班统计.xlsx"),
                     QStringLiteral("fenpai --data-dir D report exam-class-list \"一中/初三(1)班\" "
                                    "-o 班级考号.csv")},
        .notes = catalogueText(),
    };
    return syntax;
}

int ReportCommand::run(CliContext &context, const CommandLine &line)
{
    const ReportCatalogue::Entry *entry = ReportCatalogue::find(line.argument(0));
    if (!entry)
        return context.badUsage(
            QStringLiteral("没有名为 %1 的报表（fenpai help report 列出全部报表）")
                .arg(line.argument(0)));
    const QString argument = line.argument(1);
    if (entry->parameter != ReportCatalogue::Parameter::None && line.arguments().size() < 2)
        return context.badUsage(QStringLiteral("报表 %1 需要参数 %2：%3")
                                    .arg(entry->name,
                                         ReportCatalogue::argumentName(entry->parameter),
                                         ReportCatalogue::argumentHelp(entry->parameter)));
    Result<ReportCatalogue::Request> request = ReportCatalogue::request(*entry, argument);
    if (!request)
        return context.badUsage(request.status());
    if (line.isSet(QStringLiteral("seat-order")))
        request->order = *DeskLayout::seatOrderFromName(line.value(QStringLiteral("seat-order")));
    const QString output = line.value(QStringLiteral("o"));
    if (output.isEmpty())
        return context.badUsage(QStringLiteral("请用 -o FILE 指定输出文件"));
    const Result<QString> format =
        DocumentOutput::chooseFormat(line.value(QStringLiteral("format")), output);
    if (!format)
        return context.badUsage(format.status());

    Database db;
    if (!context.openDatabase(db))
        return 1;
    // A report redefines its saved query; when its output cannot be written, the query goes
    // back to what it was, so that a failed command changes nothing.
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return context.fail(transaction.status());
    Grid grid;
    const Result<ReportDocument> built = entry->build(db, grid, *request);
    if (!built)
        return context.fail(built.status());
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    // After some failures SQLite ends the transaction itself; what the report made since is
    // this connection's own and needs no commit.
    if (db.inTransaction()) {
        if (const Status committed = transaction.commit(); !committed.isOk())
            return context.fail(committed);
    }
    context.out() << built->title << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
