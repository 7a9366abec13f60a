#include "cli/showcommand.h"

#include "cli/clicontext.h"
#include "cli/csvwriter.h"
#include "db/database.h"
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridexport.h"
#include "grid/gridpagerenderer.h"
#include "grid/outputfile.h"
#include "jobs/documents/documentfill.h"
#include "jobs/documents/reportformat.h"

#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace fenpai {

namespace {

[[nodiscard]] Status writeCsv(const Grid &grid, const QString &path)
{
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法写入 %1：%2").arg(path, s.message()));
    QTextStream out(file.device());
    // The trailing blank row of a document is for typing, not for export.
    const int last = grid.rows() - 1;
    for (int r = 0; r < last || (r == last && r == 0); ++r) {
        QStringList fields;
        for (int c = 1; c < grid.cols(); ++c)
            fields.append(r == 0 ? grid.cellText(r, c) : grid.displayText(r, c));
        out << CsvWriter::line(fields) << '\n';
    }
    out.flush();
    if (const Status s = file.commit(); !s.isOk())
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法写入 %1：%2").arg(path, s.message()));
    return Status::ok();
}

} // namespace

int ShowCommand::run(CliContext &context, const QStringList &args)
{
    QString source, title, report, format, output;
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
    if (format.isEmpty())
        format = QFileInfo(output).suffix().toLower();
    if (format.isEmpty())
        format = QStringLiteral("csv");
    static const QStringList formats = {QStringLiteral("csv"), QStringLiteral("xlsx"),
                                        QStringLiteral("html"), QStringLiteral("pdf")};
    if (!formats.contains(format) || !(report.isEmpty() || report == QLatin1String("statistics") ||
                                       report == QLatin1String("plain")))
        return 2;
    if (title.isEmpty())
        title = source;

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
        grid.pageSetup().footer = QStringLiteral("共&n页  第&p页");
    }

    Status written;
    if (format == QLatin1String("csv")) {
        written = writeCsv(grid, output);
    } else if (format == QLatin1String("xlsx")) {
        written = GridExport::toXlsx(grid, output);
    } else if (format == QLatin1String("html")) {
        written = GridExport::toHtml(grid, output);
    } else {
        FontSubstitutes::install();
        written = GridPageRenderer(grid).writePdf(output);
    }
    if (!written.isOk())
        return context.fail(written);
    context.out() << filled.titleText << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
