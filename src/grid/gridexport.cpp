#include "grid/gridexport.h"

#include "grid/grid.h"
#include "grid/gridnumberformat.h"
#include "grid/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <array>

namespace fenpai {

namespace {

// A text keeps its exact form in a workbook when reading it as a number would change it:
// leading zeros of exam numbers, more digits than a double holds, "+" signs, exponents.
bool exportsAsNumber(const QString &text, double *value)
{
    const QString t = text.trimmed();
    if (!GridNumberFormat::parse(t, value))
        return false;
    const QStringView digits = t.startsWith(u'-') ? QStringView(t).mid(1) : QStringView(t);
    if (digits.startsWith(u'+') || digits.contains(u'e') || digits.contains(u'E'))
        return false;
    if (digits.size() > 1 && digits.startsWith(u'0') && digits.at(1) != u'.')
        return false;
    qsizetype count = 0;
    for (QChar ch : digits)
        count += ch.isDigit() ? 1 : 0;
    return count <= 15;
}

lxw_color_t toLxw(const QColor &c)
{
    return lxw_color_t((c.red() << 16) | (c.green() << 8) | c.blue());
}

uint8_t lxwBorder(GridBorder::Style style)
{
    switch (style) {
    case GridBorder::Style::Thick:
        return LXW_BORDER_MEDIUM;
    case GridBorder::Style::Thin:
        return LXW_BORDER_THIN;
    case GridBorder::Style::None:
        break;
    }
    return LXW_BORDER_NONE;
}

// Excel number formats from our patterns: the same "#", "0", "," and "." meanings.
QByteArray lxwNumberFormat(const QString &pattern)
{
    return pattern.section(u';', 0, 0).toUtf8();
}

QString cssColor(const QColor &c)
{
    return c.name(QColor::HexRgb);
}

QString cssBorder(GridBorder::Style style)
{
    return style == GridBorder::Style::Thick ? QStringLiteral("2px solid #000")
                                             : QStringLiteral("1px solid #000");
}

using Borders = std::array<GridBorder::Style, 6>;
constexpr auto kNoBorder = GridBorder::Style::None;

// The look of one workbook cell: everything its format is made from.
struct CellLook
{
    GridFont font;
    CellStyle style; // with the borders the cell shows
    GridAlign align = GridAlign::General;
    QString numberFormat;

    QString key() const
    {
        QString borders;
        for (GridBorder::Style b : style.borders)
            borders += QString::number(int(b));
        return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
            .arg(font.name)
            .arg(font.size)
            .arg(int(font.bold) | int(font.italic) << 1 | int(font.underline) << 2 |
                 int(font.strikeout) << 3)
            .arg(style.foreColor.isValid() ? style.foreColor.rgb() : 0)
            .arg(style.backColor.isValid() ? style.backColor.rgb() : 0)
            .arg(int(align))
            .arg(int(style.wrapText))
            .arg(borders)
            .arg(numberFormat);
    }
};

CellLook cellLook(const Grid &grid, int r, int c, const Borders &borders)
{
    CellLook look{grid.cellFont(r, c), grid.cellStyle(r, c), grid.cellAlignment(r, c), QString()};
    look.style.borders = borders;
    const GridColumnInfo &column = grid.columnInfo(c);
    if (column.mask == GridMask::Numeric)
        look.numberFormat = column.formatString;
    return look;
}

void setFontAndColours(lxw_format *f, const GridFont &font, const CellStyle &s)
{
    const QByteArray name = font.name.toUtf8();
    format_set_font_name(f, name.constData());
    format_set_font_size(f, font.size);
    if (font.bold)
        format_set_bold(f);
    if (font.italic)
        format_set_italic(f);
    if (font.underline)
        format_set_underline(f, LXW_UNDERLINE_SINGLE);
    if (font.strikeout)
        format_set_font_strikeout(f);
    if (s.foreColor.isValid())
        format_set_font_color(f, toLxw(s.foreColor));
    if (s.backColor.isValid()) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, toLxw(s.backColor));
    }
}

void setAlignment(lxw_format *f, GridAlign align, bool wrap)
{
    const int h = alignHorizontal(align);
    const int v = alignVertical(align);
    if (h == 0)
        format_set_align(f, LXW_ALIGN_LEFT);
    else if (h == 1)
        format_set_align(f, LXW_ALIGN_CENTER);
    else if (h == 2)
        format_set_align(f, LXW_ALIGN_RIGHT);
    format_set_align(f, v == 0 ? LXW_ALIGN_VERTICAL_TOP
                               : (v == 2 ? LXW_ALIGN_VERTICAL_BOTTOM : LXW_ALIGN_VERTICAL_CENTER));
    if (wrap)
        format_set_text_wrap(f);
}

