#include "cli/arrangecommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementsummary.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/lateseating.h"
#include "jobs/arrangement/paperversions.h"
#include "jobs/documents/reporttitles.h"

#include <QTextStream>

#include <limits>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

// The options given, laid over `settings`: a full run starts from the dialog's defaults, a
// placement of late examinees from the last run's settings.
Status applyOptions(const CommandLine &line, Settings &settings)
{
    if (line.isSet(QStringLiteral("mode"))) {
        const Result<qint64> mode = line.number(QStringLiteral("mode"), 1, 3);
        if (!mode)
            return mode.status();
        settings.mode = static_cast<Settings::Mode>(*mode);
    }
    if (line.isSet(QStringLiteral("group-by")))
        settings.groupKind = line.value(QStringLiteral("group-by")) == QLatin1String("school")
                                 ? Settings::GroupKind::School
                                 : Settings::GroupKind::Class;
    // The dialog reads what is typed as its leading number rounded; a command line says what
    // it means, so a fraction is refused rather than guessed at.
    const Result<qint64> groups = line.number(
        QStringLiteral("groups"), 1, std::numeric_limits<int>::max(), settings.groupsPerRoom);
    if (!groups)
        return groups.status();
    settings.groupsPerRoom = static_cast<int>(*groups);
    if (line.isSet(QStringLiteral("adjacent")))
        settings.adjacentGroups = true;
    if (line.isSet(QStringLiteral("order"))) {
        const QString order = line.value(QStringLiteral("order"));
        settings.scoreOrder = order == QLatin1String("random")   ? Settings::ScoreOrder::Random
                              : order == QLatin1String("spread") ? Settings::ScoreOrder::Spread
                                                                 : Settings::ScoreOrder::Similar;
    }
    if (line.isSet(QStringLiteral("separate-classmates")))
        settings.separateClassmates = true;
    if (line.isSet(QStringLiteral("seat-order")))
        settings.seatOrder =
            *DeskLayout::seatOrderFromName(line.value(QStringLiteral("seat-order")));
    if (line.isSet(QStringLiteral("versions"))) {
        const Result<Settings::Versions> versions =
            Settings::parseVersions(line.value(QStringLiteral("versions")));
        if (!versions)
            return versions.status();
        settings.versions = *versions;
    }

    const bool start = line.isSet(QStringLiteral("start-number"));
    const bool prefix = line.isSet(QStringLiteral("prefix"));
    if (start && prefix)
        return Status::refused(QStringLiteral("--start-number 和 --prefix 只能选一个"));
    if (prefix) {
        const Result<QString> checked = Settings::parsePrefix(line.value(QStringLiteral("prefix")));
        if (!checked)
            return checked.status();
        settings.numbering = Settings::Numbering::RoomSeat;
        settings.prefix = *checked;
    } else if (start) {
        const Result<qint64> checked =
            Settings::parseStartNumber(line.value(QStringLiteral("start-number")));
        if (!checked)
            return checked.status();
        settings.numbering = Settings::Numbering::Consecutive;
        settings.startNumber = *checked;
    }
    return Status::ok();
}

// The settings the options ask for, or why they cannot be used.
Result<Settings> settingsFrom(const CommandLine &line)
{
    if (!line.isSet(QStringLiteral("mode")))
        return Status::refused(QStringLiteral("请用 --mode 选择编排方式：1、2 或 3"));
    Settings settings;
    if (Status s = applyOptions(line, settings); !s.isOk())
        return s;
    return settings;
}

bool anyArrangementOption(const CommandLine &line)
{
    for (const char *name : {"mode", "group-by", "groups", "adjacent", "order", "start-number",
                             "prefix", "separate-classmates", "seat-order", "versions"}) {
        if (line.isSet(QLatin1String(name)))
            return true;
    }
    return false;
}

