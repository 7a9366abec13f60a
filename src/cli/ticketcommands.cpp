#include "cli/ticketcommands.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/tickettemplates.h"

#include <QCoreApplication>

#include <limits>

namespace fenpai {

namespace {

// "SCHOOL/C1,C2": the school before the first "/", the classes after it.
void setClasses(TicketSettings &settings, const QString &value)
{
    const qsizetype slash = value.indexOf(u'/');
    settings.school = slash < 0 ? value : value.left(slash);
    settings.groups = slash < 0 ? QStringList() : value.mid(slash + 1).split(u',');
}

// The rooms of --room (one) or --stacked-rooms (a list) as the ordinals the drop-down shows.
Result<QStringList> roomOrdinals(const QString &option, const QString &value, bool list)
{
    QStringList rooms;
    for (const QString &part : list ? value.split(u',') : QStringList{value}) {
        const std::optional<qint64> room =
            NumberText::wholeNumber(part, 1, std::numeric_limits<int>::max());
        if (!room)
            return Status::refused(
                QStringLiteral("--%1 应为考场序号 1、2、3……：%2").arg(option, part));
        rooms.append(QString::number(*room));
    }
    return rooms;
}

// What --class, --room, --stacked-classes and --stacked-rooms choose; `selections` counts the
// ones given, of which there must be one.
Status readSelection(const CommandLine &line, TicketSettings &settings, int &selections)
{
    for (const char *name : {"class", "stacked-classes", "room", "stacked-rooms"}) {
        const QString option = QString::fromLatin1(name);
        if (!line.isSet(option))
            continue;
        ++selections;
        const bool byClass = option.contains(QLatin1String("class"));
        settings.grouping =
            byClass ? TicketSettings::Grouping::ByClass : TicketSettings::Grouping::ByRoom;
        if (option.startsWith(QLatin1String("stacked")))
            settings.order = TicketSettings::Order::Stacked;
        if (byClass) {
            setClasses(settings, line.value(option));
            continue;
        }
        const Result<QStringList> rooms = roomOrdinals(
            option, line.value(option), settings.order == TicketSettings::Order::Stacked);
        if (!rooms)
            return rooms.status();
        settings.groups = *rooms;
    }
    return Status::ok();
}

} // namespace

const CommandLine::Syntax &TicketCommands::ticketsSyntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("tickets"),
        .summary =
            QStringLiteral("制作准考证（按准考证模板，每页 2 个，--economy 每页 3 个）并输出 pdf"),
        .usage = QStringLiteral(
            "fenpai tickets (--class SCHOOL/CLASS | --room N | --stacked-classes "
            "SCHOOL/C1,C2[,C3]\n"
            "      | --stacked-rooms R1,R2[,R3]) [--economy] [--photos DIR --photo-name "
            "姓名|考号|照片]\n      -o FILE.pdf"),
        .arguments = {},
        .options =
            {
                {.name = QStringLiteral("class"),
                 .valueName = QStringLiteral("SCHOOL/CLASS"),
                 .help = QStringLiteral("一个班级的准考证，依次排列")},
                {.name = QStringLiteral("room"),
                 .valueName = QStringLiteral("N"),
                 .help = QStringLiteral("一个考场的准考证，依次排列")},
                {.name = QStringLiteral("stacked-classes"),
                 .valueName = QStringLiteral("SCHOOL/C1,C2[,C3]"),
                 .help = QStringLiteral("2（3）个班级叠放：第 p 页是各班第 p 名考生")},
                {.name = QStringLiteral("stacked-rooms"),
                 .valueName = QStringLiteral("R1,R2[,R3]"),
                 .help = QStringLiteral("2（3）个考场叠放")},
                {.name = QStringLiteral("economy"),
                 .help = QStringLiteral("经济型：每页 3 个（模板 zkz3.cel）")},
                {.name = QStringLiteral("photos"),
                 .valueName = QStringLiteral("DIR"),
                 .help = QStringLiteral("照片所在的文件夹，照片为 DIR/名称.jpg")},
                CommandLine::photoNameOption(),
                CommandLine::outputOption(),
            },
        .examples = {QStringLiteral("fenpai --data-dir D tickets --class \"城关中学/初三(1)班\" -o "
                                    "准考证.pdf"),
                     QStringLiteral(
                         "fenpai --data-dir D tickets --stacked-rooms 1,2,3 --economy -o "
                         "准考证.pdf")},
        .notes = QStringLiteral("模板为数据目录下的 zkzmb/zkz2.cel（--economy 为 zkz3.cel）。"),
    };
    return syntax;
}