void setBorders(lxw_format *f, const Borders &b)
{
    if (b[0] != kNoBorder)
        format_set_left(f, lxwBorder(b[0]));
    if (b[1] != kNoBorder)
        format_set_top(f, lxwBorder(b[1]));
    if (b[2] != kNoBorder)
        format_set_right(f, lxwBorder(b[2]));
    if (b[3] != kNoBorder)
        format_set_bottom(f, lxwBorder(b[3]));
    const bool down = b[4] != kNoBorder;
    const bool up = b[5] != kNoBorder;
    if (down || up) {
        format_set_diag_type(f, down && up
                                    ? LXW_DIAGONAL_BORDER_UP_DOWN
                                    : (down ? LXW_DIAGONAL_BORDER_DOWN : LXW_DIAGONAL_BORDER_UP));
        format_set_diag_border(f, lxwBorder(std::max(b[4], b[5])));
    }
}

// One format for each distinct look, made when first needed.
lxw_format *formatFor(lxw_workbook *book, QHash<QString, lxw_format *> &made, const CellLook &look)
{
    const QString key = look.key();
    if (lxw_format *f = made.value(key))
        return f;
    lxw_format *f = workbook_add_format(book);
    setFontAndColours(f, look.font, look.style);
    setAlignment(f, look.align, look.style.wrapText);
    setBorders(f, look.style.borders);
    if (!look.numberFormat.isEmpty())
        format_set_num_format(f, lxwNumberFormat(look.numberFormat).constData());
    made.insert(key, f);
    return f;
}

// Column 0 holds the row numbers and is left out: grid column c is sheet column c - 1.
void writeColumns(lxw_worksheet *sheet, const Grid &grid)
{
    lxw_row_col_options hidden{};
    hidden.hidden = 1;
    for (int c = 1; c < grid.cols(); ++c) {
        const int width = grid.columnWidth(c);
        if (width == 0)
            worksheet_set_column_pixels_opt(sheet, lxw_col_t(c - 1), lxw_col_t(c - 1), 72, nullptr,
                                            &hidden);
        else
            worksheet_set_column_pixels(sheet, lxw_col_t(c - 1), lxw_col_t(c - 1), width, nullptr);
    }
}

void writeRowHeight(lxw_worksheet *sheet, const Grid &grid, int r)
{
    lxw_row_col_options hidden{};
    hidden.hidden = 1;
    const int height = grid.rowHeight(r);
    if (height == 0)
        worksheet_set_row_opt(sheet, lxw_row_t(r), LXW_DEF_ROW_HEIGHT, nullptr, &hidden);
    else if (height != grid.defaultRowHeight())
        worksheet_set_row_pixels(sheet, lxw_row_t(r), height, nullptr);
}

// The cell or merged block that starts at (r, c), with its value and format. The borders come
// apart from the cell's own style: a merged block takes each outer edge from the cells along
// that edge.
void writeBlock(lxw_workbook *book, lxw_worksheet *sheet, QHash<QString, lxw_format *> &formats,
                const Grid &grid, const GridArea &block, int r, int c)
{
    const bool merged = block.lastRow > r || block.lastCol > c;
    Borders borders = grid.cellStyle(r, c).borders;
    if (merged) {
        borders[2] = grid.cellStyle(r, block.lastCol).borders[2];
        borders[3] = grid.cellStyle(block.lastRow, c).borders[3];
    }
    lxw_format *format = formatFor(book, formats, cellLook(grid, r, c, borders));
    const QString &text = grid.cellText(block.firstRow, block.firstCol);
    if (merged) {
        worksheet_merge_range(sheet, lxw_row_t(r), lxw_col_t(c - 1), lxw_row_t(block.lastRow),
                              lxw_col_t(block.lastCol - 1), "", format);
    }
    double value = 0;
    if (text.isEmpty()) {
        if (!merged && grid.cellStyle(r, c) != CellStyle{})
            worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c - 1), format);
    } else if (exportsAsNumber(text, &value)) {
        worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c - 1), value, format);
    } else {
        // A NUL would end the text there: none is written, whatever a table holds.
        const QByteArray utf8 = text.toUtf8().replace('\0', QByteArray());
        worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c - 1), utf8.constData(), format);
    }
}