// arrange --place-new: the late examinees on free seats, the way the last run arranged.
int placeNew(CliContext &context, const CommandLine &line)
{
    const QString output = line.value(QStringLiteral("o"));
    const Result<QString> format =
        DocumentOutput::chooseFormat(line.value(QStringLiteral("format")), output);
    if (!output.isEmpty() && !format)
        return context.badUsage(format.status());
    Database db;
    if (!context.openDatabase(db))
        return 1;
    std::optional<Settings> settings;
    if (anyArrangementOption(line)) {
        const Result<std::optional<Settings>> last = LateSeating::lastSettings(db);
        if (!last)
            return context.fail(last.status().message());
        if (!*last && !line.isSet(QStringLiteral("mode")))
            return context.fail(LateSeating::noSettingsMessage());
        Settings chosen = last->value_or(Settings());
        if (Status s = applyOptions(line, chosen); !s.isOk())
            return context.badUsage(s);
        settings = chosen;
    }
    const Result<SeatingOutcome> outcome = LateSeating::run(db, settings);
    if (!outcome)
        return context.fail(outcome.status().message());
    QTextStream &out = context.out();
    out << QStringLiteral("安置完成!\n") << outcome->text() << '\n';
    if (outcome->seated.empty()) {
        out << QStringLiteral("没有需要安置的新增考生。\n");
        return 0;
    }
    out << LateSeating::listTitle() << '\n' << LateSeating::listHeaders().join(u'\t') << '\n';
    int beside = 0;
    for (const SeatChange &change : outcome->seated) {
        out << LateSeating::listRow(change).join(u'\t') << '\n';
        beside += change.besideClassmate ? 1 : 0;
    }
    if (beside > 0)
        out << QStringLiteral("其中%1人旁边坐着同班考生（所在考场没有更合适的空座位）\n")
                   .arg(beside);
    if (output.isEmpty())
        return 0;
    Grid grid;
    LateSeating::fillList(grid, *outcome, ReportTitles::read(db));
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    out << LateSeating::listTitle() << " → " << output << '\n';
    return 0;
}

QString notes()
{
    return QStringLiteral(
        "省略的选项取编排对话框的默认值。输出“编排完成!”、每个考场的考生数、班级数、"
        "首尾考号和座位相邻的同班考生。\n"
        "--place-new 按上次完整编排的方式、考号生成方式和座位顺序（保存在数据库中）给新增考生"
        "安排空座位：方式1优先放进已有其班级（学校）的考场，方式2、3放进成绩最接近的考场，"
        "考场内优先选旁边没有同班考生的座位；考号接在已有最大考号之后，或由考场号座位号定。"
        "空座位不够时不作任何改动，并说明还缺几个座位。输出考场调整清单，-o FILE 另写成文件。");
}

} // namespace

const CommandLine::Syntax &ArrangeCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("arrange"),
        .summary = QStringLiteral("考场编排：给考生表的考生排考场、座位号和考号"),
        .usage = QStringLiteral(
            "fenpai arrange --mode 1|2|3 [--group-by class|school] [--groups N] [--adjacent]\n"
            "      [--order similar|random|spread] [--start-number NUMBER | --prefix TEXT]\n"
            "      [--separate-classmates] [--seat-order 按列|按列蛇形|按行] [--versions 2|4]\n"
            "      fenpai arrange --place-new [选项同上，省略的取上次编排的设置] "
            "[-o FILE [--format csv|xlsx|html|pdf]]"),
        .arguments = {},
        .options =
            {
                {.name = QStringLiteral("mode"),
                 .valueName = QStringLiteral("N"),
                 .help = QStringLiteral(
                     "编排方式：1 每个考场混编几个班级（学校），2 按成绩、考场内各班混排，"
                     "3 只按成绩"),
                 .choices = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}},
                {.name = QStringLiteral("group-by"),
                 .valueName = QStringLiteral("KIND"),
                 .help = QStringLiteral("方式 1 按班级还是按学校混编，默认 class"),
                 .choices = {QStringLiteral("class"), QStringLiteral("school")}},
                {.name = QStringLiteral("groups"),
                 .valueName = QStringLiteral("N"),
                 .help = QStringLiteral("方式 1 每个考场的班级（学校）数，默认 3")},
                {.name = QStringLiteral("adjacent"),
                 .help = QStringLiteral("方式 1 相邻班级的学生编排在一起")},
                {.name = QStringLiteral("order"),
                 .valueName = QStringLiteral("ORDER"),
                 .help =
                     QStringLiteral("方式 1 的成绩顺序：similar 成绩相近的在一起（默认），random "
                                    "按成绩随机，spread 成绩相差大的在一起"),
                 .choices = {QStringLiteral("similar"), QStringLiteral("random"),
                             QStringLiteral("spread")}},
                {.name = QStringLiteral("start-number"),
                 .valueName = QStringLiteral("NUMBER"),
                 .help = QStringLiteral("起始考号，从第一到最后一考场依次加 1，默认 2100001")},
                {.name = QStringLiteral("prefix"),
                 .valueName = QStringLiteral("TEXT"),
                 .help = QStringLiteral("前缀固定号：考号 = 前缀 + 考场号(3位) + 座位号(2位)")},
                {.name = QStringLiteral("separate-classmates"),
                 .help = QStringLiteral("编排后在每个考场内调换座位，使同班考生尽量不相邻")},
                CommandLine::seatOrderOption(),
                {.name = QStringLiteral("versions"),
                 .valueName = QStringLiteral("N"),
                 .help = QStringLiteral(
                     "试卷版本：2 为 AB 卷（前后左右相邻的座位试卷不同），4 为 ABCD 卷（斜对角"
                     "也不同）；写入考生表的“试卷”列"),
                 .choices = {QStringLiteral("2"), QStringLiteral("4")}},
                {.name = QStringLiteral("place-new"),
                 .help = QStringLiteral("不重新编排，只给没有考场（考场为空或0）的考生安排空座位"
                                        "和考号，其他考生不变")},
                CommandLine::formatOption({QStringLiteral("csv"), QStringLiteral("xlsx"),
                                           QStringLiteral("html"), QStringLiteral("pdf")}),
                CommandLine::outputOption(),
            },
        .examples = {QStringLiteral("fenpai --data-dir D arrange --mode 1 --groups 3 "
                                    "--separate-classmates --versions 2"),
                     QStringLiteral("fenpai --data-dir D arrange --mode 2 --prefix 210"),
                     QStringLiteral("fenpai --data-dir D arrange --place-new")},
        .notes = notes(),
    };
    return syntax;
}

