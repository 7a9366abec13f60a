#include "jobs/examday/signinsheet.h"

#include "core/numbertext.h"
#include "db/database.h"
#include "grid/grid.h"
#include "grid/gridpagination.h"
#include "grid/gridpaperfit.h"
#include "jobs/arrangement/roomseating.h"
#include "jobs/documents/reportformat.h"
#include "jobs/examday/examdaypage.h"
#include "jobs/examday/qrcode.h"
#include "jobs/examday/ticketcheck.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

namespace fenpai {

namespace {

// Rows of a page's block above and below the seats, with their heights.
constexpr int titleHeight = 40;
constexpr int infoHeight = 26;
constexpr int headerHeight = 26;
constexpr int totalsHeight = 30;
constexpr int signatureHeight = 40;
constexpr int fixedHeight =
    titleHeight + infoHeight + headerHeight + totalsHeight + signatureHeight;
constexpr double fontSize = 10.5;

enum class Kind
{
    Seat,
    Number,
    Name,
    Class,
    Version,
    Photo,
    Code,
    Signature,
};

struct Column
{
    Kind kind;
    QString caption;
    int width = 0;
};

QString seatText(int seat)
{
    return QString::number(seat).rightJustified(2, u'0');
}

// The room's examinees in seat order.
std::vector<std::pair<int, const SeatedExaminee *>> seated(const SeatedRoom &room)
{
    std::vector<std::pair<int, const SeatedExaminee *>> out;
    for (size_t s = 0; s < room.seats.size(); ++s) {
        if (room.seats[s].classId >= 0)
            out.emplace_back(static_cast<int>(s) + 1, &room.seats[s]);
    }
    return out;
}

// A photo made small enough for a row: a sheet of every room would otherwise carry every
// photo at full size. False when the file is missing or no picture.
bool addThumbnail(Grid &grid, const QString &key, const QString &path, QSize cell)
{
    if (grid.imageKeys().contains(key))
        return true;
    QImageReader reader(path);
    const QSize full = reader.size();
    // Twice the cell's pixels: sharp on paper, a few kilobytes each.
    const QSize target =
        (full.isValid() ? full : QSize(3, 4)).scaled(cell * 2, Qt::KeepAspectRatio);
    if (full.isValid() && full.width() > target.width())
        reader.setScaledSize(target);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "JPG", 80);
    return grid.addImageData(key, bytes);
}

class SheetWriter final
{
public:
    SheetWriter(Grid &grid, const SignInSheet::Request &request, std::vector<Column> columns,
                int rowHeight, const QByteArray &key)
        : m_grid(grid)
        , m_request(request)
        , m_columns(std::move(columns))
        , m_rowHeight(rowHeight)
        , m_key(key)
    {}

    // One page of a room: its title, the seats from `first` on (at most `count`), and the
    // totals and signatures after the room's last seat.
    void page(const SeatedRoom &room,
              const std::vector<std::pair<int, const SeatedExaminee *>> &all, size_t first,
              size_t count, bool continued)
    {
        const bool last = first + count >= all.size();
        const int top = m_grid.rows();
        const int seatRows = static_cast<int>(count);
        m_grid.setRows(top + 3 + seatRows + (last ? 2 : 0));
        if (top > 1)
            m_grid.addHPageBreak(top);
        const int cols = static_cast<int>(m_columns.size());

        QString title = SignInSheet::title(room.room) + ExamDayPage::doorSuffix(room);
        if (continued)
            title += QStringLiteral("（续）");
        band(top, titleHeight, title, 18, GridAlign::CenterMiddle);
        m_grid.range(top, 1, top, 1).setFontName(QStringLiteral("黑体"));
        m_grid.range(top, 1, top, 1).setFontBold(true);
        band(top + 1, infoHeight, ExamDayPage::infoLine(room), fontSize, GridAlign::LeftMiddle);

        const int header = top + 2;
        m_grid.setRowHeight(header, headerHeight);
        for (int c = 0; c < cols; ++c)
            m_grid.setCellText(header, c + 1, m_columns[static_cast<size_t>(c)].caption);
        m_grid.range(header, 1, header, cols).setFontBold(true);

        for (int i = 0; i < seatRows; ++i) {
            const auto &[seat, examinee] = all[first + static_cast<size_t>(i)];
            const int row = header + 1 + i;
            m_grid.setRowHeight(row, m_rowHeight);
            for (int c = 0; c < cols; ++c)
                fill(row, c + 1, m_columns[static_cast<size_t>(c)], seat, *examinee);
        }
        GridRange table = m_grid.range(header, 1, header + seatRows, cols);
        table.setAlignment(GridAlign::CenterMiddle);
        for (GridBorder::Edge edge :
             {GridBorder::Edge::Left, GridBorder::Edge::Top, GridBorder::Edge::Right,
              GridBorder::Edge::Bottom, GridBorder::Edge::InsideVertical,
              GridBorder::Edge::InsideHorizontal})
            table.setBorder(edge, GridBorder::Style::Thin);

        if (last) {
            const int totals = header + 1 + seatRows;
            band(totals, totalsHeight, SignInSheet::totalsLine(static_cast<int>(all.size())), 12,
                 GridAlign::LeftMiddle);
            band(totals + 1, signatureHeight,
                 QStringLiteral("监考员签名：＿＿＿＿＿＿＿＿＿＿　　＿＿＿＿＿＿＿＿＿＿"), 12,
                 GridAlign::LeftBottom);
        }
    }