void writeSheet(lxw_workbook *book, const Grid &grid)
{
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");
    QHash<QString, lxw_format *> formats;
    writeColumns(sheet, grid);
    for (int r = 0; r < grid.rows(); ++r) {
        writeRowHeight(sheet, grid, r);
        for (int c = 1; c < grid.cols(); ++c) {
            const GridArea block = grid.mergeAt(r, c);
            // A block starting in column 0 is written from column 1.
            if (block.firstRow == r && std::max(1, block.firstCol) == c)
                writeBlock(book, sheet, formats, grid, block, r, c);
        }
    }
}

// The finished workbook's bytes to the target, replacing it only when all are written.
Status replaceWith(const QString &written, OutputFile &output)
{
    const Status incomplete =
        Status::error(Status::Kind::Io, QStringLiteral("无法写完文件，原来的文件未改动"));
    QFile file(written);
    if (!file.open(QIODevice::ReadOnly))
        return incomplete;
    const QByteArray bytes = file.readAll();
    if (const Status s = output.open(); !s.isOk())
        return s;
    if (output.device()->write(bytes) != bytes.size())
        return incomplete;
    return output.commit();
}

// The first shown cell of a block: where the page writes it.
bool startsShownBlock(const Grid &grid, const GridArea &block, int r, int c)
{
    int firstRow = block.firstRow;
    while (firstRow < block.lastRow && grid.rowHeight(firstRow) == 0)
        ++firstRow;
    int firstCol = std::max(1, block.firstCol);
    while (firstCol < block.lastCol && grid.columnWidth(firstCol) == 0)
        ++firstCol;
    return firstRow == r && firstCol == c;
}

int shownRows(const Grid &grid, int r1, int r2)
{
    int n = 0;
    for (int r = r1; r <= r2; ++r)
        n += grid.rowHeight(r) > 0 ? 1 : 0;
    return n;
}

int shownCols(const Grid &grid, int c1, int c2)
{
    int n = 0;
    for (int c = std::max(1, c1); c <= c2; ++c)
        n += grid.columnWidth(c) > 0 ? 1 : 0;
    return n;
}

QString htmlHead(const Grid &grid)
{
    QString out = QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n");
    QString title;
    if (!grid.reportTitles().isEmpty())
        title = grid.reportTitles().first().text.split(u'|').join(u' ').trimmed();
    out += QStringLiteral("<title>%1</title>\n").arg(title.toHtmlEscaped());
    out += QStringLiteral("<style>table{border-collapse:collapse}td{padding:1px "
                          "3px;white-space:nowrap;overflow:hidden}</style>\n</head>\n<body>\n");
    out += QStringLiteral("<table>\n");
    for (int c = 1; c < grid.cols(); ++c) {
        if (grid.columnWidth(c) > 0)
            out += QStringLiteral("<col style=\"width:%1px\">\n").arg(grid.columnWidth(c));
    }
    return out;
}

void addFontCss(QStringList &css, const GridFont &font, const GridFont &def, const CellStyle &s)
{
    if (font.name != def.name || font.size != def.size) {
        css << QStringLiteral("font-family:'%1'").arg(font.name)
            << QStringLiteral("font-size:%1pt").arg(font.size);
    }
    if (font.bold)
        css << QStringLiteral("font-weight:bold");
    if (font.italic)
        css << QStringLiteral("font-style:italic");
    if (font.underline || font.strikeout)
        css << QStringLiteral("text-decoration:%1%2")
                   .arg(font.underline ? QStringLiteral("underline ") : QString(),
                        font.strikeout ? QStringLiteral("line-through") : QString());
    if (s.foreColor.isValid())
        css << QStringLiteral("color:%1").arg(cssColor(s.foreColor));
    if (s.backColor.isValid())
        css << QStringLiteral("background:%1").arg(cssColor(s.backColor));
}

void addAlignmentCss(QStringList &css, const Grid &grid, int r, int c)
{
    const GridAlign align = grid.cellAlignment(r, c);
    int h = alignHorizontal(align);
    if (h < 0)
        h = grid.isNumericCell(r, c) ? 2 : 0;
    if (h > 0)
        css << (h == 1 ? QStringLiteral("text-align:center") : QStringLiteral("text-align:right"));
    const int v = alignVertical(align);
    css << (v == 0 ? QStringLiteral("vertical-align:top")
                   : (v == 2 ? QStringLiteral("vertical-align:bottom")
                             : QStringLiteral("vertical-align:middle")));
}

