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

const CommandLine::Spec &ImportCommands::importSpec()
{
    static const CommandLine::Spec spec{
        QStringLiteral("import"),
        QStringLiteral("导入电子表格（.xls/.xlsx/.ods）：分班数据、考场编排数据或成绩数据"),
        QStringLiteral("fenpai import division|arrangement|scores FILE"),
        {QStringLiteral("division|arrangement|scores"), QStringLiteral("FILE")},
        {},
        {QStringLiteral("fenpai --data-dir D import division 分班数据.xlsx"),
         QStringLiteral("fenpai --data-dir D import arrangement 考场编排数据.xlsx")},
        QStringLiteral(
            "division：Sheet1 导入为 分班数据表；arrangement：Sheet1 导入为 考生表、Sheet2 "
            "导入为 考场表；scores：Sheet1 导入为 成绩表、Sheet2 导入为 教师表。\n"
            "导入失败时数据表保持原样。"),
    };
    return spec;
}

int ImportCommands::import(CliContext &context, const CommandLine &line)
{
    const QString what = line.argument(0);
    const QString file = line.argument(1);
    if (what != QLatin1String("division") && what != QLatin1String("arrangement") &&
        what != QLatin1String("scores"))
        return context.badUsage(
            QStringLiteral("导入的数据只能是 division、arrangement 或 scores：") + what);
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<ImportReport> report =
        what == QLatin1String("division")      ? SpreadsheetImport::importDivision(db, file)
        : what == QLatin1String("arrangement") ? SpreadsheetImport::importArrangement(db, file)
                                               : SpreadsheetImport::importScores(db, file);
    if (!report)
        return context.fail(forTerminal(report.status().message()));
    for (const ImportedTable &t : report->tables)
        context.out() << t.table << QStringLiteral("：") << t.rowCount << QStringLiteral(" 行\n");
    context.out() << SpreadsheetImport::successMessage() << '\n';
    if (report->lacksColumns())
        context.err() << report->missingColumnsNotice() << '\n';
    return 0;
}

const CommandLine::Spec &ImportCommands::demoSpec()
{
    static const CommandLine::Spec spec{
        QStringLiteral("demo"),
        QStringLiteral("写出演示数据工作簿（分班数据.xlsx、考场编排数据.xlsx、成绩数据.xlsx）"),
        QStringLiteral("fenpai demo [--small] DIR"),
        {QStringLiteral("DIR")},
        {{.name = QStringLiteral("small"),
          .help = QStringLiteral("只写几十行的小工作簿，可作模板")}},
        {QStringLiteral("fenpai demo 演示数据"), QStringLiteral("fenpai demo --small 模板")},
        {},
    };
    return spec;
}

int ImportCommands::demo(CliContext &context, const CommandLine &line)
{
    const bool small = line.isSet(QStringLiteral("small"));
    // The small workbooks are the manual's templates: every column, a few rows to overwrite.
    DemoOptions options;
    if (small) {
        options.pupils = 40;
        options.schools = 4;
        options.classesPerSchool = 2;
        options.pupilsPerClass = 15;
        options.rooms = 2;
    }
    const QString target = line.argument(0);
    const Status s = DemoData::write(target, options);
    if (!s.isOk())
        return context.fail(s);
    const QDir dir(target);
    context.out() << QDir::toNativeSeparators(dir.filePath(DemoData::divisionFileName())) << '\n'
                  << QDir::toNativeSeparators(dir.filePath(DemoData::arrangementFileName())) << '\n'
                  << QDir::toNativeSeparators(dir.filePath(DemoData::scoresFileName())) << '\n';
    return 0;
}

} // namespace fenpai
