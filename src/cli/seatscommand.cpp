#include "cli/seatscommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/reports/seatchart.h"

namespace fenpai {

int SeatsCommand::run(CliContext &context, const QStringList &args)
{
    QString room, format, output;
    SeatChart::Request request;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return 2;
        const QString &value = args[++i];
        if (a == QLatin1String("--room")) {
            room = value;
        } else if (a == QLatin1String("--format")) {
            format = value;
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            output = value;
        } else if (a == QLatin1String("--seat-order")) {
            const std::optional<SeatOrder> order = DeskLayout::seatOrderFromName(value);
            if (!order)
                return 2;
            request.order = *order;
        } else {
            return 2;
        }
    }
    // A chart is for paper and spreadsheets; CSV would lose its desks.
    if (format.isEmpty() && !output.contains(u'.'))
        format = QStringLiteral("pdf");
    format = DocumentOutput::format(format, output);
    if (room.isEmpty() || output.isEmpty() || format.isEmpty() || format == QLatin1String("csv"))
        return 2;
    if (room != QLatin1String("all")) {
        bool ok = false;
        request.room = room.toInt(&ok);
        if (!ok || request.room < 1)
            return context.fail(QStringLiteral("考场应为考场序号 1、2、3……，或 all 为全部考场"));
    }

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    const Result<ExamListings::Listing> chart = SeatChart::build(db, grid, request);
    if (!chart)
        return context.fail(chart.status().message());
    if (const Status written = DocumentOutput::write(grid, format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << chart->title << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
