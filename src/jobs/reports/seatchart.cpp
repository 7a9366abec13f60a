#include "jobs/reports/seatchart.h"

#include "core/numbertext.h"
#include "grid/grid.h"
#include "grid/gridpaperfit.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/documents/reportformat.h"

#include <algorithm>

namespace fenpai {

namespace {

// Rows of a room's block above its desks.
enum BlockRow
{
    TitleRow,
    LocationRow,
    FrontDeskRow,
    GapRow,
    FirstDeskRow
};

// Landscape A4 with 1.5 cm margins leaves about 1009 × 680 pixels; heights of the rows above
// the desks.
constexpr double pageWidth = 1009;
constexpr double pageHeight = 680;
constexpr int headHeights[FirstDeskRow] = {40, 26, 30, 10};
constexpr int headHeight = 40 + 26 + 30 + 10;
constexpr double subtitleHeight = 25; // the report titles' line at 10 points
constexpr double deskFontSize = 10;
constexpr int deskLineHeight = 22; // one line of a desk at 10 points, its share of the padding

QString deskText(const SeatedExaminee &e, const QHash<QString, QString> &schools)
{
    if (e.classId < 0)
        return {};
    QString text = NumberText::display(e.number);
    if (!e.version.isEmpty())
        text += u' ' + e.version + QStringLiteral("卷");
    text += u'\n' + e.name + u'\n';
    if (const auto school = schools.constFind(e.school); school != schools.cend())
        text += *school + u'\n';
    return text + e.className;
}

// The room's schools in seat order, each once.
QStringList schoolsOf(const SeatedRoom &room)
{
    QStringList schools;
    for (const SeatedExaminee &e : room.seats) {
        if (e.classId >= 0 && !schools.contains(e.school))
            schools.append(e.school);
    }
    return schools;
}

// A desk row's height: the page shared among the most rows a room has, enough for a desk's
// lines (four where a room holds several schools: number, name, school, class).
int deskRowHeight(const std::vector<SeatedRoom> &rooms, int rows, double deskHeight)
{
    bool severalSchools = false;
    for (const SeatedRoom &room : rooms)
        severalSchools = severalSchools || schoolsOf(room).size() > 1;
    const int deskLines = severalSchools ? 4 : 3;
    return std::clamp((static_cast<int>(deskHeight) - headHeight) / rows,
                      deskLines * deskLineHeight, 30 * deskLines);
}

void fillRoom(Grid &grid, int top, const SeatedRoom &room, int rowHeight)
{
    const DeskLayout &layout = room.layout;
    const int lineLength =
        static_cast<int>((grid.columnWidth(1) - GridPaperFit::kPadding) / (deskFontSize * 96 / 72));
    const QHash<QString, QString> schools = SeatChart::schoolLabels(schoolsOf(room), lineLength);
    const int cols = std::max(layout.cols(), 1);
    const auto band = [&](int row, int first, int last) {
        grid.range(top + row, first, top + row, last).merge();
        return grid.range(top + row, first, top + row, last);
    };
    for (int r = 0; r < FirstDeskRow; ++r)
        grid.setRowHeight(top + r, headHeights[r]);

    grid.setCellText(top + TitleRow, 1, SeatChart::title(room.room));
    GridRange title = band(TitleRow, 1, cols);
    title.setFontName(QStringLiteral("黑体"));
    title.setFontSize(18);
    title.setAlignment(GridAlign::CenterMiddle);

    grid.setCellText(top + LocationRow, 1,
                     room.location.isEmpty() ? QString()
                                             : QStringLiteral("考场地点：") + room.location);
    GridRange location = band(LocationRow, 1, cols);
    location.setFontSize(11);
    location.setAlignment(GridAlign::CenterMiddle);

    // The front desk stands over the middle of the room.
    const int side = cols >= 3 ? cols / 3 : 0;
    grid.setCellText(top + FrontDeskRow, 1 + side, QStringLiteral("讲台"));
    GridRange front = band(FrontDeskRow, 1 + side, cols - side);
    front.setFontSize(12);
    front.setFontBold(true);
    front.setAlignment(GridAlign::CenterMiddle);
    front.setBackColor(QColor(0xe0, 0xe0, 0xe0));
    for (GridBorder::Edge edge : {GridBorder::Edge::Left, GridBorder::Edge::Top,
                                  GridBorder::Edge::Right, GridBorder::Edge::Bottom})
        front.setBorder(edge, GridBorder::Style::Thin);

    if (layout.rows() == 0)
        return;
    const int first = top + FirstDeskRow;
    for (int r = 1; r <= layout.rows(); ++r) {
        grid.setRowHeight(first + r - 1, rowHeight);
        for (int c = 1; c <= layout.cols(); ++c) {
            const int seat = layout.seatAt(r, c);
            if (seat >= 1 && seat <= static_cast<int>(room.seats.size()))
                grid.setCellText(first + r - 1, c,
                                 deskText(room.seats[static_cast<size_t>(seat) - 1], schools));
        }
    }
    GridRange desks = grid.range(first, 1, first + layout.rows() - 1, layout.cols());
    desks.setWrapText(true);
    desks.setAlignment(GridAlign::CenterMiddle);
    desks.setFontSize(deskFontSize);
    for (GridBorder::Edge edge :
         {GridBorder::Edge::Left, GridBorder::Edge::Top, GridBorder::Edge::Right,
          GridBorder::Edge::Bottom, GridBorder::Edge::InsideVertical,
          GridBorder::Edge::InsideHorizontal})
        desks.setBorder(edge, GridBorder::Style::Thin);
}

// The rooms the request names, in the order read; refuses a request that names none.
Result<std::vector<SeatedRoom>> chartedRooms(Database &db, const SeatChart::Request &request)
{
    const Result<std::vector<SeatedRoom>> read = RoomSeating::read(db, request.order, request.room);
    if (!read)
        return read.status();
    std::vector<SeatedRoom> rooms;
    for (const SeatedRoom &room : *read) {
        if (request.room <= 0 || room.room == request.room)
            rooms.push_back(room);
    }
    if (rooms.empty())
        return Status::refused(request.room > 0
                                   ? QStringLiteral("没有第 %1 考场。").arg(request.room)
                                   : QStringLiteral("考场表中没有考场。"));
    return rooms;
}

// The most desk columns and rows of any room, and the grid rows all the rooms' blocks take.
struct ChartExtent
{
    int cols = 1;
    int rows = 1;
    int deskRows = 0;
};

// Refuses a room with more desk rows or columns than a chart draws.
Result<ChartExtent> chartExtent(const std::vector<SeatedRoom> &rooms)
{
    ChartExtent extent;
    for (const SeatedRoom &room : rooms) {
        const DeskLayout &l = room.layout;
        if (l.rows() > SeatChart::maxLines || l.cols() > SeatChart::maxLines)
            return Status::refused(
                QStringLiteral("第 %1 考场有 %2 行 %3 列座位，座位表最多画 %4 行 %4 列。")
                    .arg(room.room)
                    .arg(l.rows())
                    .arg(l.cols())
                    .arg(SeatChart::maxLines));
        extent.cols = std::max(extent.cols, l.cols());
        extent.rows = std::max(extent.rows, l.rows());
        extent.deskRows += FirstDeskRow + l.rows();
    }
    return extent;
}

// Landscape with narrow margins, at the zoom that fits the largest room to its page.
void setChartPage(Grid &grid, int zoom)
{
    PageSetup page = grid.pageSetup();
    page.orientation = PageSetup::Orientation::Landscape;
    page.paperKind = 0;
    page.zoom = zoom;
    page.leftMargin = page.rightMargin = page.topMargin = page.bottomMargin = 1.5;
    page.headerMargin = page.footerMargin = 0.8;
    page.printFixedRow = false;
    page.printFixedColumn = false;
    page.printGridlines = false;
    page.printTitleRows = 0;
    page.centerHorizontally = true;
    grid.setPageSetup(page);
}

} // namespace

QHash<QString, QString> SeatChart::schoolLabels(const QStringList &schools, int lineLength)
{
    QHash<QString, QString> labels;
    if (schools.size() < 2)
        return labels;
    // The fewest leading characters that make every name of the room distinct.
    qsizetype length = 4;
    const auto distinct = [&](qsizetype n) {
        QStringList seen;
        for (const QString &school : schools) {
            if (seen.contains(school.left(n)))
                return false;
            seen.append(school.left(n));
        }
        return true;
    };
    qsizetype longest = 0;
    for (const QString &school : schools)
        longest = std::max(longest, school.size());
    while (length < longest && !distinct(length))
        ++length;
    for (const QString &school : schools)
        labels.insert(school, school.size() <= lineLength ? school : school.left(length));
    return labels;
}

QString SeatChart::title(int room)
{
    if (room <= 0)
        return QStringLiteral("全部考场座位表");
    return QStringLiteral("第 %1 考场座位表").arg(room);
}

Result<ReportDocument> SeatChart::build(Database &db, Grid &grid, const Request &request)
{
    const Result<std::vector<SeatedRoom>> rooms = chartedRooms(db, request);
    if (!rooms)
        return rooms.status();
    const Result<ChartExtent> extent = chartExtent(*rooms);
    if (!extent)
        return extent.status();
    const int cols = extent->cols;
    const int rows = extent->rows;

    // Wide desks for narrow rooms; rooms larger than 8 × 8 are scaled down to their page. The
    // report titles' line takes its height from the page.
    const double deskHeight = pageHeight - subtitleHeight;
    const int colWidth = std::clamp(static_cast<int>(pageWidth) / cols, 120, 180);
    const int rowHeight = deskRowHeight(*rooms, rows, deskHeight);
    const double fit =
        std::min(pageWidth / (cols * colWidth), deskHeight / (headHeight + rows * rowHeight));
    const int zoom = std::clamp(static_cast<int>(fit * 100), 10, 100);

    grid.setAutoRedraw(false);
    grid.reset();
    // The report titles' line above every room; no title line of its own, the sheet has one.
    ReportFormat::setPrintTitles(grid, QString(), ReportFormat::subtitleFrom(db));
    grid.setRows(1 + extent->deskRows);
    grid.setCols(1 + cols);
    // The header row and the row numbers mean nothing on a chart.
    grid.setRowHeight(0, 0);
    grid.setColumnWidth(0, 0);
    for (int c = 1; c <= cols; ++c)
        grid.setColumnWidth(c, colWidth);
    int top = 1;
    for (const SeatedRoom &room : *rooms) {
        if (top > 1)
            grid.addHPageBreak(top);
        fillRoom(grid, top, room, rowHeight);
        top += FirstDeskRow + room.layout.rows();
    }
    setChartPage(grid, zoom);
    grid.refresh();
    grid.setAutoRedraw(true);

    const QString title = SeatChart::title(request.room);
    return ReportDocument{title, title};
}

} // namespace fenpai
