#include "cli/ticketcommands.h"

#include "cli/clicontext.h"
#include "cli/documentoutput.h"
#include "db/database.h"
#include "grid/grid.h"
#include "jobs/tickets/desklabels.h"
#include "jobs/tickets/ticketproduction.h"
#include "jobs/tickets/tickettemplates.h"

#include <QCoreApplication>

namespace fenpai {

namespace {

// "SCHOOL/C1,C2": the school before the first "/", the classes after it.
void setClasses(TicketSettings &settings, const QString &value)
{
    const qsizetype slash = value.indexOf(u'/');
    settings.school = slash < 0 ? value : value.left(slash);
    settings.groups = slash < 0 ? QStringList() : value.mid(slash + 1).split(u',');
}

} // namespace

int TicketCommands::tickets(CliContext &context, const QStringList &args)
{
    TicketSettings settings;
    QString output;
    int selections = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--economy")) {
            settings.layout = TicketSettings::Layout::Economy;
        } else if (!hasValue) {
            return 2;
        } else if (a == QLatin1String("-o") || a == QLatin1String("--output")) {
            output = args[++i];
        } else if (a == QLatin1String("--photos")) {
            settings.usePhotos = true;
            settings.photoFolder = args[++i];
        } else if (a == QLatin1String("--photo-name")) {
            settings.photoNameField = args[++i];
        } else if (a == QLatin1String("--class") || a == QLatin1String("--stacked-classes")) {
            ++selections;
            settings.grouping = TicketSettings::Grouping::ByClass;
            if (a == QLatin1String("--stacked-classes"))
                settings.order = TicketSettings::Order::Stacked;
            setClasses(settings, args[++i]);
        } else if (a == QLatin1String("--room") || a == QLatin1String("--stacked-rooms")) {
            ++selections;
            settings.grouping = TicketSettings::Grouping::ByRoom;
            if (a == QLatin1String("--stacked-rooms"))
                settings.order = TicketSettings::Order::Stacked;
            settings.groups = args[++i].split(u',');
        } else {
            return 2;
        }
    }
    const QString format = DocumentOutput::format(QString(), output);
    if (selections != 1 || output.isEmpty() || format.isEmpty() ||
        settings.groups.size() > settings.groupCount())
        return 2;
    if (settings.usePhotos &&
        !QStringList{QStringLiteral("姓名"), QStringLiteral("考号"), QStringLiteral("照片")}
             .contains(settings.photoNameField))
        return 2;

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
        return context.fail(made.status().message());
    if (const Status written = DocumentOutput::write(grid, format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << QStringLiteral("准考证 %1 张 → ").arg(made->tickets) << output << '\n';
    for (const QString &examinee : made->withoutPhoto)
        context.out() << QStringLiteral("没有照片：") << examinee << '\n';
    return 0;
}

int TicketCommands::labels(CliContext &context, const QStringList &args)
{
    DeskLabelSettings settings;
    QString output;
    int kinds = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--seat")) {
            ++kinds;
            settings.kind = DeskLabelSettings::Kind::Seat;
        } else if (a == QLatin1String("--exam-number")) {
            ++kinds;
            settings.kind = DeskLabelSettings::Kind::ExamNumber;
        } else if (a == QLatin1String("--room") && hasValue) {
            settings.room = args[++i];
        } else if ((a == QLatin1String("-o") || a == QLatin1String("--output")) && hasValue) {
            output = args[++i];
        } else {
            return 2;
        }
    }
    const QString format = DocumentOutput::format(QString(), output);
    if (kinds != 1 || settings.room.isEmpty() || output.isEmpty() || format.isEmpty())
        return 2;

    Database db;
    if (!context.openDatabase(db))
        return 1;
    Grid grid;
    if (const Status s = DeskLabels::build(db, settings, grid); !s.isOk())
        return context.fail(s.message());
    if (const Status written = DocumentOutput::write(grid, format, output, &context.err());
        !written.isOk())
        return context.fail(written);
    context.out() << QStringLiteral("第 %1 考场桌贴 → ").arg(settings.room) << output << '\n';
    return 0;
}

} // namespace fenpai
