#include "jobs/documents/reporttitles.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "db/schema.h"
#include "db/transaction.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"

namespace fenpai {

ReportFormat::Subtitle ReportTitles::read(Database &db)
{
    return ReportFormat::subtitleFrom(db);
}

Status ReportTitles::write(Database &db, const ReportFormat::Subtitle &titles)
{
    for (const QString &text : {titles.left, titles.right}) {
        if (text.size() > maxLength)
            return Status::refused(
                QStringLiteral("报表标题最多 %1 个字：%2").arg(maxLength).arg(text));
    }
    Transaction transaction(db);
    if (!transaction.status().isOk())
        return transaction.status();
    if (!db.hasTable(TableNames::reportTitles)) {
        for (const QString &sql : Schema::reportTitleStatements()) {
            if (Status s = db.exec(sql); !s.isOk())
                return s;
        }
    } else if (Result<QVariant> rows = db.scalar(QStringLiteral("select count(*) from bsxtable"));
               !rows) {
        return rows.status();
    } else if (rows->toInt() == 0) {
        // An emptied table gets its factory row back, then the new titles.
        if (Status s = db.exec(Schema::reportTitleStatements().constLast()); !s.isOk())
            return s;
    }
    // The first row is the one every report reads.
    Result<Statement> update =
        db.prepare(QStringLiteral("update bsxtable set 副左标题=?,副右标题=?,显示日期=? "
                                  "where rowid=(select min(rowid) from bsxtable)"));
    if (!update)
        return update.status();
    update->bindAll(
        {titles.left, titles.right, titles.showDate ? QStringLiteral("1") : QStringLiteral("0")});
    if (Status s = update->exec(); !s.isOk())
        return s;
    return transaction.commit();
}

ReportFormat::Subtitle ReportTitles::factory()
{
    return {Schema::factoryLeftTitle(), Schema::factoryRightTitle(), false};
}

bool ReportTitles::isFactory(const ReportFormat::Subtitle &titles)
{
    return titles.left == Schema::factoryLeftTitle() || titles.right == Schema::factoryRightTitle();
}

bool ReportTitles::printsFactory(const Grid &grid)
{
    for (const ReportTitle &title : grid.reportTitles()) {
        if (title.text.count(u'|') < 2)
            continue;
        const QStringList parts = GridPagination::titleParts(title.text);
        if (parts.at(0) == Schema::factoryLeftTitle() ||
            parts.at(2).startsWith(Schema::factoryRightTitle()))
            return true;
    }
    return false;
}

bool ReportTitles::renew(Grid &grid, const ReportFormat::Subtitle &from,
                         const ReportFormat::Subtitle &to)
{
    QList<ReportTitle> titles = grid.reportTitles();
    bool renewed = false;
    for (ReportTitle &title : titles) {
        if (title.text.count(u'|') < 2)
            continue;
        const QStringList parts = GridPagination::titleParts(title.text);
        // The right part may carry the date of the day it was made.
        if (parts.at(0) != from.left || !parts.at(2).startsWith(from.right))
            continue;
        title.text = ReportFormat::subtitleText(to, parts.at(1));
        renewed = true;
    }
    if (renewed) {
        grid.clearReportTitles();
        for (const ReportTitle &title : std::as_const(titles))
            grid.addReportTitle(title);
    }
    return renewed;
}

QString ReportTitles::factoryHint()
{
    return QStringLiteral(
               "提示：报表标题还是出厂设置（%1，%2），可用 fenpai titles --left 学校名称 "
               "--right 学年度 设置。")
        .arg(Schema::factoryLeftTitle(), Schema::factoryRightTitle());
}

} // namespace fenpai
