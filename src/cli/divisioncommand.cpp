#include "cli/divisioncommand.h"

#include "cli/clicontext.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/division/classdivision.h"

#include <QTextStream>

namespace fenpai {

namespace {

// The value of "--name VALUE" or "--name=VALUE" at args[i]; advances i past it.
bool optionValue(const QStringList &args, int &i, const QString &name, QString &value)
{
    const QString &a = args[i];
    if (a == name) {
        if (i + 1 >= args.size())
            return false;
        value = args[++i];
        return true;
    }
    if (a.startsWith(name + u'=')) {
        value = a.mid(name.size() + 1);
        return true;
    }
    return false;
}

// Bad arguments: the reason, then (from the caller) the usage; exit status 2.
int badUsage(CliContext &context, const QString &reason)
{
    context.fail(reason);
    return 2;
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

int DivisionCommand::divide(CliContext &context, const QStringList &args)
{
    DivisionSettings settings;
    bool haveClasses = false;
    bool haveLayers = false;
    for (int i = 0; i < args.size(); ++i) {
        QString value;
        if (args[i] == QLatin1String("--sex")) {
            settings.balanceSex = true;
        } else if (args[i] == QLatin1String("--school")) {
            settings.balanceSchool = true;
        } else if (args[i] == QLatin1String("--refine")) {
            settings.refine = true;
        } else if (optionValue(args, i, QStringLiteral("--classes"), value)) {
            // Letters are refused by the division itself, with the dialog's message.
            settings.mode = DivisionSettings::Mode::Balanced;
            settings.classes = ClassDivision::countValue(value);
            haveClasses = true;
        } else if (optionValue(args, i, QStringLiteral("--layers"), value)) {
            const QStringList parts = value.split(u',');
            if (parts.size() > 4)
                return badUsage(context, QStringLiteral("最多四层：") + value);
            settings.mode = DivisionSettings::Mode::Layered;
            settings.layers = {0, 0, 0, 0};
            for (qsizetype k = 0; k < parts.size(); ++k)
                settings.layers[static_cast<size_t>(k)] = ClassDivision::countValue(parts[k]);
            haveLayers = true;
        } else if (args[i] == QLatin1String("--classes") || args[i] == QLatin1String("--layers")) {
            return badUsage(context, args[i] + QStringLiteral(" 需要一个值"));
        } else {
            return badUsage(context, QStringLiteral("未知参数：") + args[i]);
        }
    }
    if (haveClasses == haveLayers)
        return badUsage(context, QStringLiteral("请给出 --classes 或 --layers 之一"));

    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<DivisionSummary> result = ClassDivision::run(db, settings);
    if (!result)
        return context.fail(result.status().message());
    context.out() << QStringLiteral("分班完成!\n");
    printSummary(context.out(), *result);
    return 0;
}

} // namespace fenpai
