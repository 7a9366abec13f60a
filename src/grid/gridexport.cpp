#include "grid/gridexport.h"

#include "grid/grid.h"
#include "grid/gridnumberformat.h"
#include "grid/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

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

uint8_t lxwBorder(quint8 style)
{
    return style == GridBorder::Thick ? LXW_BORDER_MEDIUM
                                      : (style == GridBorder::Thin ? LXW_BORDER_THIN : 0);
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

QString cssBorder(quint8 style)
{
    return style == GridBorder::Thick ? QStringLiteral("2px solid #000")
                                      : QStringLiteral("1px solid #000");
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
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Sheet1");

    QHash<QString, lxw_format *> formats;
    // The borders come apart from the cell's own style: a merged block takes each outer edge
    // from the cells along that edge.
    auto formatFor = [&](int r, int c, const std::array<quint8, 6> &borders) -> lxw_format * {
        CellStyle s = grid.cellStyle(r, c);
        s.borders = borders;
        const GridFont font = grid.cellFont(r, c);
        const int align = grid.cellAlignment(r, c);
        const GridColumnInfo &column = grid.columnInfo(c);
        const QString numberFormat =
            column.mask == GridMask::Numeric ? column.formatString : QString();
        const QString key =
            QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                .arg(font.name)
                .arg(font.size)
                .arg(int(font.bold) | int(font.italic) << 1 | int(font.underline) << 2 |
                     int(font.strikeout) << 3)
                .arg(s.foreColor.isValid() ? s.foreColor.rgb() : 0)
                .arg(s.backColor.isValid() ? s.backColor.rgb() : 0)
                .arg(align)
                .arg(int(s.wrapText))
                .arg(QString::fromLatin1(
                    QByteArray(reinterpret_cast<const char *>(s.borders.data()), 6).toHex()))
                .arg(numberFormat);
        if (lxw_format *f = formats.value(key))
            return f;
        lxw_format *f = workbook_add_format(book);
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
        const int h = GridAlign::horizontal(align);
        const int v = GridAlign::vertical(align);
        if (h == 0)
            format_set_align(f, LXW_ALIGN_LEFT);
        else if (h == 1)
            format_set_align(f, LXW_ALIGN_CENTER);
        else if (h == 2)
            format_set_align(f, LXW_ALIGN_RIGHT);
        format_set_align(f, v == 0
                                ? LXW_ALIGN_VERTICAL_TOP
                                : (v == 2 ? LXW_ALIGN_VERTICAL_BOTTOM : LXW_ALIGN_VERTICAL_CENTER));
        if (s.wrapText)
            format_set_text_wrap(f);
        if (s.borders[0])
            format_set_left(f, lxwBorder(s.borders[0]));
        if (s.borders[1])
            format_set_top(f, lxwBorder(s.borders[1]));
        if (s.borders[2])
            format_set_right(f, lxwBorder(s.borders[2]));
        if (s.borders[3])
            format_set_bottom(f, lxwBorder(s.borders[3]));
        if (s.borders[4] || s.borders[5]) {
            format_set_diag_type(
                f, s.borders[4] && s.borders[5]
                       ? LXW_DIAGONAL_BORDER_UP_DOWN
                       : (s.borders[4] ? LXW_DIAGONAL_BORDER_DOWN : LXW_DIAGONAL_BORDER_UP));
            format_set_diag_border(f, lxwBorder(std::max(s.borders[4], s.borders[5])));
        }
        if (!numberFormat.isEmpty())
            format_set_num_format(f, lxwNumberFormat(numberFormat).constData());
        formats.insert(key, f);
        return f;
    };

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
    for (int r = 0; r < grid.rows(); ++r) {
        const int height = grid.rowHeight(r);
        if (height == 0)
            worksheet_set_row_opt(sheet, lxw_row_t(r), LXW_DEF_ROW_HEIGHT, nullptr, &hidden);
        else if (height != grid.defaultRowHeight())
            worksheet_set_row_pixels(sheet, lxw_row_t(r), height, nullptr);
        for (int c = 1; c < grid.cols(); ++c) {
            const GridArea block = grid.mergeAt(r, c);
            // A block starting in column 0 is written from column 1.
            if (block.firstRow != r || std::max(1, block.firstCol) != c)
                continue;
            const bool merged = block.lastRow > r || block.lastCol > c;
            std::array<quint8, 6> borders = grid.cellStyle(r, c).borders;
            if (merged) {
                borders[2] = grid.cellStyle(r, block.lastCol).borders[2];
                borders[3] = grid.cellStyle(block.lastRow, c).borders[3];
            }
            lxw_format *format = formatFor(r, c, borders);
            const QString &text = grid.cellText(block.firstRow, block.firstCol);
            double value = 0;
            const bool number = exportsAsNumber(text, &value);
            if (merged) {
                worksheet_merge_range(sheet, lxw_row_t(r), lxw_col_t(c - 1),
                                      lxw_row_t(block.lastRow), lxw_col_t(block.lastCol - 1), "",
                                      format);
            }
            if (text.isEmpty()) {
                if (!merged && grid.cellStyle(r, c) != CellStyle{})
                    worksheet_write_blank(sheet, lxw_row_t(r), lxw_col_t(c - 1), format);
            } else if (number) {
                worksheet_write_number(sheet, lxw_row_t(r), lxw_col_t(c - 1), value, format);
            } else {
                const QByteArray utf8 = text.toUtf8();
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c - 1), utf8.constData(),
                                       format);
            }
        }
    }
    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR) {
        qWarning("xlsx export: %s", lxw_strerror(error));
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    }
    QFile written(temp);
    if (!written.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    const QByteArray bytes = written.readAll();
    if (const Status s = output.open(); !s.isOk())
        return failure(s.message());
    if (output.device()->write(bytes) != bytes.size())
        return failure(QStringLiteral("无法写完文件，原来的文件未改动"));
    if (const Status s = output.commit(); !s.isOk())
        return failure(s.message());
    return Status::ok();
}

