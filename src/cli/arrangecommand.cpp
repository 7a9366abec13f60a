#include "cli/arrangecommand.h"

#include "cli/clicontext.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementsummary.h"
#include "jobs/arrangement/desklayout.h"
#include "jobs/arrangement/paperversions.h"

#include <QTextStream>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

// The settings the options ask for, or why they cannot be used.
Result<Settings> settingsFrom(const CommandLine &line)
{
    Settings settings;
    if (!line.isSet(QStringLiteral("mode")))
        return Status::refused(QStringLiteral("请用 --mode 选择编排方式：1、2 或 3"));
    settings.mode = static_cast<Settings::Mode>(line.value(QStringLiteral("mode")).toInt());
    if (line.value(QStringLiteral("group-by")) == QLatin1String("school"))
        settings.groupKind = Settings::GroupKind::School;
    if (line.isSet(QStringLiteral("groups")))
        settings.groupsPerRoom = Settings::parseGroupsPerRoom(line.value(QStringLiteral("groups")));
    settings.adjacentGroups = line.isSet(QStringLiteral("adjacent"));
    const QString order = line.value(QStringLiteral("order"));
    if (order == QLatin1String("random"))
        settings.scoreOrder = Settings::ScoreOrder::Random;
    else if (order == QLatin1String("spread"))
        settings.scoreOrder = Settings::ScoreOrder::Spread;
    settings.separateClassmates = line.isSet(QStringLiteral("separate-classmates"));
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
        settings.startNumber = *checked;
    }
    return settings;
}

} // namespace

const CommandLine::Spec &ArrangeCommand::spec()
{
    static const CommandLine::Spec spec{
        .name = QStringLiteral("arrange"),
        .summary = QStringLiteral("考场编排：给考生表的考生排考场、座位号和考号"),
        .usage = QStringLiteral(
            "fenpai arrange --mode 1|2|3 [--group-by class|school] [--groups N] [--adjacent]\n"
            "      [--order similar|random|spread] [--start-number NUMBER | --prefix TEXT]\n"
            "      [--separate-classmates] [--seat-order 按列|按列蛇形|按行] [--versions 2|4]"),
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
            },
        .examples = {QStringLiteral("fenpai --data-dir D arrange --mode 1 --groups 3 "
                                    "--separate-classmates --versions 2"),
                     QStringLiteral("fenpai --data-dir D arrange --mode 2 --prefix 210")},
        .notes = QStringLiteral(
            "省略的选项取编排对话框的默认值。输出“编排完成!”、每个考场的考生数、班级数、"
            "首尾考号和座位相邻的同班考生。"),
    };
    return spec;
}

int ArrangeCommand::run(CliContext &context, const CommandLine &line)
{
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