    const QStringList &withoutPhoto() const { return m_withoutPhoto; }

private:
    void band(int row, int height, const QString &text, double size, GridAlign align)
    {
        const int cols = static_cast<int>(m_columns.size());
        m_grid.setRowHeight(row, height);
        m_grid.range(row, 1, row, cols).merge();
        m_grid.setCellText(row, 1, text);
        GridRange cell = m_grid.range(row, 1, row, 1);
        cell.setFontSize(size);
        cell.setAlignment(align);
    }

    void fill(int row, int col, const Column &column, int seat, const SeatedExaminee &e)
    {
        switch (column.kind) {
        case Kind::Seat:
            m_grid.setCellText(row, col, seatText(seat));
            break;
        case Kind::Number:
            m_grid.setCellText(row, col, NumberText::display(e.number));
            break;
        case Kind::Name:
            m_grid.setCellText(row, col, e.name);
            break;
        case Kind::Class:
            m_grid.setCellText(row, col, e.className);
            break;
        case Kind::Version:
            m_grid.setCellText(row, col, e.version);
            break;
        case Kind::Photo:
            photo(row, col, column, e);
            break;
        case Kind::Code:
            // The short code: the room and seat stand beside it. A narrow quiet zone keeps the
            // modules large in a low row; the cell's own margin adds to it.
            if (!m_key.isEmpty())
                QrCode::place(m_grid, row, col, TicketCheck::code(m_key, e.number, e.name).text(),
                              2);
            break;
        case Kind::Signature:
            break;
        }
    }

    void photo(int row, int col, const Column &column, const SeatedExaminee &e)
    {
        const QString field = m_request.photoField;
        const QString name = field == QStringLiteral("考号")   ? NumberText::display(e.number)
                             : field == QStringLiteral("照片") ? e.photo
                                                               : e.name;
        const QString path = ExamDayPage::photoPath(m_request.photoFolder, name);
        const QString key = QStringLiteral("照片:") + name.trimmed();
        if (!path.isEmpty() &&
            addThumbnail(m_grid, key, path, QSize(column.width, m_rowHeight) - QSize(3, 3)))
            m_grid.setCellImage(row, col, key);
        else
            m_withoutPhoto.append(NumberText::display(e.number) + u' ' + e.name);
    }

