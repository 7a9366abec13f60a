#include "cli/sheetscommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/examday/doorsheet.h"
#include "jobs/examday/signinsheet.h"

#include <QFileInfo>

#include <limits>

namespace fenpai {

namespace {

// The room, seat order and photos the options ask for; refuses what they cannot mean.
Result<SignInSheet::Request> requestFrom(const CommandLine &line, const QString &room, bool signIn)
{
    SignInSheet::Request request;
    if (room != QLatin1String("all")) {
        const std::optional<qint64> ordinal =
            NumberText::wholeNumber(room, 1, std::numeric_limits<int>::max());
        if (!ordinal)
            return Status::refused(QStringLiteral("考场应为考场序号 1、2、3……，或 all 为全部考场"));
        request.room = static_cast<int>(*ordinal);
    }
    if (line.isSet(QStringLiteral("seat-order")))
        request.order = *DeskLayout::seatOrderFromName(line.value(QStringLiteral("seat-order")));
    if (line.isSet(QStringLiteral("photos"))) {
        if (!signIn)
            return Status::refused(QStringLiteral("只有签到表带照片"));
        request.photoFolder = line.value(QStringLiteral("photos"));
        request.photoField = line.value(QStringLiteral("photo-name"));
        if (request.photoField.isEmpty())
            return Status::refused(
                QStringLiteral("--photos 需要同时给出 --photo-name：姓名、考号 或 照片"));
    }
    return request;
}

// Sheets are for paper and spreadsheets; CSV would lose their layout. A file name without a
// suffix gets a PDF.
Result<QString> formatFrom(const CommandLine &line, const QString &output)
{
    QString requested = line.value(QStringLiteral("format"));
    if (requested.isEmpty() && QFileInfo(output).suffix().isEmpty())
        requested = QStringLiteral("pdf");
    Result<QString> format = DocumentOutput::chooseFormat(requested, output);
    if (format && *format == QLatin1String("csv"))
        return Status::refused(QStringLiteral("签到表和门贴只能输出为 pdf、xlsx 或 html"));
    return format;
}

} // namespace

const CommandLine::Syntax &SheetsCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("sheets"),
        .summary = QStringLiteral("考场签到表（每个座位一行，供考生签名）或门贴（贴在考场门上），"
                                  "all 为全部考场，每考场一页"),
        .usage = QStringLiteral(
            "fenpai sheets --room K|all --kind sign-in|door [--seat-order 按列|按列蛇形|按行]\n"
            "      [--photos DIR --photo-name 姓名|考号|照片] [--format pdf|xlsx|html] -o FILE"),
        .arguments = {},
        .options = {{.name = QStringLiteral("room"),
                     .valueName = QStringLiteral("K|all"),
                     .help = QStringLiteral("考场序号（考场表的第 K 行），all 为全部考场")},
                    {.name = QStringLiteral("kind"),
                     .valueName = QStringLiteral("KIND"),
                     .help = QStringLiteral("sign-in 签到表，door 门贴"),
                     .choices = {QStringLiteral("sign-in"), QStringLiteral("door")}},
                    CommandLine::seatOrderOption(),
                    {.name = QStringLiteral("photos"),
                     .valueName = QStringLiteral("DIR"),
                     .help = QStringLiteral("签到表的照片所在的文件夹，照片为 DIR/名称.jpg")},
                    CommandLine::photoNameOption(),
                    CommandLine::formatOption(
                        {QStringLiteral("pdf"), QStringLiteral("xlsx"), QStringLiteral("html")}),
                    CommandLine::outputOption()},
        .examples = {QStringLiteral("fenpai --data-dir D sheets --room all --kind sign-in -o "
                                    "签到表.pdf"),
                     QStringLiteral("fenpai --data-dir D sheets --room 3 --kind door -o 门贴.pdf")},
        .notes = QStringLiteral("签到表每行有考生的二维码（考号和校验码），可用 fenpai verify "
                                "核对。"),
    };
    return syntax;
}

int SheetsCommand::run(CliContext &context, const CommandLine &line)
{
    const QString room = line.value(QStringLiteral("room"));
    const QString kind = line.value(QStringLiteral("kind"));
    const QString output = line.value(QStringLiteral("o"));
    if (room.isEmpty() || kind.isEmpty() || output.isEmpty())
        return context.badUsage(QStringLiteral(
            "请用 --room 指定考场、--kind 指定 sign-in 或 door、-o FILE 指定输出文件"));
    const bool signIn = kind == QLatin1String("sign-in");
    const Result<SignInSheet::Request> parsed = requestFrom(line, room, signIn);
    if (!parsed)
        return context.badUsage(parsed.status());
    const SignInSheet::Request &request = *parsed;
    const Result<QString> format = formatFrom(line, output);
    if (!format)
        return context.badUsage(format.status());

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    QString title;
    QStringList withoutPhoto;
    if (signIn) {
        const Result<SignInSheet::Outcome> sheet = SignInSheet::build(db, grid, request);
        if (!sheet)
            return context.fail(sheet.status());
        title = sheet->document.title;
        withoutPhoto = sheet->withoutPhoto;
    } else {
        const Result<ReportDocument> sheet =
            DoorSheet::build(db, grid, {request.room, request.order});
        if (!sheet)
            return context.fail(sheet.status());
        title = sheet->title;
    }
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << title << " → " << output << '\n';
    for (const QString &examinee : withoutPhoto)
        context.out() << QStringLiteral("没有照片：") << examinee << '\n';
    return 0;
}

} // namespace fenpai
