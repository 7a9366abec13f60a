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

int ShowCommand::run(CliContext &context, const QStringList &args)
{
    QString source, title, report, format, output, pageSetupPath;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        auto value = [&](QString &into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--title"))
            ok = value(title);
        else if (a == QLatin1String("--report"))
            ok = value(report);
        else if (a == QLatin1String("--format"))
            ok = value(format);
        else if (a == QLatin1String("--page-setup"))
            ok = value(pageSetupPath);
        else if (a == QLatin1String("-o") || a == QLatin1String("--output"))
            ok = value(output);
        else if (a.startsWith(u'-') || !source.isEmpty())
            ok = false;
        else
            source = a;
        if (!ok)
            return 2;
    }
    if (source.isEmpty() || output.isEmpty())
        return 2;
    format = DocumentOutput::format(format, output);
    if (format.isEmpty() || !(report.isEmpty() || report == QLatin1String("statistics") ||
                              report == QLatin1String("plain")))
        return 2;
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
        page.footer = QStringLiteral("共&n页  第&p页");
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

    if (const Status written = DocumentOutput::write(grid, format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << filled.titleText << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
