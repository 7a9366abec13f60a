#include "cli/importcommands.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/import/spreadsheetimport.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QTextStream>

namespace fenpai {

namespace {

// The advice text breaks its line with a bare carriage return; a terminal wants a line feed.
QString forTerminal(const QString &message)
{
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

int ImportCommands::import(CliContext &context, const QStringList &args)
{
    if (args.size() != 2)
        return 2;
    const QString &what = args[0];
    if (what != QLatin1String("division") && what != QLatin1String("arrangement") &&
        what != QLatin1String("scores"))
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<ImportReport> report =
        what == QLatin1String("division")      ? SpreadsheetImport::importDivision(db, args[1])
        : what == QLatin1String("arrangement") ? SpreadsheetImport::importArrangement(db, args[1])
                                               : SpreadsheetImport::importScores(db, args[1]);
    if (!report)
        return context.fail(forTerminal(report.status().message()));
    for (const ImportedTable &t : report->tables)
        context.out() << t.table << QStringLiteral("：") << t.rowCount << QStringLiteral(" 行\n");
    context.out() << SpreadsheetImport::successMessage() << '\n';
    if (report->lacksColumns())
        context.err() << report->missingColumnsNotice() << '\n';
    return 0;
}

int ImportCommands::demo(CliContext &context, const QStringList &args)
{
    const bool small = args.size() == 2 && args[0] == QLatin1String("--small");
    if (args.size() != 1 && !small)
        return 2;
    // The small workbooks are the manual's templates: every column, a few rows to overwrite.
    DemoOptions options;
    if (small) {
        options.pupils = 40;
        options.schools = 4;
        options.classesPerSchool = 2;
        options.pupilsPerClass = 15;
        options.rooms = 2;
    }
    const QString target = args.constLast();
    const Status s = DemoData::write(target, options);
    if (!s.isOk())
        return context.fail(s.message());
    const QDir dir(target);
    context.out() << QDir::toNativeSeparators(dir.filePath(DemoData::divisionFileName())) << '\n'
                  << QDir::toNativeSeparators(dir.filePath(DemoData::arrangementFileName())) << '\n'
                  << QDir::toNativeSeparators(dir.filePath(DemoData::scoresFileName())) << '\n';
    return 0;
}

} // namespace fenpai
