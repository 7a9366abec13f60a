#include "cli/divisioncommand.h"

#include "cli/clicontext.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/division/classdivision.h"

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

} // namespace

const CommandLine::Spec &DivisionCommand::spec()
{
    static const CommandLine::Spec spec{
        .name = QStringLiteral("divide"),
        .summary = QStringLiteral("分班：把分班数据表的学生分到新班级，写入新分班"),
        .usage =
            QStringLiteral("fenpai divide --classes N [--sex] [--school] [--refine]\n"
                           "      fenpai divide --layers A,B,C,D [--sex] [--school] [--refine]"),
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
                     .help = QStringLiteral("分班后优化均衡，并采用分班数据表中的分班要求")}},
        .examples = {QStringLiteral(
                         "fenpai --data-dir D divide --classes 12 --sex --school --refine"),
                     QStringLiteral("fenpai --data-dir D divide --layers 2,4,4,2 --sex")},
        .notes = QStringLiteral(
            "输出每个新班级的人数、男生、女生、平均分、标准差、最高分和最低分，各班平均分和标准差的"
            "最大差，"
            "以及每所原学校在各班的最少和最多人数；--refine "
            "时还输出优化前后的对比和未能满足的分班要求。\n"
            "分班要求写在分班数据表的可选字段 指定班级（班号）、同班（相同的代码分在同一班）、"
            "分开（相同的代码分在不同班）中。"),
    };
    return spec;
}

int DivisionCommand::divide(CliContext &context, const CommandLine &line)
{
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
    return 0;
}

} // namespace fenpai
