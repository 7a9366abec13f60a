#include "jobs/tickets/desklabels.h"

#include "core/numbertext.h"
#include "core/result.h"
#include "core/tablenames.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "jobs/arrangement/roomseating.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace fenpai {

namespace {

// More seats than any room has: a bigger number is a typing error, not a room to label.
constexpr double kMostSeats = 9999;
constexpr double kSmallestSize = 24; // points: a label is read from across the room

// The labels in reading order (empty texts stay empty cells) and their cells' size.
struct Labels
{
    QStringList texts;
    int perRow = 0;
    int width = 0;
    int height = 0;
};

// The paper version of each seat (or exam number) of the room, when versions were laid out.
QHash<QString, QString> versionsOf(Database &db, const QString &room, const QString &key)
{
    QHash<QString, QString> versions;
    if (!RoomSeating::hasPaperVersions(db))
        return versions;
    Result<Query> q = db.query(
        QStringLiteral("select %1, 试卷 from 考生表 where 考场=? and trim(试卷) <> ''").arg(key),
        {room});
    for (; q && !q->atEnd(); q->next())
        versions.insert(NumberText::display(q->value(0)), q->value(1).toString().trimmed());
    return versions;
}

// "07 A": the label and its desk's version after a space.
QString withVersion(const QString &label, const QString &key,
                    const QHash<QString, QString> &versions)
{
    const auto v = versions.constFind(key);
    return v == versions.cend() ? label : label + u' ' + *v;
}

Result<Labels> seatLabels(Database &db, const QString &room)
{
    Result<Query> q = db.query(
        QStringLiteral("select min(座位号),max(座位号) from 考生表  where 考场=?"), {room});
    if (!q)
        return q.status();
    if (q->atEnd() || q->value(1).isNull())
        return Status::refused(QStringLiteral("所选考场没有考生"));
    const double hi = std::floor(NumberText::leadingValue(NumberText::display(q->value(1))));
    if (hi < 1 || hi > kMostSeats)
        return Status::refused(QStringLiteral("座位号超出范围：") +
                               NumberText::display(q->value(1)));
    // Labels run from seat 1, so the rows reach the last seat whatever the first one is.
    const int last = int(hi);
    const QHash<QString, QString> versions = versionsOf(db, room, QStringLiteral("座位号"));
    Labels labels{{}, 5, 130, 110};
    for (int v = 1; v <= ((last - 1) / 5 + 1) * 5; ++v)
        labels.texts.append(v <= last ? withVersion(QString::number(v).rightJustified(2, u'0'),
                                                    QString::number(v), versions)
                                      : QString());
    return labels;
}

Result<Labels> examNumberLabels(Database &db, const QString &room)
{
    // The numbers the room's examinees hold: with numbers of several series in one room (or a
    // prefix) a range from the first to the last would label numbers nobody has.
    Result<Query> q = db.query(
        QStringLiteral(
            "select distinct 考号 from 考生表  where 考场=? and 考号 is not null ORDER BY 考号"),
        {room});
    if (!q)
        return q.status();
    const QHash<QString, QString> versions = versionsOf(db, room, QStringLiteral("考号"));
    Labels labels;
    bool eightDigits = false;
    for (; !q->atEnd(); q->next()) {
        const QString number = NumberText::display(q->value(0));
        eightDigits = eightDigits || number.size() > 7;
        labels.texts.append(withVersion(number, number, versions));
    }
    if (labels.texts.isEmpty())
        return Status::refused(QStringLiteral("所选考场没有考生"));
    labels.perRow = eightDigits ? 1 : 2;
    // Two seven-digit numbers at 72 points need a little more than half of 700 pixels in the
    // substituted 黑体; the page may narrow the columns (and the type) to fit.
    labels.width = eightDigits ? 700 : 390;
    labels.height = 100;
    return labels;
}

// Portrait, the room in the header, the page count in the footer.
PageSetup labelPage(PageSetup setup, const QString &room)
{
    setup.orientation = PageSetup::Orientation::Portrait;
    // The cutting lines too stay 5 mm inside the sheet's edge, which most printers cannot reach.
    setup.leftMargin = 0.6;
    setup.rightMargin = 0.6;
    setup.blackAndWhite = true;
    setup.topMargin = 1.2;
    setup.headerMargin = 0.5;
    setup.bottomMargin = 1.2;
    setup.footerMargin = 0.5;
    setup.headerAlignment = PageSetup::TextAlign::Center;
    setup.header = QStringLiteral("第 ") + room + QStringLiteral(" 考场");
    setup.footer = PageSetup::standardFooter();
    setup.centerHorizontally = true;
    // The labels are cut along the grid lines; the sheet's headings are no label.
    setup.printFixedRow = false;
    setup.printFixedColumn = false;
    return setup;
}

} // namespace

Status DeskLabels::build(Database &db, const DeskLabelSettings &settings, Grid &document)
{
    if (settings.room.isEmpty())
        return Status::refused(QStringLiteral("请选择考场"));
    if (!db.hasRelation(TableNames::examinees))
        return Status::error(
            Status::Kind::MissingTable,
            QStringLiteral("找不到数据表 %1，请先导入考场编排数据。").arg(TableNames::examinees));
    const Result<Labels> labels = settings.kind == DeskLabelSettings::Kind::Seat
                                      ? seatLabels(db, settings.room)
                                      : examNumberLabels(db, settings.room);
    if (!labels)
        return labels.status();

    const int count = int(labels->texts.size());
    const int perRow = labels->perRow;
    const int labelRows = (count + perRow - 1) / perRow;
    Grid &grid = document;
    grid.reset();
    grid.setAutoRedraw(false);
    grid.setCols(perRow + 1);
    grid.setRows(labelRows + 1);
    for (int i = 0; i < count; ++i)
        grid.setCellText(1 + i / perRow, 1 + i % perRow, labels->texts.at(i));
    const PageSetup setup = labelPage(grid.pageSetup(), settings.room);
    grid.setPageSetup(setup);

    // The labels share the printable width: narrower labels rather than a cut-off column.
    const int width =
        std::min(labels->width, int(GridPagination::contentRect(setup).width()) / perRow);
    for (int c = 1; c <= perRow; ++c)
        grid.setColumnWidth(c, width);
    GridRange cells = grid.range(1, 1, labelRows, perRow);
    cells.setFontName(QStringLiteral("黑体"));
    cells.setFontSize(72);
    cells.setAlignment(GridAlign::CenterMiddle);
    for (int r = 1; r <= labelRows; ++r) {
        grid.setRowHeight(r, labels->height);
        // A long exam number takes smaller type, whole on one line.
        for (int c = 1; c <= perRow; ++c)
            GridPaperFit::shrinkToFit(grid, r, c, kSmallestSize);
    }
    grid.setAutoRedraw(true);
    grid.refresh();
    return Status::ok();
}

} // namespace fenpai