int TicketCommands::tickets(CliContext &context, const CommandLine &line)
{
    TicketSettings settings;
    int selections = 0;
    if (const Status s = readSelection(line, settings, selections); !s.isOk())
        return context.badUsage(s);
    if (line.isSet(QStringLiteral("economy")))
        settings.layout = TicketSettings::Layout::Economy;
    if (line.isSet(QStringLiteral("photos"))) {
        settings.usePhotos = true;
        settings.photoFolder = line.value(QStringLiteral("photos"));
    }
    if (line.isSet(QStringLiteral("photo-name")))
        settings.photoNameField = line.value(QStringLiteral("photo-name"));
    if (settings.usePhotos && settings.photoNameField.isEmpty())
        return context.badUsage(
            QStringLiteral("--photos 需要同时给出 --photo-name：姓名、考号 或 照片"));
    const QString output = line.value(QStringLiteral("o"));
    if (selections != 1)
        return context.badUsage(
            QStringLiteral("请给出 --class、--room、--stacked-classes 或 --stacked-rooms 之一"));
    if (settings.groups.size() > settings.groupCount())
        return context.badUsage(
            QStringLiteral("叠放最多 %1 个班级或考场").arg(settings.groupCount()));
    if (output.isEmpty())
        return context.badUsage(QStringLiteral("请用 -o FILE 指定输出文件"));
    const Result<QString> format = DocumentOutput::chooseFormat(QString(), output);
    if (!format)
        return context.badUsage(format.status());

    Database db;
    if (!context.openDatabase(db))
        return 1;
    const QString programDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    Grid ticketTemplate;
    if (Status s = TicketTemplates(context.dataDirectory().path(), programDir)
                       .load(ticketTemplate, settings.layout);
        !s.isOk())
        return context.fail(s);
    Grid grid;
    const Result<TicketProduction::Outcome> made =
        TicketProduction::build(db, ticketTemplate, settings, grid);
    if (!made)
        return context.fail(made.status());
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << QStringLiteral("准考证 %1 张 → ").arg(made->tickets) << output << '\n';
    for (const QString &examinee : made->withoutPhoto)
        context.out() << QStringLiteral("没有照片：") << examinee << '\n';
    return 0;
}

const CommandLine::Syntax &TicketCommands::labelsSyntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("labels"),
        .summary = QStringLiteral("制作一个考场的桌贴（座位号或考号）并输出 pdf"),
        .usage = QStringLiteral("fenpai labels --room N (--seat|--exam-number) -o FILE.pdf"),
        .arguments = {},
        .options = {{.name = QStringLiteral("room"),
                     .valueName = QStringLiteral("N"),
                     .help = QStringLiteral("考场")},
                    {.name = QStringLiteral("seat"),
                     .help = QStringLiteral("座位号桌贴：01 到最后一个座位，每行 5 个")},
                    {.name = QStringLiteral("exam-number"),
                     .help =
                         QStringLiteral("考号桌贴：考场里的考号，每行 2 个（8 位起每行 1 个）")},
                    CommandLine::outputOption()},
        .examples = {QStringLiteral("fenpai --data-dir D labels --room 1 --seat -o 桌贴.pdf")},
        .notes = {},
    };
    return syntax;
}

int TicketCommands::labels(CliContext &context, const CommandLine &line)
{
    DeskLabelSettings settings;
    const bool seat = line.isSet(QStringLiteral("seat"));
    if (seat == line.isSet(QStringLiteral("exam-number")))
        return context.badUsage(QStringLiteral("请给出 --seat 或 --exam-number 之一"));
    settings.kind = seat ? DeskLabelSettings::Kind::Seat : DeskLabelSettings::Kind::ExamNumber;
    const QString output = line.value(QStringLiteral("o"));
    if (!line.isSet(QStringLiteral("room")) || output.isEmpty())
        return context.badUsage(QStringLiteral("请用 --room 指定考场、-o FILE 指定输出文件"));
    const Result<QStringList> room =
        roomOrdinals(QStringLiteral("room"), line.value(QStringLiteral("room")), false);
    if (!room)
        return context.badUsage(room.status());
    settings.room = room->constFirst();
    const Result<QString> format = DocumentOutput::chooseFormat(QString(), output);
    if (!format)
        return context.badUsage(format.status());

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    if (const Status s = DeskLabels::build(db, settings, grid); !s.isOk())
        return context.fail(s);
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << QStringLiteral("第 %1 考场桌贴 → ").arg(settings.room) << output << '\n';
    return 0;
}

} // namespace fenpai
