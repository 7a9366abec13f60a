#include "jobs/tickets/tickettemplates.h"

#include "core/programfiles.h"
#include "grid/grid.h"
#include "jobs/tickets/ticketproduction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace fenpai {

namespace {

const QString folderName = QStringLiteral("zkzmb");

QString folderOf(const QString &dir)
{
    return QDir(dir.isEmpty() ? QStringLiteral(".") : dir).filePath(folderName);
}

// Sizes of one layout: row heights in pixels, font sizes in points.
struct Metrics
{
    std::array<int, 12> rowHeights; // index = block row, 0 unused
    double title;
    double caption;
    double value;
    double note;
    double cut; // 172 "-" at this size reach across the page
};

// Standard: 2 × 11 rows in 744 pixels (A4 landscape, margins 1 and 0.3 cm); economy: 3 × 11.
// Rows 1 and 2 together hold the examinee's QR code, 18 mm wide at least.
const Metrics standardMetrics{{0, 62, 30, 34, 34, 34, 34, 34, 34, 34, 26, 14}, 24, 13, 14, 9, 13};
const Metrics economyMetrics{{0, 58, 30, 18, 20, 20, 20, 20, 20, 20, 14, 8}, 17, 10.5, 11, 7.5, 13};

// Widths of columns 1..15: a margin, the left ticket (caption, caption, value, value, photo), a
// gap, the capital digits, the right ticket, margins. 1030 of the page's 1047 pixels.
const std::array<int, 16> columnWidths{0,  20, 66, 44,  120, 70,  150, 22,
                                       46, 66, 44, 120, 70,  150, 22,  20};

void setText(Grid &grid, int row, int col, const QString &text, double size, GridAlign align,
             bool bold = false)
{
    grid.setCellText(row, col, text);
    GridRange range = grid.range(row, col, row, col);
    range.setFontSize(size);
    range.setAlignment(align);
    if (bold)
        range.setFontBold(true);
}

// One ticket half with its left column `c0` (2 or 9): the value columns are c0 + 2. The half the
// examinee keeps has the QR code above the photo, in rows 1 and 2.
void buildHalf(Grid &grid, int c0, const QString &copyName, const Metrics &m, bool code)
{
    const int last = c0 + 4; // the photo column
    const int titleEnd = code ? last - 1 : last;
    const QString heiti = QStringLiteral("黑体");

    grid.range(1, c0, 1, titleEnd).merge();
    setText(grid, 1, c0, QStringLiteral("准考证"), m.title, GridAlign::CenterMiddle, true);
    grid.range(1, c0, 1, c0).setFontName(heiti);
    grid.range(2, c0, 2, titleEnd).merge();
    setText(grid, 2, c0, copyName, m.note, GridAlign::CenterTop);
    if (code) {
        grid.range(1, last, 2, last).merge();
        setText(grid, 1, last, TicketProduction::codeField(), m.caption, GridAlign::CenterMiddle);
        grid.range(1, last, 1, last).setForeColor(QColor(0x80, 0x80, 0x80));
    }
    grid.range(3, c0, 3, c0 + 3).merge();
    setText(grid, 3, c0, QStringLiteral("考试：　　　　　　　　　　"), m.caption,
            GridAlign::LeftMiddle);

    const QStringList captions = {QStringLiteral("姓名"),   QStringLiteral("考号"),
                                  QStringLiteral("座位号"), QStringLiteral("考场"),
                                  QStringLiteral("性别"),   QStringLiteral("学校")};
    for (int i = 0; i < 6; ++i) {
        const int row = 4 + i;
        grid.range(row, c0, row, c0 + 1).merge();
        setText(grid, row, c0, captions[i], m.caption, GridAlign::CenterMiddle);
        // The school's name is long; below the photo it has the photo's column too.
        grid.range(row, c0 + 2, row, row == 9 ? last : c0 + 3).merge();
        setText(grid, row, c0 + 2, captions[i], m.value, GridAlign::CenterMiddle, true);
    }

    grid.range(3, last, 8, last).merge();
    setText(grid, 3, last, QStringLiteral("照片"), m.caption, GridAlign::CenterMiddle);
    grid.range(3, last, 3, last).setForeColor(QColor(0x80, 0x80, 0x80));

    grid.range(10, c0, 10, last).merge();
    setText(grid, 10, c0, QStringLiteral("注：凭本证入场，对号入座；本证请妥善保管，遗失须补办。"),
            m.note, GridAlign::LeftMiddle);

    // A thick frame round the ticket, thin lines round the fields and the photo.
    GridRange fields = grid.range(3, c0, 9, last);
    for (GridBorder::Edge edge :
         {GridBorder::Edge::Left, GridBorder::Edge::Top, GridBorder::Edge::Right,
          GridBorder::Edge::Bottom, GridBorder::Edge::InsideVertical,
          GridBorder::Edge::InsideHorizontal})
        fields.setBorder(edge, GridBorder::Style::Thin);
    GridRange frame = grid.range(1, c0, 10, last);
    for (GridBorder::Edge edge : {GridBorder::Edge::Left, GridBorder::Edge::Top,
                                  GridBorder::Edge::Right, GridBorder::Edge::Bottom})
        frame.setBorder(edge, GridBorder::Style::Thick);
}

} // namespace