// A block's outline: left and top from its first cell, right and bottom from its last.
void addBorderCss(QStringList &css, const Grid &grid, const GridArea &block)
{
    const CellStyle &first = grid.cellStyle(block.firstRow, block.firstCol);
    const CellStyle &last = grid.cellStyle(block.lastRow, block.lastCol);
    static const char *sides[] = {"left", "top", "right", "bottom"};
    const GridBorder::Style styles[] = {first.borders[0], first.borders[1], last.borders[2],
                                        last.borders[3]};
    for (int i = 0; i < 4; ++i) {
        if (styles[i] != kNoBorder)
            css << QStringLiteral("border-%1:%2")
                       .arg(QLatin1String(sides[i]), cssBorder(styles[i]));
    }
}

QString htmlCell(const Grid &grid, const GridArea &block)
{
    const int sr = block.firstRow;
    const int sc = block.firstCol;
    const CellStyle &s = grid.cellStyle(sr, sc);
    QStringList css;
    addFontCss(css, grid.cellFont(sr, sc), grid.defaultFont(), s);
    addAlignmentCss(css, grid, sr, sc);
    if (s.wrapText)
        css << QStringLiteral("white-space:pre-wrap");
    addBorderCss(css, grid, block);

    QString out = QStringLiteral("<td");
    if (const int rowSpan = shownRows(grid, block.firstRow, block.lastRow); rowSpan > 1)
        out += QStringLiteral(" rowspan=\"%1\"").arg(rowSpan);
    if (const int colSpan = shownCols(grid, block.firstCol, block.lastCol); colSpan > 1)
        out += QStringLiteral(" colspan=\"%1\"").arg(colSpan);
    out += QStringLiteral(" style=\"%1\">").arg(css.join(u';').toHtmlEscaped());
    out += grid.displayText(sr, sc)
               .remove(QChar(0)) // no NUL reaches the page
               .toHtmlEscaped()
               .replace(u'\n', QStringLiteral("<br>"));
    out += QStringLiteral("</td>");
    return out;
}

} // namespace

Status GridExport::toXlsx(const Grid &grid, const QString &path)
{
    auto failure = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法输出到Excel文件“%1”：%2").arg(path, why));
    };
    // Refused before any work when the target cannot be replaced.
    OutputFile output(path);
    if (const QFileInfo target(path);
        target.exists() && !(target.permissions() & QFileDevice::WriteOwner))
        return failure(QStringLiteral("文件是只读的"));
    // The library writes a file of its own when the workbook closes; its bytes then go to the
    // target through OutputFile.
    QTemporaryDir scratch(QFileInfo(path).absolutePath() + QStringLiteral("/.xlsx-XXXXXX"));
    if (!scratch.isValid())
        return failure(QStringLiteral("无法在这个文件夹中创建文件"));
    const QString temp = scratch.filePath(QStringLiteral("out.xlsx"));
    const QByteArray tempName = QFile::encodeName(temp);
    lxw_workbook *book = workbook_new(tempName.constData());
    if (!book)
        return failure(QStringLiteral("无法创建文件"));
    writeSheet(book, grid);
    if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR) {
        qWarning("xlsx export: %s", lxw_strerror(error));
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    }
    if (const Status s = replaceWith(temp, output); !s.isOk())
        return failure(s.message());
    return Status::ok();
}

QString GridExport::html(const Grid &grid)
{
    QString out = htmlHead(grid);
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.rowHeight(r) == 0)
            continue;
        out += QStringLiteral("<tr style=\"height:%1px\">").arg(grid.rowHeight(r));
        for (int c = 1; c < grid.cols(); ++c) {
            const GridArea block = grid.mergeAt(r, c);
            // A block is written once, at its first shown cell.
            if (grid.columnWidth(c) > 0 && startsShownBlock(grid, block, r, c))
                out += htmlCell(grid, block);
        }
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</table>\n</body>\n</html>\n");
    return out;
}

Status GridExport::toHtml(const Grid &grid, const QString &path)
{
    const auto failure = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法输出到HTML文件“%1”：%2").arg(path, why));
    };
    OutputFile file(path);
    if (const Status s = file.open(); !s.isOk())
        return failure(s.message());
    const QByteArray bytes = html(grid).toUtf8();
    if (file.device()->write(bytes) != bytes.size())
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    if (const Status s = file.commit(); !s.isOk())
        return failure(s.message());
    return Status::ok();
}

} // namespace fenpai
