#include "jobs/reports/balancereport.h"

#include "core/numbertext.h"
#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/balancecharts.h"
#include "jobs/reports/balanceintake.h"

#include <QGuiApplication>

#include <algorithm>
#include <cmath>

namespace fenpai {

namespace {

using Chart = BalanceCharts::Chart;
using Kind = BalanceCertificate::Kind;

constexpr int kSchoolColumn = 9; // the first school's column; the fixed columns before it
constexpr int kHeaderHeight = 32;
constexpr int kCaptionWidth = 64;       // a longer column caption wraps: five characters
constexpr int kNarrowCaptionWidth = 43; // three characters
const QColor kHeading(0xee, 0xee, 0xee);

BalanceCharts::Data chartData(const BalanceIntake &intake, const DivisionSummary &summary)
{
    BalanceCharts::Data data;
    data.schools = intake.schoolNames();
    if (intake.layers().size() > 1)
        data.blocks = intake.layers();
    for (const ClassBalance &c : summary.classes()) {
        BalanceCharts::ClassFigures f;
        f.number = c.classNumber;
        f.boys = c.boys;
        f.girls = c.girls;
        f.others = c.pupils - c.boys - c.girls;
        f.mean = c.mean;
        f.sd = c.sd;
        f.schools.assign(static_cast<size_t>(data.schools.size()), 0);
        data.classes.push_back(std::move(f));
    }
    for (const DivisionSummary::Pupil &p : intake.pupils()) {
        if (p.classNumber < 1 || p.classNumber > intake.classCount())
            continue;
        BalanceCharts::ClassFigures &f = data.classes[static_cast<size_t>(p.classNumber - 1)];
        if (p.scored)
            f.scores.push_back(p.score);
        if (p.school >= 0)
            ++f.schools[static_cast<size_t>(p.school)];
    }
    for (BalanceCharts::ClassFigures &f : data.classes)
        std::sort(f.scores.begin(), f.scores.end());
    return data;
}

// A block of cells merged into one, its text set.
void putMerged(Grid &grid, int row, int firstCol, int lastCol, const QString &text)
{
    grid.setCellText(row, firstCol, text);
    if (lastCol > firstCol)
        grid.mergeArea(GridArea{row, firstCol, row, lastCol});
}

void frame(Grid &grid, const GridArea &area)
{
    GridRange range(&grid, area);
    for (GridBorder::Edge edge :
         {GridBorder::Edge::Left, GridBorder::Edge::Top, GridBorder::Edge::Right,
          GridBorder::Edge::Bottom, GridBorder::Edge::InsideVertical,
          GridBorder::Edge::InsideHorizontal})
        range.setBorder(edge, GridBorder::Style::Thin);
}

// One row per class under the header row; a class without scores leaves its score cells empty.
void fillTable(Grid &grid, const DivisionSummary &summary, const BalanceCharts::Data &data)
{
    const QStringList header = {QStringLiteral("新分班"), QStringLiteral("人数"),
                                QStringLiteral("男生"),   QStringLiteral("女生"),
                                QStringLiteral("平均分"), QStringLiteral("标准差"),
                                QStringLiteral("最高分"), QStringLiteral("最低分")};
    for (qsizetype c = 0; c < header.size(); ++c)
        grid.setCellText(0, static_cast<int>(c) + 1, header[c]);
    for (qsizetype s = 0; s < data.schools.size(); ++s)
        grid.setCellText(0, kSchoolColumn + static_cast<int>(s), data.schools[s]);
    int row = 1;
    for (const ClassBalance &c : summary.classes()) {
        const bool scored = c.scored > 0;
        const QStringList cells = {
            QString::number(c.classNumber),
            QString::number(c.pupils),
            QString::number(c.boys),
            QString::number(c.girls),
            scored ? QString::number(c.mean, 'f', 2) : QString(),
            scored ? QString::number(c.sd, 'f', 2) : QString(),
            scored ? NumberText::format(c.highest) : QString(),
            scored ? NumberText::format(c.lowest) : QString(),
        };
        for (qsizetype k = 0; k < cells.size(); ++k)
            grid.setCellText(row, static_cast<int>(k) + 1, cells[k]);
        const std::vector<int> &schools = data.classes[static_cast<size_t>(row - 1)].schools;
        for (size_t s = 0; s < schools.size(); ++s)
            grid.setCellText(row, kSchoolColumn + static_cast<int>(s), QString::number(schools[s]));
        ++row;
    }
    grid.setRowHeight(0, kHeaderHeight);
    grid.range(0, 1, 0, grid.cols() - 1).setWrapText(true);
    frame(grid, GridArea{0, 1, row - 1, grid.cols() - 1});
}

// The certificate's own columns over the table's: 项目, the spread reached and its bound over
// two columns each, the random median over one (two when there are school columns) and the
// share over the rest.
struct CertificateColumns
{
    int first[5];
    int last[5];
};

CertificateColumns certificateColumns(int lastCol)
{
    if (lastCol >= kSchoolColumn)
        return {{1, 3, 5, 7, 9}, {2, 4, 6, 8, lastCol}};
    return {{1, 3, 5, 7, 8}, {2, 4, 6, 7, 8}};
}

// Rows high enough for the wrapped texts of their merged blocks.
void fitMergedRows(Grid &grid, int first, int last)
{
    for (int r = first; r <= last; ++r) {
        double height = 0;
        for (int c = 1; c < grid.cols(); ++c) {
            const GridArea block = grid.mergeAt(r, c);
            if (block.firstCol != c || !grid.cellStyle(r, c).wrapText)
                continue;
            int width = 0;
            for (int k = block.firstCol; k <= block.lastCol; ++k)
                width += grid.columnWidth(k);
            height = std::max(height, GridPaperFit::wrappedHeight(grid.cellFont(r, c).toPixelFont(),
                                                                  grid.cellText(r, c),
                                                                  width - GridPaperFit::kPadding));
        }
        if (height > 0)
            grid.setRowHeight(r,
                              std::max(grid.rowHeight(r), static_cast<int>(std::ceil(height)) + 8));
    }
}

QStringList notes(const BalanceCertificate &certificate, const BalanceIntake &intake)
{
    QString within;
    if (certificate.layered()) {
        QStringList layers;
        for (size_t b = 0; b < certificate.blocks().size(); ++b) {
            const auto [lo, hi] = certificate.blocks()[b];
            layers.append(lo == hi ? QStringLiteral("第%1层：%2班").arg(b + 1).arg(lo)
                                   : QStringLiteral("第%1层：%2–%3班").arg(b + 1).arg(lo).arg(hi));
        }
        within = QStringLiteral("。%1分为%2层（%3），各项在同层各班之间比较")
                     .arg(intake.layersStored() ? QStringLiteral("上次分班")
                                                : QStringLiteral("各班成绩"))
                     .arg(certificate.blocks().size())
                     .arg(layers.join(QStringLiteral("；")));
    }
    QStringList out = {
        QStringLiteral("最大差：各班中最多与最少（最高与最低）之差%1。").arg(within),
        QStringLiteral("可能的最小差：这批学生分成与本次人数相同的班级，无论怎样分，差都不会更小："
                       "人数、男女生和各校人数按能否整除推出，平均分按成绩的最小单位和各班人数"
                       "推出；标准差推不出可靠的下限，记为“—”。"),
        QStringLiteral("随机分班：把学生%1随机分到人数与本次相同的班级，共 %2 次（随机种子 %3，"
                       "结果可重复）；“优于”是差比本次大的随机分班所占的比例。")
            .arg(certificate.layered() ? QStringLiteral("在各层之内") : QString())
            .arg(certificate.divisions())
            .arg(certificate.seed()),
    };
    if (intake.unplaced() > 0)
        out.append(QStringLiteral("另有 %1 名学生没有分到新班级，不在以上统计之内。")
                       .arg(intake.unplaced()));
    return out;
}

// The certificate from `row` on, in the table's final columns; returns the row after it.
int fillCertificate(Grid &grid, int row, const BalanceCertificate &certificate,
                    const BalanceIntake &intake)
{
    const QStringList texts = notes(certificate, intake);
    grid.setRows(row + 3 + static_cast<int>(certificate.criteria().size() + texts.size()));
    const int lastCol = grid.cols() - 1;
    const int first = row;
    const CertificateColumns cols = certificateColumns(lastCol);
    putMerged(grid, row, 1, lastCol, QStringLiteral("均衡证明"));
    grid.range(row, 1, row, lastCol).setFontBold(true);
    grid.range(row, 1, row, lastCol).setFontSize(11);
    grid.setRowHeight(row, 26);
    ++row;
    const int top = row;
    const QStringList heads = {QStringLiteral("项目"), QStringLiteral("本次分班的最大差"),
                               QStringLiteral("可能的最小差"), QStringLiteral("随机分班的中位差"),
                               QStringLiteral("优于随机分班")};
    for (int k = 0; k < 5; ++k)
        putMerged(grid, row, cols.first[k], cols.last[k], heads[k]);
    grid.range(row, 1, row, lastCol).setWrapText(true);
    grid.range(row, 1, row, lastCol).setBackColor(kHeading);
    ++row;
    bool schools = false;
    for (const BalanceCertificate::Criterion &c : certificate.criteria()) {
        const bool school = c.kind == Kind::School;
        if (school && !schools) {
            // The schools under one heading, each then by its name alone.
            putMerged(grid, row, 1, lastCol, QStringLiteral("各原学校的人数"));
            grid.range(row, 1, row, lastCol).setBackColor(kHeading);
            ++row;
            schools = true;
        }
        const bool random = c.randomMedian.has_value();
        const QStringList cells = {
            school ? intake.schoolNames().value(c.school) : certificate.caption(c),
            BalanceCertificate::spreadText(c, c.reached), BalanceCertificate::boundText(c),
            random ? BalanceCertificate::spreadText(c, *c.randomMedian) : QStringLiteral("—"),
            random ? BalanceCertificate::beatenText(c.beaten, certificate.divisions())
                   : QStringLiteral("—")};
        for (int k = 0; k < 5; ++k)
            putMerged(grid, row, cols.first[k], cols.last[k], cells[k]);
        ++row;
    }
    grid.range(top, 1, row - 1, lastCol).setAlignment(GridAlign::CenterMiddle);
    frame(grid, GridArea{top, 1, row - 1, lastCol});
    for (const QString &note : texts) {
        putMerged(grid, row, 1, lastCol, note);
        grid.range(row, 1, row, lastCol).setWrapText(true);
        grid.range(row, 1, row, lastCol).setAlignment(GridAlign::LeftMiddle);
        ++row;
    }
    grid.range(top, 1, row - 1, lastCol).setWrapText(true);
    fitMergedRows(grid, first, row - 1);
    return row;
}

int tableWidth(const Grid &grid)
{
    int width = 0;
    for (int c = 1; c < grid.cols(); ++c)
        width += grid.columnWidth(c);
    return width;
}

// The columns fitted to their printed values, numbers never narrower than 38 pixels, the
// captions wrapping at `captionWidth`; returns whether the table fits across the page.
bool fitAcross(Grid &grid, int captionWidth)
{
    grid.setRowHeight(0, kHeaderHeight); // the fitting only grows rows
    GridPaperFit::Options fit;
    fit.maxHeaderWidth = captionWidth;
    GridPaperFit::fitColumns(grid, {1}, fit);
    QList<int> numbers;
    for (int c = 2; c < grid.cols(); ++c)
        numbers.append(c);
    fit.minWidth = 38;
    GridPaperFit::fitColumns(grid, numbers, fit);
    return tableWidth(grid) <= GridPagination::tableWidth(grid);
}

// Portrait when the table fits across (its captions in lines of five characters, else of
// three), or nearly so in slightly smaller print; else landscape, smaller when even that is too
// narrow. The columns then widen to fill the width, which the charts take whole. Returns the
// zoom.
double layOutPage(Grid &grid)
{
    ReportFormat::applyPageSetup(grid, ReportFormat::Variant::Statistics, tableWidth(grid));
    PageSetup page = grid.pageSetup();
    page.blackAndWhite = false; // the charts are in colour
    page.printGridlines = false;
    page.printTitleColumns = 0;
    page.centerHorizontally = false;
    constexpr double smallest = 0.85; // the smallest print a portrait page takes
    for (PageSetup::Orientation orientation :
         {PageSetup::Orientation::Portrait, PageSetup::Orientation::Landscape}) {
        page.orientation = orientation;
        grid.setPageSetup(page);
        if (fitAcross(grid, kCaptionWidth) || fitAcross(grid, kNarrowCaptionWidth))
            break;
        const double zoom = GridPagination::tableWidth(grid) / tableWidth(grid);
        if (zoom >= smallest || orientation == PageSetup::Orientation::Landscape) {
            page.zoom = std::max(25, static_cast<int>(std::floor(100 * zoom)));
            grid.setPageSetup(page);
            break;
        }
    }
    const int room = static_cast<int>(std::floor(GridPagination::tableWidth(grid)));
    const int columns = grid.cols() - 1;
    const int extra = std::max(0, room - tableWidth(grid));
    for (int c = 1; c < grid.cols(); ++c)
        grid.setColumnWidth(c,
                            grid.columnWidth(c) + extra / columns + (c <= extra % columns ? 1 : 0));
    return page.zoom / 100.0;
}

QString chartCaption(Chart chart)
{
    switch (chart) {
    case Chart::Means:
        return QStringLiteral("图1 各班平均分与标准差");
    case Chart::Boxes:
        return QStringLiteral("图2 各班成绩分布");
    case Chart::Sexes:
        return QStringLiteral("图3 各班男女生人数");
    case Chart::Schools:
        break;
    }
    return QStringLiteral("图4 各原学校在各班的人数");
}

// One picture into a row of its own, merged across the table.
void addPicture(Grid &grid, int row, const QString &key, const QImage &image, double height)
{
    grid.addImage(key, image);
    putMerged(grid, row, 1, grid.cols() - 1, QString());
    grid.setCellImage(row, 1, key);
    grid.setRowHeight(row, static_cast<int>(std::lround(height)));
}

// A heading never ends a page: a page break before it sends it on with what it heads.
void keepWithNext(Grid &grid, const QList<int> &headings)
{
    for (qsizetype pass = 0; pass < headings.size(); ++pass) {
        const GridPageLayout layout = GridPagination::paginate(grid);
        const auto orphan =
            std::find_if(layout.pages.begin(), layout.pages.end(), [&](const GridPage &page) {
                return !page.rows.isEmpty() && headings.contains(page.rows.last()) &&
                       !grid.hPageBreaks().contains(page.rows.last());
            });
        if (orphan == layout.pages.end())
            return;
        grid.addHPageBreak(orphan->rows.last());
    }
}

// The charts from `row` on, each under its caption, cut into pictures of equal places; returns
// the captions' rows.
QList<int> addCharts(Grid &grid, int row, const BalanceCharts::Data &data, double zoom, double dpi)
{
    QList<int> captions;
    const double printedWidth = tableWidth(grid) * zoom;
    const int classes = static_cast<int>(data.classes.size());
    const int pictures = (classes + BalanceCharts::placesPerPicture(printedWidth) - 1) /
                         BalanceCharts::placesPerPicture(printedWidth);
    const int places = (classes + pictures - 1) / pictures;
    const int schools = static_cast<int>(data.schools.size());
    const int schoolPictures =
        (schools + BalanceCharts::schoolsPerPicture() - 1) / BalanceCharts::schoolsPerPicture();
    for (Chart chart : {Chart::Means, Chart::Boxes, Chart::Sexes, Chart::Schools}) {
        const int groups = chart == Chart::Schools ? schoolPictures : 1;
        if (groups == 0)
            continue;
        grid.setRows(row + 2 + pictures * groups);
        grid.setRowHeight(row, 8);
        putMerged(grid, ++row, 1, grid.cols() - 1, chartCaption(chart));
        captions.append(row);
        grid.range(row, 1, row, 1).setFontBold(true);
        grid.setRowHeight(row++, 26);
        for (int g = 0; g < groups; ++g) {
            BalanceCharts::Part part;
            part.places = places;
            part.firstSchool = g * BalanceCharts::schoolsPerPicture();
            part.schoolCount =
                std::min(BalanceCharts::schoolsPerPicture(), schools - part.firstSchool);
            const double height = BalanceCharts::height(chart, part.schoolCount);
            for (int k = 0; k < pictures; ++k) {
                part.first = k * places;
                part.count = std::min(places, classes - part.first);
                const QImage image =
                    BalanceCharts::draw(chart, data, part, QSizeF(printedWidth, height), dpi);
                addPicture(
                    grid, row++,
                    QStringLiteral("均衡图%1-%2-%3").arg(int(chart) + 1).arg(g + 1).arg(k + 1),
                    image, height / zoom);
            }
        }
    }
    grid.setRows(row + 1); // the blank row a document ends with
    return captions;
}

} // namespace

QString BalanceReport::title()
{
    return QStringLiteral("分班均衡报告");
}

Result<ReportDocument> BalanceReport::build(Database &db, Grid &grid)
{
    return build(db, grid, Options());
}

Result<ReportDocument> BalanceReport::build(Database &db, Grid &grid, const Options &options)
{
    Result<BalanceIntake> intake = BalanceIntake::read(db);
    if (!intake)
        return intake.status();
    const DivisionSummary summary(intake->classCount(), intake->pupils(), intake->schoolNames(),
                                  intake->layers());
    const BalanceCertificate certificate(intake->pupils(), intake->classCount(),
                                         intake->schoolNames(), intake->layers(),
                                         options.certificate);
    const BalanceCharts::Data data = chartData(*intake, summary);
    FontSubstitutes::install(); // the charts name the fonts documents use

    grid.setAutoRedraw(false);
    grid.reset();
    const int classes = intake->classCount();
    grid.setRows(1 + classes);
    grid.setCols(kSchoolColumn + static_cast<int>(intake->schoolNames().size()));
    grid.setFixedRows(1);
    grid.setDisplayRowIndex(true);
    grid.setColumnWidth(0, 30);
    for (int c = 1; c < grid.cols(); ++c)
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
    fillTable(grid, summary, data);
    ReportFormat::setPrintTitles(grid, title(), ReportFormat::subtitleFrom(db));
    const double zoom = layOutPage(grid);

    // A gap, then the certificate and the charts, in the widths the table settled on.
    grid.setRows(classes + 2);
    grid.setRowHeight(classes + 1, 12);
    const int next = fillCertificate(grid, classes + 2, certificate, *intake);
    // The header row stands over the class table only.
    grid.setTitleRowsEnd(classes + 1);
    // Drawing text needs the fonts a GUI application opens; the window and the command line's
    // report both have one.
    if (qGuiApp) {
        keepWithNext(grid, addCharts(grid, next, data, zoom, options.dpi) << classes + 2);
    } else {
        grid.setRows(next + 2);
        putMerged(grid, next, 1, grid.cols() - 1, QStringLiteral("（没有图形环境，图表未绘制）"));
    }
    grid.refresh();
    grid.setAutoRedraw(true);
    return ReportDocument{title(), title()};
}

} // namespace fenpai