QString TicketTemplates::workingName(Layout layout)
{
    return layout == Layout::Standard ? QStringLiteral("zkz2.cel") : QStringLiteral("zkz3.cel");
}

QString TicketTemplates::factoryName(Layout layout)
{
    return QStringLiteral("cop") + workingName(layout);
}

QString TicketTemplates::workingPath(Layout layout) const
{
    return QDir(folderOf(m_dataDir)).filePath(workingName(layout));
}

Status TicketTemplates::restoreFile(Layout layout) const
{
    const QString working = workingPath(layout);
    if (!QDir().mkpath(QFileInfo(working).absolutePath()))
        return Status::error(Status::Kind::Io, QStringLiteral("无法创建模板目录 ") +
                                                   QFileInfo(working).absolutePath());
    if (QFileInfo::exists(working) && !QFile::remove(working))
        return Status::error(Status::Kind::Io, QStringLiteral("无法删除模板文件 ") + working);
    // Installed, the factory copies are in PREFIX/share/fenpai rather than beside the binary.
    const QString resources = ProgramFiles::resourceDir(m_programDir);
    for (const QString &dir : {m_dataDir, resources}) {
        const QString factory = QDir(folderOf(dir)).filePath(factoryName(layout));
        if (QFileInfo::exists(factory)) {
            if (!QFile::copy(factory, working))
                return Status::error(Status::Kind::Io,
                                     QStringLiteral("无法复制模板文件 ") + factory);
            // An installed factory copy may be read-only; the working file is the user's.
            QFile::setPermissions(working, QFile::permissions(working) | QFileDevice::WriteOwner);
            return Status::ok();
        }
    }
    Grid grid;
    build(grid, layout);
    return grid.saveFile(working);
}

Status TicketTemplates::load(Grid &grid, Layout layout) const
{
    if (!QFileInfo::exists(workingPath(layout))) {
        if (Status s = restoreFile(layout); !s.isOk())
            return s;
    }
    return grid.openFile(workingPath(layout));
}

Status TicketTemplates::restore(Grid &grid, Layout layout) const
{
    if (Status s = restoreFile(layout); !s.isOk())
        return s;
    return grid.openFile(workingPath(layout));
}

void TicketTemplates::build(Grid &grid, Layout layout)
{
    const Metrics &m = layout == Layout::Standard ? standardMetrics : economyMetrics;
    grid.reset();
    grid.setAutoRedraw(false);
    grid.setRows(12);
    grid.setCols(16);
    grid.setDefaultFontName(QStringLiteral("宋体"));
    grid.setDefaultFontSize(m.value);

    buildHalf(grid, 2, QStringLiteral("（考生联）"), m, true);
    buildHalf(grid, 9, QStringLiteral("（存根联）"), m, false);

    // The last four digits of the exam number, between the two halves.
    for (int row = 4; row <= 7; ++row)
        setText(grid, row, 8, QStringLiteral("零"), m.value, GridAlign::CenterMiddle, true);
    grid.range(4, 8, 7, 8).setFontName(QStringLiteral("黑体"));

    // Production writes the cutting line here, one line across the page.
    grid.range(11, 1, 11, 15).merge();
    grid.range(11, 1, 11, 1).setFontSize(m.cut);
    grid.range(11, 1, 11, 1).setAlignment(GridAlign::CenterMiddle);

    for (int c = 1; c <= 15; ++c)
        grid.setColumnWidth(c, columnWidths[size_t(c)]);
    // Fonts grow rows; the heights are set last so that the blocks fill the page exactly.
    for (int r = 1; r <= 11; ++r)
        grid.setRowHeight(r, m.rowHeights[size_t(r)]);
    grid.setAutoRedraw(true);
    grid.refresh();
}

} // namespace fenpai
