#include "cli/importcommands.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/import/preparedimport.h"
#include "jobs/import/spreadsheetimport.h"
#include "workbook/demodata.h"

#include <QDir>
#include <QHash>
#include <QTextStream>

namespace fenpai {

namespace {

// The advice texts break their lines with a bare carriage return; a terminal wants a line feed.
QString forTerminal(const QString &message)
{
    QString text = message;
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// The request the parsed line asks for, or why it cannot be one.
Result<ImportRequest> requestOf(const CommandLine &line)
{
    static const QHash<QString, ImportKind> kinds = {
        {QStringLiteral("division"), ImportKind::Division},
        {QStringLiteral("arrangement"), ImportKind::Arrangement},
        {QStringLiteral("scores"), ImportKind::Scores}};
    const QString what = line.argument(0);
    if (!kinds.contains(what))
        return Status::refused(
            QStringLiteral("导入的数据只能是 division、arrangement 或 scores：") + what);
    ImportRequest request;
    request.kind = kinds.value(what);
    request.files = line.arguments().mid(1);
    request.sheets = {line.value(QStringLiteral("sheet")), line.value(QStringLiteral("sheet2"))};
    if (request.kind == ImportKind::Division &&
        (request.files.size() > 1 || !request.sheets[1].isEmpty()))
        return Status::refused(QStringLiteral("新生分班数据只有一个表：一个文件，没有 --sheet2"));
    QString map = line.value(QStringLiteral("map"));
    map.replace(QStringLiteral("，"), QStringLiteral(","));
    for (const QString &pair : map.split(u',', Qt::SkipEmptyParts)) {
        if (!pair.contains(u'='))
            return Status::refused(QStringLiteral("--map 的每一项应写成 字段=列名：") + pair);
        request.columns.insert(pair.section(u'=', 0, 0).trimmed(), pair.section(u'=', 1));
    }
    return request;
}

// What to type to answer an import's question.
QString hint(const PreparedImport &prepared, const Status &refusal)
{
    if (refusal.kind() == Status::Kind::MissingColumn)
        return QStringLiteral("请用 --map 字段=列名 指明哪一列是哪个字段，多个用逗号隔开，"
                              "例如 --map 姓名=学生,成绩=总分；“字段=”表示加一个空列。");
    for (size_t i = 0; i < prepared.tables().size(); ++i) {
        const PreparedImport::Table &t = prepared.tables()[i];
        if (t.wantsFile)
            return QStringLiteral("请在第一个文件后再给出%1的文件。").arg(t.table);
        if (t.sheet.isEmpty())
            return QStringLiteral("请用 %1 工作表名 指定。")
                .arg(i == 0 ? QStringLiteral("--sheet") : QStringLiteral("--sheet2"));
    }
    return QString();
}

} // namespace

const CommandLine::Syntax &ImportCommands::importSyntax()
{
    static const CommandLine::Syntax syntax{
        QStringLiteral("import"),
        QStringLiteral("导入工作簿（.xls/.xlsx/.ods）或文本文件（.csv/.txt）：分班数据、"
                       "考场编排数据或成绩数据"),
        QStringLiteral("fenpai import division|arrangement|scores FILE [FILE2] [--sheet 工作表] "
                       "[--sheet2 工作表] [--map 字段=列名,…]"),
        {QStringLiteral("division|arrangement|scores"), QStringLiteral("FILE"),
         QStringLiteral("[FILE2]")},
        {{.name = QStringLiteral("sheet"),
          .valueName = QStringLiteral("工作表"),
          .help = QStringLiteral("第一个表所在的工作表（没有 Sheet1 时）")},
         {.name = QStringLiteral("sheet2"),
          .valueName = QStringLiteral("工作表"),
          .help = QStringLiteral("第二个表（考场表、教师表）所在的工作表（没有 Sheet2 时）")},
         {.name = QStringLiteral("map"),
          .valueName = QStringLiteral("字段=列名,…"),
          .help = QStringLiteral("哪一列对应哪个字段；“字段=”加一个空列")}},
        {QStringLiteral("fenpai --data-dir D import division 分班数据.xlsx"),
         QStringLiteral(
             "fenpai --data-dir D import division 初一新生.csv --map 姓名=学生,成绩=总分"),
         QStringLiteral("fenpai --data-dir D import arrangement 考生.csv 考场.csv")},
        QStringLiteral(
            "division：Sheet1 导入为 分班数据表；arrangement：Sheet1 导入为 考生表、Sheet2"
            "（或 FILE2）导入为 考场表；scores：Sheet1 导入为 成绩表、Sheet2（或 FILE2）导入为 "
            "教师表。\n"
            "没有 Sheet1 时用工作簿唯一的工作表；字段先找同名的列，再找常用列名。工作表或字段"
            "不能确定时不导入，并说明用哪个选项补上。导入失败时数据表保持原样。"),
    };
    return syntax;
}

int ImportCommands::import(CliContext &context, const CommandLine &line)
{
    const Result<ImportRequest> request = requestOf(line);
    if (!request)
        return context.badUsage(request.status());
    const Result<PreparedImport> prepared = PreparedImport::read(*request);
    if (!prepared)
        return context.fail(forTerminal(prepared.status().message()));
    if (const Status refusal = prepared->refusal(); !refusal.isOk())
        return context.fail(refusal.message() + u'\n' + hint(*prepared, refusal));
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<ImportReport> report = prepared->write(db);
    if (!report)
        return context.fail(forTerminal(report.status().message()));
    for (const ImportedTable &t : report->tables)
        context.out() << t.table << QStringLiteral("：") << t.rowCount << QStringLiteral(" 行\n");
    // Scripts go on without a question; what went is said.
    for (const ReplacedResult &r : report->replaced)
        context.out() << r.notice() << '\n';
    if (const QString mapping = report->mappingNotice(); !mapping.isEmpty())
        context.out() << mapping << '\n';
    context.out() << SpreadsheetImport::successMessage() << '\n';
    if (const QString controls = report->controlsNotice(); !controls.isEmpty())
        context.err() << controls << '\n';
    if (report->lacksColumns())
        context.err() << report->missingColumnsNotice() << '\n';
    return 0;
}

const CommandLine::Syntax &ImportCommands::demoSyntax()
{
    static const CommandLine::Syntax syntax{
        QStringLiteral("demo"),
        QStringLiteral("写出演示数据工作簿（分班数据.xlsx、考场编排数据.xlsx、成绩数据.xlsx）"),
        QStringLiteral("fenpai demo [--small] DIR"),
        {QStringLiteral("DIR")},
        {{.name = QStringLiteral("small"),
          .help = QStringLiteral("只写几十行的小工作簿，可作模板")}},
        {QStringLiteral("fenpai demo 演示数据"), QStringLiteral("fenpai demo --small 模板")},
        {},
    };
    return syntax;
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
