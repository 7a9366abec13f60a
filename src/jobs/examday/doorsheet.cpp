#include "jobs/examday/doorsheet.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "jobs/documents/reportformat.h"
#include "jobs/examday/examdaypage.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace fenpai {

namespace {

// The rows of a room's page above its desks, with their heights and type sizes.
enum BandRow
{
    RoomRow,
    PlaceRow,
    NumbersRow,
    CountRow,
    GapRow,
    FrontRow,
    FirstDeskRow
};
constexpr std::array<int, FirstDeskRow> bandHeights = {130, 56, 46, 46, 24, 30};
constexpr std::array<double, FirstDeskRow> bandSizes = {72, 24, 22, 22, 10, 12};
constexpr int bandHeight = 130 + 56 + 46 + 46 + 24 + 30;
constexpr double deskFontSize = 14;
constexpr double smallestDeskSize = 8;

struct Span
{
    QString first;
    QString last;
};

// The first and last exam number of every room, as the list of first and last numbers has them.
QHash<int, Span> spans(Database &db)
{
    QHash<int, Span> out;
    Result<Query> q = db.query(QStringLiteral(
        "select 考场,min(考号),max(考号) from 考生表 where 考场 >= 1 GROUP BY 考场"));
    for (; q && !q->atEnd(); q->next()) {
        const double room = q->value(0).toDouble();
        if (room >= 1 && room == static_cast<int>(room))
            out.insert(static_cast<int>(room),
                       {NumberText::display(q->value(1)), NumberText::display(q->value(2))});
    }
    return out;
}

QString countLine(const SeatedRoom &room)
{
    int examinees = 0;
    QMap<QString, int> versions;
    for (const SeatedExaminee &e : room.seats) {
        if (e.classId < 0)
            continue;
        ++examinees;
        if (!e.version.isEmpty())
            ++versions[e.version];
    }
    QString line = QStringLiteral("本考场考生 %1 人").arg(examinees);
    if (!versions.isEmpty()) {
        QStringList parts;
        for (auto it = versions.cbegin(); it != versions.cend(); ++it)
            parts.append(QStringLiteral("%1卷 %2 份").arg(it.key()).arg(it.value()));
        line += QStringLiteral("（%1）").arg(parts.join(QStringLiteral("，")));
    }
    return line;
}

class DoorWriter final
{
public:
    DoorWriter(Grid &grid, int cols, int deskHeight)
        : m_grid(grid)
        , m_cols(cols)
        , m_deskHeight(deskHeight)
    {}

    void page(const SeatedRoom &room, const Span &span)
    {
        const int top = m_grid.rows();
        const DeskLayout &layout = room.layout;
        m_grid.setRows(top + FirstDeskRow + layout.rows());
        if (top > 1)
            m_grid.addHPageBreak(top);
        QString place =
            room.location.isEmpty() ? QString() : QStringLiteral("考场地点：") + room.location;
        if (const QString door = ExamDayPage::doorSuffix(room); !door.isEmpty())
            place = door.mid(1, door.size() - 2) + QStringLiteral("　") + place;
        const QString texts[FirstDeskRow] = {QStringLiteral("第 %1 考场").arg(room.room),
                                             place,
                                             DoorSheet::numberLine(span.first, span.last),
                                             countLine(room),
                                             QString(),
                                             QString()};
        for (int r = 0; r < FirstDeskRow; ++r) {
            m_grid.setRowHeight(top + r, bandHeights[static_cast<size_t>(r)]);
            if (r == FrontRow)
                continue;
            m_grid.range(top + r, 1, top + r, m_cols).merge();
            m_grid.setCellText(top + r, 1, texts[r]);
            GridRange cell = m_grid.range(top + r, 1, top + r, 1);
            cell.setFontSize(bandSizes[static_cast<size_t>(r)]);
            cell.setAlignment(GridAlign::CenterMiddle);
            GridPaperFit::shrinkToFit(m_grid, top + r, 1, 12);
        }
        GridRange big = m_grid.range(top + RoomRow, 1, top + RoomRow, 1);
        big.setFontName(QStringLiteral("黑体"));
        big.setFontBold(true);

        // The room seen from the front, centred on the page.
        const int left = 1 + (m_cols - std::max(layout.cols(), 1)) / 2;
        const int side = layout.cols() >= 3 ? layout.cols() / 3 : 0;
        const int front = top + FrontRow;
        m_grid.range(front, left + side, front, left + std::max(layout.cols(), 1) - 1 - side)
            .merge();
        m_grid.setCellText(front, left + side, QStringLiteral("讲台"));
        GridRange desk = m_grid.range(front, left + side, front, left + side);
        desk.setFontSize(bandSizes[FrontRow]);
        desk.setFontBold(true);
        desk.setAlignment(GridAlign::CenterMiddle);
        desk.setBackColor(QColor(0xe0, 0xe0, 0xe0));
        frame(m_grid.range(front, left + side, front, left + side));

        for (int r = 1; r <= layout.rows(); ++r) {
            const int row = top + FirstDeskRow + r - 1;
            m_grid.setRowHeight(row, m_deskHeight);
            for (int c = 1; c <= layout.cols(); ++c) {
                const int seat = layout.seatAt(r, c);
                if (seat < 1 || seat > layout.seats())
                    continue; // no desk stands here
                const int col = left + c - 1;
                GridRange cell = m_grid.range(row, col, row, col);
                frame(cell);
                cell.setAlignment(GridAlign::CenterMiddle);
                cell.setFontSize(deskFontSize);
                const SeatedExaminee &e = room.seats[static_cast<size_t>(seat) - 1];
                if (e.classId < 0)
                    continue; // an empty desk keeps its outline
                QString text = QString::number(seat).rightJustified(2, u'0');
                if (!e.version.isEmpty())
                    text += u' ' + e.version;
                m_grid.setCellText(row, col, text);
                GridPaperFit::shrinkToFit(m_grid, row, col, smallestDeskSize);
            }
        }
    }

private:
    static void frame(GridRange range)
    {
        for (GridBorder::Edge edge : {GridBorder::Edge::Left, GridBorder::Edge::Top,
                                      GridBorder::Edge::Right, GridBorder::Edge::Bottom})
            range.setBorder(edge, GridBorder::Style::Thin);
    }

