#include "cli/showcommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "grid/pagesetupfile.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/reportformat.h"

#include <optional>

namespace fenpai {

const CommandLine::Syntax &ShowCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("show"),
        .summary = QStringLiteral("把数据表或查询填入文档并输出（csv、xlsx、html、pdf）"),
        .usage = QStringLiteral("fenpai show SOURCE [--title T] [--report statistics|plain] "
                                "[--format csv|xlsx|html|pdf] [--page-setup FILE.json] -o FILE"),
        .arguments = {QStringLiteral("SOURCE")},
        .options =
            {
                {.name = QStringLiteral("title"),
                 .valueName = QStringLiteral("T"),
                 .help = QStringLiteral("文档标题，默认为数据表或查询的名称")},
                {.name = QStringLiteral("report"),
                 .valueName = QStringLiteral("FORMAT"),
                 .help = QStringLiteral("套用标准报表格式：statistics 统计表，plain 普通表"),
                 .choices = {QStringLiteral("statistics"), QStringLiteral("plain")}},
                CommandLine::formatOption({QStringLiteral("csv"), QStringLiteral("xlsx"),
                                           QStringLiteral("html"), QStringLiteral("pdf")}),
                {.name = QStringLiteral("page-setup"),
                 .valueName = QStringLiteral("FILE.json"),
                 .help = QStringLiteral("页面设置对话框“另存为设置…”保存的页面设置")},
                CommandLine::outputOption(),
            },
        .examples = {QStringLiteral("fenpai --data-dir D show 考生表 --format xlsx -o 考生表.xlsx"),
                     QStringLiteral("fenpai --data-dir D show NewQry3 --title 新分班基本情况表 "
                                    "--report statistics -o 新班统计.pdf")},
        .notes = {},
    };
    return syntax;
}

int ShowCommand::run(CliContext &context, const CommandLine &line)
{
    const QString source = line.argument(0);
    const QString report = line.value(QStringLiteral("report"));
    const QString pageSetupPath = line.value(QStringLiteral("page-setup"));
    const QString output = line.value(QStringLiteral("o"));
    QString title = line.value(QStringLiteral("title"));
    if (output.isEmpty())
        return context.badUsage(QStringLiteral("请用 -o FILE 指定输出文件"));
    const Result<QString> format =
        DocumentOutput::chooseFormat(line.value(QStringLiteral("format")), output);
    if (!format)
        return context.badUsage(format.status());
    if (title.isEmpty())
        title = source;

    // A page setup file that cannot be read stops the command before any work.
    std::optional<PageSetup> pageSetup;
    if (!pageSetupPath.isEmpty()) {
        Result<PageSetup> read = PageSetupFile::load(pageSetupPath);
        if (!read)
            return context.fail(read.status());
        pageSetup = *read;
    }

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    const DocumentFill::Outcome filled = DocumentFill::fill(grid, db, source, title);
    if (!filled.status.isOk())
        return context.fail(filled.status);
    const ReportFormat::Subtitle subtitle = ReportFormat::subtitleFrom(db);
    if (!report.isEmpty()) {
        ReportFormat::apply(grid,
                            report == QLatin1String("plain") ? ReportFormat::Variant::Plain
                                                             : ReportFormat::Variant::Statistics,
                            filled.titleText, subtitle);
    } else {
        // Printed without a report format, a document still carries its titles and page count.
        ReportFormat::setPrintTitles(grid, filled.titleText, subtitle);
        PageSetup page = grid.pageSetup();
        page.footer = PageSetup::standardFooter();
        grid.setPageSetup(page);
    }

    // Saved from the page setup dialog, it prints the document as the window would.
    if (pageSetup)
        grid.setPageSetup(*pageSetup);
    if (report.isEmpty()) {
        // The fill sized the columns for a screen; the paper shows every value whole.
        GridPaperFit::Options fit;
        fit.maxWidth = 240;
        fit.pageWidth = GridPagination::tableWidth(grid);
        GridPaperFit::fitAll(grid, fit);
    }

    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << filled.titleText << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
