#include "cli/titlescommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/documents/reporttitles.h"

#include <QTextStream>

namespace fenpai {

const CommandLine::Syntax &TitlesCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("titles"),
        .summary = QStringLiteral(
            "报表标题：设置或显示每张报表标题下左右两端的文字和日期（不带选项时只显示）"),
        .usage = QStringLiteral("fenpai titles [--left TEXT] [--right TEXT] [--date on|off]"),
        .arguments = {},
        .options = {{.name = QStringLiteral("left"),
                     .valueName = QStringLiteral("TEXT"),
                     .help = QStringLiteral("左端文字（副左标题），如学校名称")},
                    {.name = QStringLiteral("right"),
                     .valueName = QStringLiteral("TEXT"),
                     .help = QStringLiteral("右端文字（副右标题），如学年和考试")},
                    {.name = QStringLiteral("date"),
                     .valueName = QStringLiteral("ON"),
                     .help = QStringLiteral("是否印日期"),
                     .choices = {QStringLiteral("on"), QStringLiteral("off")}}},
        .examples = {QStringLiteral("fenpai --data-dir D titles --left 城关中学 --right "
                                    "2026-2027学年第一学期期中考试 --date on"),
                     QStringLiteral("fenpai --data-dir D titles")},
        .notes = {},
    };
    return syntax;
}

int TitlesCommand::run(CliContext &context, const CommandLine &line)
{
    Database db;
    if (!context.openDatabase(db))
        return 1;
    ReportFormat::Subtitle titles = ReportTitles::read(db);
    const bool change = line.isSet(QStringLiteral("left")) || line.isSet(QStringLiteral("right")) ||
                        line.isSet(QStringLiteral("date"));
    if (change) {
        if (line.isSet(QStringLiteral("left")))
            titles.left = line.value(QStringLiteral("left"));
        if (line.isSet(QStringLiteral("right")))
            titles.right = line.value(QStringLiteral("right"));
        if (line.isSet(QStringLiteral("date")))
            titles.showDate = line.value(QStringLiteral("date")) == QLatin1String("on");
        if (const Status s = ReportTitles::write(db, titles); !s.isOk())
            return context.fail(s);
    }
    context.out() << QStringLiteral("左标题：") << titles.left << '\n'
                  << QStringLiteral("右标题：") << titles.right << '\n'
                  << QStringLiteral("显示日期：")
                  << (titles.showDate ? QStringLiteral("是") : QStringLiteral("否")) << '\n';
    if (ReportTitles::isFactory(titles))
        context.err() << ReportTitles::factoryHint() << '\n';
    return 0;
}

} // namespace fenpai
