#include "jobs/documents/reportformat.h"

#include "core/tablenames.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpaperfit.h"

#include <QDate>

namespace fenpai {

namespace {

constexpr int kNarrowWidth = 38;  // a narrow numeric column
constexpr int kCaptionWidth = 64; // a longer caption wraps: five characters of 9 points

} // namespace

ReportFormat::Subtitle ReportFormat::subtitleFrom(Database &db)
{
    Subtitle s;
    Result<Query> q = db.query(QStringLiteral("select 副左标题,副右标题,显示日期 from bsxtable"));
    if (!q || q->atEnd())
        return s;
    s.left = q->value(0).toString();
    s.right = q->value(1).toString();
    s.showDate = q->value(2).toString().trimmed() == QLatin1String("1");
    return s;
}

QString ReportFormat::subtitleText(const Subtitle &subtitle, const QString &centre)
{
    QString text = subtitle.left + u'|' + centre + u'|' + subtitle.right;
    if (subtitle.showDate)
        text += QDate::currentDate().toString(QStringLiteral("yyyy年M月d日"));
    return text;
}

void ReportFormat::setPrintTitles(Grid &grid, const QString &titleText, const Subtitle &subtitle,
                                  const TitleStyle &style)
{
    grid.clearReportTitles();
    // A sheet that carries its own title line gets the subtitles alone.
    if (!titleText.isEmpty()) {
        ReportTitle first;
        first.text = titleText;
        first.font.name = QStringLiteral("宋体");
        first.font.size = style.titleSize;
        first.printOnAllPages = true;
        grid.addReportTitle(first);
    }

    ReportTitle second;
    second.text = subtitleText(subtitle, style.centre);
    second.font.name = QStringLiteral("Arial");
    second.font.size = style.subtitleSize;
    second.alignTo = 1;
    second.printOnAllPages = true;
    grid.addReportTitle(second);
}

void ReportFormat::setPrintTitles(Grid &grid, const QString &titleText, const Subtitle &subtitle)
{
    setPrintTitles(grid, titleText, subtitle, TitleStyle());
}

void ReportFormat::fitToPaper(Grid &grid, int narrowFrom)
{
    QList<int> keys;
    QList<int> numbers;
    for (int c = 1; c < grid.cols(); ++c)
        (c >= narrowFrom ? numbers : keys).append(c);
    GridPaperFit::Options options;
    options.maxHeaderWidth = kCaptionWidth;
    GridPaperFit::fitColumns(grid, keys, options);
    options.minWidth = kNarrowWidth;
    GridPaperFit::fitColumns(grid, numbers, options);
}

QString ReportFormat::bandHeader(const QString &header)
{
    QString text = header;
    if (text.endsWith(QStringLiteral("段")))
        text = text.mid(1, text.size() - 2);
    if (text.endsWith(QStringLiteral("分以上")))
        text = text.mid(1);
    return text;
}

void ReportFormat::apply(Grid &grid, Variant variant, const QString &titleText,
                         const Subtitle &subtitle)
{
    const bool statistics = variant == Variant::Statistics;
    setPrintTitles(grid, titleText, subtitle);
    grid.setRowHeight(0, 32);
    grid.setAutoRedraw(false);

    int total = 0;
    for (int c = 1; c < grid.cols(); ++c) {
        const bool hidden = grid.columnWidth(c) == 0;
        if (statistics) {
            total += grid.columnWidth(c);
            grid.setCellText(0, c, bandHeader(grid.cellText(0, c)));
        }
        grid.autoFitColumn(c);
        grid.range(0, c, 0, c).setWrapText(true);
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
        if (!statistics && hidden)
            grid.setColumnWidth(c, 0); // a hidden order column stays hidden
        if ((statistics && c > 2) || (!statistics && c > 4)) {
            if (statistics || !hidden)
                grid.setColumnWidth(c, kNarrowWidth);
            grid.setColumnMask(c, GridMask::Numeric);
        }
        if (statistics) {
            const QString header = grid.cellText(0, c);
            if (header.contains(ColumnNames::total))
                grid.setColumnFormatString(c, QStringLiteral("####"));
            if (header.contains(QStringLiteral("率")))
                grid.setCellText(0, c, header + QStringLiteral("%"));
            if (header.contains(QStringLiteral("平均")) ||
                header.contains(QStringLiteral("综合分")))
                grid.setColumnFormatString(c, QStringLiteral("##,##0.00"));
        }
    }

    applyPageSetup(grid, variant, total);
    // Printed values are whole: the columns follow them where the narrow width would cut.
    fitToPaper(grid, statistics ? 3 : 5);
    grid.refresh();
    grid.setAutoRedraw(true);
}

void ReportFormat::applyPageSetup(Grid &grid, Variant variant, int tableWidth)
{
    const bool statistics = variant == Variant::Statistics;
    PageSetup page = grid.pageSetup();
    page.orientation = statistics && tableWidth / 38.0 * 1.01 > 20
                           ? PageSetup::Orientation::Landscape
                           : PageSetup::Orientation::Portrait;
    page.leftMargin = 1;
    page.rightMargin = 1;
    page.blackAndWhite = true;
    page.printFixedRow = true;
    page.printGridlines = true;
    page.printTitleRows = statistics ? 1 : 0;
    // Every page names its rows: the key column repeats at the left, as the header row on top.
    page.printTitleColumns = statistics ? 1 : 0;
    page.centerHorizontally = true;
    page.topMargin = 2;
    page.headerMargin = page.topMargin - 1;
    page.bottomMargin = 2;
    page.footerMargin = page.bottomMargin - 1;
    page.footer = PageSetup::standardFooter();
    grid.setPageSetup(page);
}

} // namespace fenpai
