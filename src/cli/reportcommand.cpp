#include "cli/reportcommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/reports/scoreinforeport.h"

#include <vector>

namespace fenpai {

namespace {

struct Report
{
    const char *name;
    QString (*title)();
    Status (*build)(Database &db, Grid &grid);
};

const std::vector<Report> &reports()
{
    static const std::vector<Report> table = {
        {"score-info", &ScoreInfoReport::title, &ScoreInfoReport::build},
    };
    return table;
}

} // namespace

QStringList ReportCommand::names()
{
    QStringList names;
    for (const Report &r : reports())
        names.append(QString::fromLatin1(r.name));
    return names;
}

int ReportCommand::run(CliContext &context, const QStringList &args)
{
    QString name, format, output;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--format") && hasValue)
            format = args[++i];
        else if ((a == QLatin1String("-o") || a == QLatin1String("--output")) && hasValue)
            output = args[++i];
        else if (!a.startsWith(u'-') && name.isEmpty())
            name = a;
        else
            return 2;
    }
    const Report *report = nullptr;
    for (const Report &r : reports()) {
        if (name == QLatin1String(r.name))
            report = &r;
    }
    format = DocumentOutput::format(format, output);
    if (!report || output.isEmpty() || format.isEmpty())
        return 2;

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    if (const Status built = report->build(db, grid); !built.isOk())
        return context.fail(built.message());
    if (const Status written = DocumentOutput::write(grid, format, output); !written.isOk())
        return context.fail(written);
    context.out() << report->title() << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