    Grid &m_grid;
    int m_cols;
    int m_deskHeight;
};

} // namespace

QString DoorSheet::title(int room)
{
    if (room <= 0)
        return QStringLiteral("全部考场门贴");
    return QStringLiteral("第 %1 考场门贴").arg(room);
}

QString DoorSheet::numberLine(const QString &first, const QString &last)
{
    if (first.isEmpty())
        return {};
    return QStringLiteral("考号 %1 — %2").arg(first, last);
}

Result<ReportDocument> DoorSheet::build(Database &db, Grid &grid, const Request &request)
{
    Result<std::vector<SeatedRoom>> rooms = ExamDayPage::rooms(db, request.room, request.order);
    if (!rooms)
        return rooms.status();
    const QHash<int, Span> numbers = spans(db);

    grid.setAutoRedraw(false);
    grid.reset();
    ReportFormat::setPrintTitles(grid, QString(), ReportFormat::subtitleFrom(db));
    const PageSetup page = ExamDayPage::portrait(grid.pageSetup());
    const QRectF content = GridPagination::contentRect(page);
    double titles = 0;
    for (const ReportTitle &t : grid.reportTitles())
        titles += GridPagination::titleHeight(t);

    // Desks as wide as the widest room allows, rows as tall as the deepest one does.
    int cols = 4;
    int rows = 1;
    for (const SeatedRoom &room : *rooms) {
        cols = std::max(cols, room.layout.cols());
        rows = std::max(rows, room.layout.rows());
    }
    const double width = content.width() - 2;
    const int colWidth = std::min(110, static_cast<int>(width / cols));
    const int deskHeight =
        std::clamp(static_cast<int>((content.height() - titles - bandHeight - 4) / rows), 14, 72);

    grid.setDefaultFontName(QStringLiteral("宋体"));
    grid.setRows(1);
    grid.setCols(cols + 1);
    grid.setRowHeight(0, 0);
    grid.setColumnWidth(0, 0);
    for (int c = 1; c <= cols; ++c)
        grid.setColumnWidth(c, colWidth);
    DoorWriter writer(grid, cols, deskHeight);
    for (const SeatedRoom &room : *rooms)
        writer.page(room, numbers.value(room.room));
    // A room deeper than a page allows is printed smaller rather than split.
    PageSetup fitted = page;
    const double needed = titles + bandHeight + static_cast<double>(rows) * deskHeight;
    if (needed > content.height())
        fitted.zoom = std::max(10, static_cast<int>(content.height() / needed * 100));
    grid.setPageSetup(fitted);
    grid.refresh();
    grid.setAutoRedraw(true);

    const QString name = title(request.room);
    return ReportDocument{name, name};
}

} // namespace fenpai
