#include "cli/divisioncommand.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/division/balancecertificate.h"
#include "jobs/division/classdivision.h"
#include "jobs/division/classplacement.h"
#include "jobs/documents/reporttitles.h"

#include <QTextStream>

namespace fenpai {

namespace {

// The settings the options ask for, or why they cannot be used.
Result<DivisionSettings> settingsFrom(const CommandLine &line)
{
    DivisionSettings settings;
    settings.balanceSex = line.isSet(QStringLiteral("sex"));
    settings.balanceSchool = line.isSet(QStringLiteral("school"));
    settings.refine = line.isSet(QStringLiteral("refine"));
    const bool classes = line.isSet(QStringLiteral("classes"));
    if (classes == line.isSet(QStringLiteral("layers")))
        return Status::refused(QStringLiteral("请给出 --classes 或 --layers 之一"));
    if (classes) {
        const Result<int> n = DivisionSettings::parseClasses(line.value(QStringLiteral("classes")));
        if (!n)
            return n.status();
        settings.classes = *n;
        return settings;
    }
    const QString value = line.value(QStringLiteral("layers"));
    const QStringList parts = value.split(u',');
    if (parts.size() > 4)
        return Status::refused(QStringLiteral("最多四层：") + value);
    // Layers not named have no classes.
    std::array<QString, 4> texts = {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                    QStringLiteral("0")};
    for (qsizetype k = 0; k < parts.size(); ++k)
        texts[static_cast<size_t>(k)] = parts[k];
    const Result<std::array<int, 4>> layers = DivisionSettings::parseLayers(texts);
    if (!layers)
        return layers.status();
    settings.mode = DivisionSettings::Mode::Layered;
    settings.layers = *layers;
    return settings;
}

QString score(const ClassBalance &c, double value)
{
    return c.scored > 0 ? NumberText::format(value) : QStringLiteral("-");
}

// --place-new: the options that go with it, or why they cannot be used.
Result<PlacementSettings> placementFrom(const CommandLine &line)
{
    for (const char *other : {"classes", "layers", "refine"}) {
        if (line.isSet(QLatin1String(other)))
            return Status::refused(QStringLiteral("--place-new 按上次分班接着安置，不能再给 --") +
                                   QLatin1String(other));
    }
    PlacementSettings settings;
    if (line.isSet(QStringLiteral("max-moves"))) {
        const Result<int> moves =
            PlacementSettings::parseMaxMoves(line.value(QStringLiteral("max-moves")));
        if (!moves)
            return moves.status();
        settings.maxMoves = *moves;
    }
    if (line.isSet(QStringLiteral("sex")))
        settings.balanceSex = true;
    if (line.isSet(QStringLiteral("school")))
        settings.balanceSchool = true;
    return settings;
}

void printSummary(QTextStream &out, const DivisionSummary &summary)
{
    out << QStringLiteral("新分班\t人数\t男生\t女生\t平均分\t标准差\t最高分\t最低分\n");
    for (const ClassBalance &c : summary.classes()) {
        out << c.classNumber << '\t' << c.pupils << '\t' << c.boys << '\t' << c.girls << '\t'
            << (c.scored > 0 ? QString::number(c.mean, 'f', 2) : QStringLiteral("-")) << '\t'
            << (c.scored > 0 ? QString::number(c.sd, 'f', 2) : QStringLiteral("-")) << '\t'
            << score(c, c.highest) << '\t' << score(c, c.lowest) << '\n';
    }
    // Layers differ in score by design: their spreads are those inside a layer.
    const QString within = summary.layered() ? QStringLiteral("同层") : QString();
    out << within << QStringLiteral("各班平均分最大差：")
        << QString::number(summary.meanSpread(), 'f', 2) << '\n';
    out << within << QStringLiteral("各班标准差最大差：")
        << QString::number(summary.sdSpread(), 'f', 2) << '\n';
    if (!summary.schools().empty()) {
        out << QStringLiteral("原学校\t人数\t每班最少\t每班最多\t差\n");
        for (const SchoolBalance &s : summary.schools())
            out << s.name << '\t' << s.pupils << '\t' << s.fewest << '\t' << s.most << '\t'
                << s.most - s.fewest << '\n';
    }
    const WishOutcome &wishes = summary.wishes();
    if (const DivisionSummary *dealt = summary.dealt()) {
        out << QStringLiteral("优化前：") << dealt->spreadsText(wishes, wishes.metBefore) << '\n';
        out << QStringLiteral("优化后：") << summary.spreadsText(wishes, wishes.met) << '\n';
    }
    for (const QString &note : wishes.notes)
        out << note << '\n';
}

void printPlacement(QTextStream &out, const PlacementOutcome &outcome)
{
    out << QStringLiteral("安置完成!\n") << outcome.text() << '\n';
    if (!outcome.lastRunKnown)
        out << QStringLiteral("没有找到上次分班的设置，按分班数据表中的%1个班安置。\n")
                   .arg(outcome.classCount);
    if (outcome.placed.empty() && outcome.moved.empty()) {
        out << QStringLiteral("没有需要安置的新增学生，也没有学生调班。\n");
        return;
    }
    out << ClassPlacement::listTitle() << '\n' << ClassPlacement::listHeaders().join(u'\t') << '\n';
    for (const std::vector<ClassChange> *changes : {&outcome.placed, &outcome.moved}) {
        for (const ClassChange &change : *changes)
            out << ClassPlacement::listRow(change).join(u'\t') << '\n';
    }
    printSummary(out, outcome.after);
    out << QStringLiteral("安置前（不含新增学生）：") << outcome.before.spreadsText({}, 0) << '\n';
    out << QStringLiteral("安置后：") << outcome.after.spreadsText({}, 0) << '\n';
    for (const QString &note : outcome.notes)
        out << note << '\n';
}

// divide --place-new: the late pupils into the classes, the list printed and, with -o, written.
int placeNew(CliContext &context, const CommandLine &line)
{
    const Result<PlacementSettings> placement = placementFrom(line);
    if (!placement)
        return context.badUsage(placement.status());
    const QString output = line.value(QStringLiteral("o"));
    const Result<QString> format =
        DocumentOutput::chooseFormat(line.value(QStringLiteral("format")), output);
    if (!output.isEmpty() && !format)
        return context.badUsage(format.status());
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<PlacementOutcome> outcome = ClassPlacement::run(db, *placement);
    if (!outcome)
        return context.fail(outcome.status().message());
    printPlacement(context.out(), *outcome);
    if (output.isEmpty())
        return 0;
    Grid grid;
    ClassPlacement::fillList(grid, *outcome, ReportTitles::read(db));
    if (const Status written = DocumentOutput::write(grid, *format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << ClassPlacement::listTitle() << " → " << output << '\n';
    return 0;
}

} // namespace

const CommandLine::Syntax &DivisionCommand::syntax()
{
    static const CommandLine::Syntax syntax{
        .name = QStringLiteral("divide"),
        .summary = QStringLiteral("分班：把分班数据表的学生分到新班级，写入新分班"),
        .usage =
            QStringLiteral("fenpai divide --classes N [--sex] [--school] [--refine]\n"
                           "      fenpai divide --layers A,B,C,D [--sex] [--school] [--refine]\n"
                           "      fenpai divide --place-new [--max-moves K] [--sex] [--school] "
                           "[-o FILE [--format csv|xlsx|html|pdf]]"),
        .arguments = {},
        .options = {{.name = QStringLiteral("classes"),
                     .valueName = QStringLiteral("N"),
                     .help = QStringLiteral("均衡分班：新分班级数 N")},
                    {.name = QStringLiteral("layers"),
                     .valueName = QStringLiteral("A,B,C,D"),
                     .help = QStringLiteral("分层分班：A 层到 D 层各自的新分班级数，省略的层为 0")},
                    {.name = QStringLiteral("sex"),
                     .help = QStringLiteral("均衡各班男女生人数比例")},
                    {.name = QStringLiteral("school"), .help = QStringLiteral("均衡各班生源比例")},
                    {.name = QStringLiteral("refine"),
                     .help = QStringLiteral("分班后优化均衡，并采用分班数据表中的分班要求")},
                    {.name = QStringLiteral("place-new"),
                     .help = QStringLiteral(
                         "不重新分班，只把没有班级（新分班为空或0）的学生安置到已分好的班级")},
                    {.name = QStringLiteral("max-moves"),
                     .valueName = QStringLiteral("K"),
                     .help = QStringLiteral("--place-new 时最多调动几名已分班的学生来恢复各班"
                                            "平均分和标准差，默认 0")},
                    CommandLine::formatOption({QStringLiteral("csv"), QStringLiteral("xlsx"),
                                               QStringLiteral("html"), QStringLiteral("pdf")}),
                    CommandLine::outputOption()},
        .examples = {QStringLiteral(
                         "fenpai --data-dir D divide --classes 12 --sex --school --refine"),
                     QStringLiteral("fenpai --data-dir D divide --layers 2,4,4,2 --sex"),
                     QStringLiteral("fenpai --data-dir D divide --place-new --max-moves 20")},
        .notes = QStringLiteral(
            "输出每个新班级的人数、男生、女生、平均分、标准差、最高分和最低分，各班平均分和标准差的"
            "最大差，"
            "以及每所原学校在各班的最少和最多人数；--refine "
            "时还输出优化前后的对比和未能满足的分班要求。最后一行是均衡证明：各班平均分的最大差、"
            "这批学生可能的最小差，以及优于多少随机分班（详见 fenpai report balance）。\n"
            "分班要求写在分班数据表的可选字段 指定班级（班号）、同班（相同的代码分在同一班）、"
            "分开（相同的代码分在不同班）中。\n"
            "--place-new 按上次完整分班的班数、分层和均衡选项（保存在数据库中；没有时取分班数据表中"
            "已有的班级，均衡选项用 --sex、--school 指定）把新增学生安置到各班，人数差不超过1，"
            "已分班的学生最多调动 K 名，分层分班时学生不离开所在层；输出分班调整清单和各班情况。"
            "没有新增学生时（有学生退学后）只在 K 名之内调整。-o FILE 另把分班调整清单写成文件。"),
    };
    return syntax;
}

int DivisionCommand::divide(CliContext &context, const CommandLine &line)
{
    if (line.isSet(QStringLiteral("place-new")))
        return placeNew(context, line);
    for (const char *name : {"max-moves", "o", "format"}) {
        if (line.isSet(QLatin1String(name)))
            return context.badUsage(
                QStringLiteral("%1%2 只能与 --place-new 一起用")
                    .arg(qstrlen(name) == 1 ? QStringLiteral("-") : QStringLiteral("--"),
                         QLatin1String(name)));
    }
    const Result<DivisionSettings> settings = settingsFrom(line);
    if (!settings)
        return context.badUsage(settings.status());

    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<DivisionSummary> result = ClassDivision::run(db, *settings);
    if (!result)
        return context.fail(result.status());
    context.out() << QStringLiteral("分班完成!\n");
    printSummary(context.out(), *result);
    context.out() << BalanceCertificate(*result).meanLine() << '\n';
    return 0;
}

} // namespace fenpai
