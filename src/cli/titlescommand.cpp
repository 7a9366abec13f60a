#include "cli/titlescommand.h"

#include "cli/clicontext.h"
#include "db/database.h"
#include "jobs/documents/reporttitles.h"

#include <QTextStream>

namespace fenpai {

std::optional<TitlesCommand::Change> TitlesCommand::parse(const QStringList &args)
{
    Change change;
    for (qsizetype i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return std::nullopt;
        const QString &option = args[i];
        const QString &value = args[i + 1];
        if (option == QLatin1String("--left") && !change.left)
            change.left = value;
        else if (option == QLatin1String("--right") && !change.right)
            change.right = value;
        else if (option == QLatin1String("--date") && !change.showDate &&
                 (value == QLatin1String("on") || value == QLatin1String("off")))
            change.showDate = value == QLatin1String("on");
        else
            return std::nullopt;
    }
    return change;
}

int TitlesCommand::run(CliContext &context, const QStringList &args)
{
    const std::optional<Change> change = parse(args);
    if (!change)
        return 2;
    Database db;
    if (!context.openDatabase(db))
        return 1;
    ReportFormat::Subtitle titles = ReportTitles::read(db);
    if (change->any()) {
        titles.left = change->left.value_or(titles.left);
        titles.right = change->right.value_or(titles.right);
        titles.showDate = change->showDate.value_or(titles.showDate);
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