int ArrangeCommand::run(CliContext &context, const CommandLine &line)
{
    if (line.isSet(QStringLiteral("place-new")))
        return placeNew(context, line);
    for (const char *name : {"o", "format"}) {
        if (line.isSet(QLatin1String(name)))
            return context.badUsage(
                QStringLiteral("%1%2 只能与 --place-new 一起用")
                    .arg(qstrlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                         QLatin1String(name)));
    }
    const Result<Settings> settings = settingsFrom(line);
    if (!settings)
        return context.badUsage(settings.status());
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<ArrangementOutcome> outcome = Arrangement::run(db, *settings);
    if (!outcome)
        return context.fail(outcome.status());

    QTextStream &out = context.out();
    out << Arrangement::finishedMessage() << '\n';
    const ArrangementSummary &summary = outcome->summary;
    for (const ArrangementSummary::Room &room : summary.rooms) {
        out << QStringLiteral("第%1考场 考生 %2 人 班级 %3 个")
                   .arg(room.room)
                   .arg(room.examinees)
                   .arg(room.classes);
        if (room.examinees > 0)
            out << QStringLiteral(" 考号 ") << NumberText::display(room.firstNumber) << "--"
                << NumberText::display(room.lastNumber);
        if (room.classmatePairs > 0)
            out << QStringLiteral(" 座位相邻的同班考生 %1 对").arg(room.classmatePairs);
        out << '\n';
    }
    out << QStringLiteral("考号相邻的同班考生 %1 对").arg(summary.sameClassNeighbours) << '\n';
    out << QStringLiteral("座位相邻的同班考生 %1 对").arg(summary.classmatePairs);
    if (settings->separateClassmates)
        out << QStringLiteral("（调整座位前 %1 对）").arg(outcome->classmatePairsBefore);
    out << '\n';
    if (!outcome->versionCounts.empty()) {
        QStringList counts;
        for (size_t v = 0; v < outcome->versionCounts.size(); ++v)
            counts.append(QStringLiteral("%1卷 %2 份")
                              .arg(PaperVersions::letter(static_cast<int>(v)))
                              .arg(outcome->versionCounts[v]));
        out << QStringLiteral("试卷：") << counts.join(QStringLiteral("，"))
            << QStringLiteral("；相邻座位试卷相同 %1 对").arg(outcome->versionPairs) << '\n';
    }
    if (outcome->unseated > 0)
        out << QStringLiteral("考场座位不足，%1 行未安排考场").arg(outcome->unseated) << '\n';
    return 0;
}

} // namespace fenpai