    Grid &m_grid;
    const SignInSheet::Request &m_request;
    std::vector<Column> m_columns;
    int m_rowHeight;
    QByteArray m_key;
    QStringList m_withoutPhoto;
};

// The columns and their widths: the values' columns as wide as their widest value, the
// signature column the rest of the page.
std::vector<Column> columnsFor(const std::vector<SeatedRoom> &rooms, const SignInSheet::Request &r,
                               bool versions, double pageWidth, int rowHeight)
{
    GridFont font;
    font.name = QStringLiteral("宋体");
    font.size = fontSize;
    const QFont pixelFont = font.toPixelFont();
    GridFont bold = font;
    bold.bold = true;
    const QFont headerFont = bold.toPixelFont();
    std::vector<Column> columns = {{Kind::Seat, QStringLiteral("座位号")},
                                   {Kind::Number, QStringLiteral("考号")},
                                   {Kind::Name, QStringLiteral("姓名")},
                                   {Kind::Class, QStringLiteral("班级")}};
    if (versions)
        columns.push_back({Kind::Version, QStringLiteral("试卷")});
    if (!r.photoFolder.isEmpty())
        columns.push_back({Kind::Photo, QStringLiteral("照片")});
    columns.push_back({Kind::Code, QStringLiteral("二维码")});
    // The longest value of each text column, measured once.
    const auto longest = [&](auto text) {
        QString widest;
        for (const SeatedRoom &room : rooms) {
            for (const SeatedExaminee &e : room.seats) {
                if (e.classId >= 0 && text(e).size() > widest.size())
                    widest = text(e);
            }
        }
        return GridPaperFit::textWidth(pixelFont, widest);
    };
    double used = 0;
    for (Column &c : columns) {
        double width = GridPaperFit::textWidth(headerFont, c.caption);
        switch (c.kind) {
        case Kind::Number:
            width = std::max(width, longest([](const SeatedExaminee &e) {
                                 return NumberText::display(e.number);
                             }));
            break;
        case Kind::Name:
            width = std::max(width, longest([](const SeatedExaminee &e) { return e.name; }));
            break;
        case Kind::Class:
            width = std::max(width, longest([](const SeatedExaminee &e) { return e.className; }));
            break;
        case Kind::Photo:
            width = std::max(width, rowHeight * 0.8);
            break;
        case Kind::Code:
            width = std::max(width, static_cast<double>(rowHeight));
            break;
        case Kind::Seat:
        case Kind::Version:
        case Kind::Signature:
            break;
        }
        c.width = static_cast<int>(width) + GridPaperFit::kPadding + 4;
        used += c.width;
    }
    // The signature takes what is left, and never less than a name's room.
    columns.push_back({Kind::Signature, QStringLiteral("考生签名"),
                       std::max(140, static_cast<int>(pageWidth - used))});
    return columns;
}

// How many seats a page holds and how tall their rows are.
struct SeatRows
{
    int perPage = 1;
    int height = SignInSheet::minRowHeight;
};

// The seats share what the block's own rows and the report titles leave of the page; the
// largest room's seats spread over it, within the row heights' bounds.
SeatRows seatRows(const Grid &grid, const QRectF &content, const std::vector<SeatedRoom> &rooms)
{
    double titles = 0;
    for (const ReportTitle &t : grid.reportTitles())
        titles += GridPagination::titleHeight(t);
    const double seatSpace = content.height() - titles - fixedHeight - 2;
    SeatRows rows;
    rows.perPage = std::max(1, static_cast<int>(seatSpace / SignInSheet::minRowHeight));
    size_t largest = 1;
    for (const SeatedRoom &room : rooms)
        largest = std::max(largest, seated(room).size());
    rows.height = largest > static_cast<size_t>(rows.perPage)
                      ? SignInSheet::minRowHeight
                      : std::clamp(static_cast<int>(seatSpace / static_cast<double>(largest)),
                                   SignInSheet::minRowHeight, SignInSheet::maxRowHeight);
    return rows;
}

void setUpColumns(Grid &grid, const std::vector<Column> &columns)
{
    grid.setDefaultFontName(QStringLiteral("宋体"));
    grid.setDefaultFontSize(fontSize);
    grid.setRows(1);
    grid.setCols(static_cast<int>(columns.size()) + 1);
    // The header row and the row numbers mean nothing on a sheet of its own making.
    grid.setRowHeight(0, 0);
    grid.setColumnWidth(0, 0);
    for (size_t c = 0; c < columns.size(); ++c) {
        grid.setColumnWidth(static_cast<int>(c) + 1, columns[c].width);
        // Exam numbers are identifiers, shown in full.
        grid.setColumnMask(static_cast<int>(c) + 1, GridMask::None);
    }
}

// Very long names or numbers print the page smaller rather than split it.
PageSetup fittedPage(PageSetup page, const std::vector<Column> &columns, double contentWidth)
{
    double width = 0;
    for (const Column &c : columns)
        width += c.width;
    if (width > contentWidth)
        page.zoom = std::max(10, static_cast<int>(contentWidth / width * 100));
    return page;
}

} // namespace

QString SignInSheet::title(int room)
{
    if (room <= 0)
        return QStringLiteral("全部考场签到表");
    return QStringLiteral("第 %1 考场签到表").arg(room);
}

QString SignInSheet::totalsLine(int examinees)
{
    return QStringLiteral("应考 %1 人　　实考 ＿＿＿ 人　　缺考 ＿＿＿ 人").arg(examinees);
}

Result<SignInSheet::Outcome> SignInSheet::build(Database &db, Grid &grid, const Request &request)
{
    Result<std::vector<SeatedRoom>> rooms = ExamDayPage::rooms(db, request.room, request.order);
    if (!rooms)
        return rooms.status();
    const bool versions = RoomSeating::hasPaperVersions(db);
    // Each row carries its examinee's code; the first sheet of a database makes its key. A
    // database that cannot be written has no place for a new key: its sheets go without codes.
    const Result<QByteArray> key = TicketCheck::key(db, !db.isReadOnly());
    if (!key && !(db.isReadOnly() && key.status().isRefused()))
        return key.status();

    grid.setAutoRedraw(false);
    grid.reset();
    // The report titles' line above every page; the sheet has its own title line.
    ReportFormat::setPrintTitles(grid, QString(), ReportFormat::subtitleFrom(db));

    // The page: A4 portrait.
    const PageSetup page = ExamDayPage::portrait(grid.pageSetup());
    const QRectF content = GridPagination::contentRect(page);
    const SeatRows rows = seatRows(grid, content, *rooms);
    const std::vector<Column> columns =
        columnsFor(*rooms, request, versions, content.width() - 2, rows.height);
    setUpColumns(grid, columns);
    SheetWriter writer(grid, request, columns, rows.height, key ? *key : QByteArray());
    for (const SeatedRoom &room : *rooms) {
        const auto all = seated(room);
        size_t first = 0;
        do {
            const size_t count = std::min(all.size() - first, static_cast<size_t>(rows.perPage));
            writer.page(room, all, first, count, first > 0);
            first += count;
        } while (first < all.size());
    }
    grid.setPageSetup(fittedPage(page, columns, content.width() - 2));
    grid.refresh();
    grid.setAutoRedraw(true);

    const QString name = title(request.room);
    return Outcome{{name, name}, writer.withoutPhoto()};
}

} // namespace fenpai
