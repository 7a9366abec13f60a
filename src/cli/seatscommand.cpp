#include "cli/seatscommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/reports/seatchart.h"

#include <QFileInfo>

#include <limits>

namespace fenpai {

const CommandLine::Syntax &SeatsCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("seats"),
        .summary = QStringLiteral(
            "考场座位表：每张桌子写考号、姓名和班级（pdf、xlsx、html），all 为全部考场，"
            "每考场一页"),
        .usage = QStringLiteral("fenpai seats --room K|all [--seat-order 按列|按列蛇形|按行] "
                                "[--format pdf|xlsx|html] -o FILE"),
        .arguments = {},
        .options = {{.name = QStringLiteral("room"),
                     .valueName = QStringLiteral("K|all"),
                     .help = QStringLiteral("考场序号（考场表的第 K 行），all 为全部考场")},
                    CommandLine::seatOrderOption(),
                    CommandLine::formatOption(
                        {QStringLiteral("pdf"), QStringLiteral("xlsx"), QStringLiteral("html")}),
                    CommandLine::outputOption()},
        .examples = {QStringLiteral("fenpai --data-dir D seats --room all -o 座位表.pdf"),
                     QStringLiteral("fenpai --data-dir D seats --room 3 --seat-order 按行 -o "
                                    "第3考场座位表.pdf")},
        .notes = {},
    };
    return syntax;
}

int SeatsCommand::run(CliContext &context, const CommandLine &line)
{
    SeatChart::Request request;
    const QString room = line.value(QStringLiteral("room"));
    const QString output = line.value(QStringLiteral("o"));
    if (room.isEmpty() || output.isEmpty())
        return context.badUsage(QStringLiteral("请用 --room 指定考场、-o FILE 指定输出文件"));
    if (line.isSet(QStringLiteral("seat-order")))
        request.order = *DeskLayout::seatOrderFromName(line.value(QStringLiteral("seat-order")));
    // A chart is for paper and spreadsheets; CSV would lose its desks.
    QString requested = line.value(QStringLiteral("format"));
    if (requested.isEmpty() && QFileInfo(output).suffix().isEmpty())
        requested = QStringLiteral("pdf");
    const Result<QString> format = DocumentOutput::chooseFormat(requested, output);
    if (!format)
        return context.badUsage(format.status());
    if (*format == QLatin1String("csv"))
        return context.badUsage(QStringLiteral("座位表只能输出为 pdf、xlsx 或 html"));
    if (room != QLatin1String("all")) {
        const std::optional<qint64> ordinal =
            NumberText::wholeNumber(room, 1, std::numeric_limits<int>::max());
        if (!ordinal)
            return context.badUsage(
                QStringLiteral("考场应为考场序号 1、2、3……，或 all 为全部考场"));
        request.room = static_cast<int>(*ordinal);
    }

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    const Result<ReportDocument> chart = SeatChart::build(db, grid, request);
    if (!chart)
        return context.fail(chart.status());
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << chart->title << " → " << output << '\n';
    return 0;
}

} // namespace fenpai