QString GridExport::html(const Grid &grid)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n");
    QString title;
    if (!grid.reportTitles().isEmpty())
        title = grid.reportTitles().first().text.split(u'|').join(u' ').trimmed();
    out += QStringLiteral("<title>%1</title>\n").arg(title.toHtmlEscaped());
    out += QStringLiteral("<style>table{border-collapse:collapse}td{padding:1px "
                          "3px;white-space:nowrap;overflow:hidden}</style>\n</head>\n<body>\n");
    out += QStringLiteral("<table>\n");
    const GridFont def = grid.defaultFont();
    for (int c = 1; c < grid.cols(); ++c) {
        if (grid.columnWidth(c) > 0)
            out += QStringLiteral("<col style=\"width:%1px\">\n").arg(grid.columnWidth(c));
    }
    auto visibleRows = [&](int r1, int r2) {
        int n = 0;
        for (int r = r1; r <= r2; ++r)
            n += grid.rowHeight(r) > 0 ? 1 : 0;
        return n;
    };
    auto visibleCols = [&](int c1, int c2) {
        int n = 0;
        for (int c = std::max(1, c1); c <= c2; ++c)
            n += grid.columnWidth(c) > 0 ? 1 : 0;
        return n;
    };
    for (int r = 0; r < grid.rows(); ++r) {
        if (grid.rowHeight(r) == 0)
            continue;
        out += QStringLiteral("<tr style=\"height:%1px\">").arg(grid.rowHeight(r));
        for (int c = 1; c < grid.cols(); ++c) {
            if (grid.columnWidth(c) == 0)
                continue;
            const GridArea block = grid.mergeAt(r, c);
            // A block is written once, at its first shown cell.
            int firstRow = block.firstRow;
            while (firstRow < block.lastRow && grid.rowHeight(firstRow) == 0)
                ++firstRow;
            int firstCol = std::max(1, block.firstCol);
            while (firstCol < block.lastCol && grid.columnWidth(firstCol) == 0)
                ++firstCol;
            if (firstRow != r || firstCol != c)
                continue;
            const int rowSpan = visibleRows(block.firstRow, block.lastRow);
            const int colSpan = visibleCols(block.firstCol, block.lastCol);
            const int sr = block.firstRow;
            const int sc = block.firstCol;
            const CellStyle &s = grid.cellStyle(sr, sc);
            const GridFont font = grid.cellFont(sr, sc);
            QStringList css;
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
            const int align = grid.cellAlignment(sr, sc);
            int h = GridAlign::horizontal(align);
            if (h < 0)
                h = grid.isNumericCell(sr, sc) ? 2 : 0;
            if (h > 0)
                css << (h == 1 ? QStringLiteral("text-align:center")
                               : QStringLiteral("text-align:right"));
            const int v = GridAlign::vertical(align);
            css << (v == 0 ? QStringLiteral("vertical-align:top")
                           : (v == 2 ? QStringLiteral("vertical-align:bottom")
                                     : QStringLiteral("vertical-align:middle")));
            if (s.wrapText)
                css << QStringLiteral("white-space:pre-wrap");
            const CellStyle &last = grid.cellStyle(block.lastRow, block.lastCol);
            static const char *sides[] = {"left", "top", "right", "bottom"};
            const quint8 styles[] = {s.borders[0], s.borders[1], last.borders[2], last.borders[3]};
            for (int i = 0; i < 4; ++i) {
                if (styles[i])
                    css << QStringLiteral("border-%1:%2")
                               .arg(QLatin1String(sides[i]), cssBorder(styles[i]));
            }
            out += QStringLiteral("<td");
            if (rowSpan > 1)
                out += QStringLiteral(" rowspan=\"%1\"").arg(rowSpan);
            if (colSpan > 1)
                out += QStringLiteral(" colspan=\"%1\"").arg(colSpan);
            out += QStringLiteral(" style=\"%1\">").arg(css.join(u';').toHtmlEscaped());
            out += grid.displayText(sr, sc).toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
            out += QStringLiteral("</td>");
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
