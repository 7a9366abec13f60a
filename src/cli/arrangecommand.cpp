#include "cli/arrangecommand.h"

#include "cli/clicontext.h"
#include "core/numbertext.h"
#include "db/database.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/arrangement/arrangementsummary.h"
#include "jobs/arrangement/desklayout.h"

#include <QTextStream>

namespace fenpai {

namespace {

using Settings = ArrangementSettings;

// Reads --name VALUE and --name=VALUE pairs and the --adjacent and --separate-classmates flags;
// false on anything else.
bool parse(const QStringList &args, Settings &settings)
{
    bool modeGiven = false;
    bool startGiven = false;
    bool prefixGiven = false;
    for (int i = 0; i < args.size(); ++i) {
        QString name = args[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = name.indexOf(u'=');
            name.startsWith(QLatin1String("--")) && eq > 0) {
            value = name.mid(eq + 1);
            name = name.left(eq);
            hasValue = true;
        }
        if (name == QLatin1String("--adjacent")) {
            if (hasValue)
                return false;
            settings.adjacentGroups = true;
            continue;
        }
        if (name == QLatin1String("--separate-classmates")) {
            if (hasValue)
                return false;
            settings.separateClassmates = true;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
        }
        if (name == QLatin1String("--mode")) {
            if (value == QLatin1String("1"))
                settings.mode = Settings::Mode::GroupMix;
            else if (value == QLatin1String("2"))
                settings.mode = Settings::Mode::ScoreMix;
            else if (value == QLatin1String("3"))
                settings.mode = Settings::Mode::ScoreOnly;
            else
                return false;
            modeGiven = true;
        } else if (name == QLatin1String("--group-by")) {
            if (value == QLatin1String("class"))
                settings.groupKind = Settings::GroupKind::Class;
            else if (value == QLatin1String("school"))
                settings.groupKind = Settings::GroupKind::School;
            else
                return false;
        } else if (name == QLatin1String("--groups")) {
            settings.groupsPerRoom = value;
        } else if (name == QLatin1String("--order")) {
            if (value == QLatin1String("similar"))
                settings.scoreOrder = Settings::ScoreOrder::Similar;
            else if (value == QLatin1String("random"))
                settings.scoreOrder = Settings::ScoreOrder::Random;
            else if (value == QLatin1String("spread"))
                settings.scoreOrder = Settings::ScoreOrder::Spread;
            else
                return false;
        } else if (name == QLatin1String("--seat-order")) {
            const std::optional<SeatOrder> order = DeskLayout::seatOrderFromName(value);
            if (!order)
                return false;
            settings.seatOrder = *order;
        } else if (name == QLatin1String("--start-number")) {
            settings.numbering = Settings::Numbering::Consecutive;
            settings.startNumber = value;
            startGiven = true;
        } else if (name == QLatin1String("--prefix")) {
            settings.numbering = Settings::Numbering::RoomSeat;
            settings.prefix = value;
            prefixGiven = true;
        } else {
            return false;
        }
    }
    return modeGiven && !(startGiven && prefixGiven);
}

} // namespace

int ArrangeCommand::run(CliContext &context, const QStringList &args)
{
    Settings settings;
    if (!parse(args, settings))
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    const Result<ArrangementOutcome> outcome = Arrangement::run(db, settings);
    if (!outcome)
        return context.fail(outcome.status().message());

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
    if (settings.separateClassmates)
        out << QStringLiteral("（调整座位前 %1 对）").arg(outcome->classmatePairsBefore);
    out << '\n';
    if (outcome->unseated > 0)
        out << QStringLiteral("考场座位不足，%1 行未安排考场").arg(outcome->unseated) << '\n';
    return 0;
}

} // namespace fenpai
