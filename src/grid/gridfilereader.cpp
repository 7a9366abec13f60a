#include "grid/gridfilereader.h"

#include "grid/gridcursor.h"
#include "grid/griddata.h"
#include "grid/gridfile.h"

#include <QJsonArray>

#include <algorithm>

namespace fenpai {

namespace {

constexpr qint64 kMaxCells = 50'000'000; // a file asking for more is damaged, not a table
constexpr int kMaxCols = 100'000;

QJsonValue member(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key));
}

} // namespace

GridFileReader::GridFileReader(GridData *into, GridCursor *cursor)
    : m_into(into)
    , m_cursor(cursor)
{}

bool GridFileReader::fail(const QString &what)
{
    if (m_fault.isEmpty())
        m_fault = what;
    return false;
}

Status GridFileReader::read(const QByteArray &bytes)
{
    auto damaged = [](const QString &detail) {
        return Status::refused(QStringLiteral("表格文件已损坏（%1）。").arg(detail));
    };
    std::vector<GridJsonScanner::Row> cells;
    if (!GridJsonScanner::split(bytes, &m_root, &cells) ||
        member(m_root, "format").toString() != QLatin1String(GridFile::kFormatName))
        return Status::refused(QStringLiteral("不是表格文件，或表格文件已损坏。"));
    const QJsonValue versionValue = member(m_root, "version");
    if (!versionValue.isDouble() || versionValue.toInt() < 1)
        return damaged(QStringLiteral("版本号无效"));
    if (versionValue.toInt() > GridFile::kVersion)
        return Status::refused(QStringLiteral("表格文件由较新版本的程序保存，无法打开。"));
    if (!readSize())
        return damaged(m_fault);
    readSettings();
    if (!readColumnsAndStyles() || !readCells(cells) || !readMerges() || !readPrinting() ||
        !readImages())
        return damaged(m_fault);
    readCursor();
    if (!m_fault.isEmpty())
        return damaged(m_fault);
    return Status::ok();
}

Status GridFileReader::readPageSetup(const QJsonValue &value, PageSetup *out)
{
    const PageSetup read = pageSetup(value);
    if (!m_fault.isEmpty())
        return Status::refused(m_fault);
    *out = read;
    return Status::ok();
}

bool GridFileReader::readSize()
{
    m_rows = integer(m_root, "rows", -1, 0, 100'000'000);
    m_cols = integer(m_root, "cols", -1, 0, kMaxCols);
    if (!m_fault.isEmpty() || m_rows < 0 || m_cols < 0) {
        m_fault = QStringLiteral("行数或列数无效");
        return false;
    }
    if (qint64(m_rows) * m_cols > kMaxCells)
        return fail(QStringLiteral("表格过大"));
    return true;
}

void GridFileReader::readSettings()
{
    GridSettings &s = m_into->settings;
    s.fixedRows = integer(m_root, "fixedRows", 1, 0, m_rows);
    s.defaultRowHeight = integer(m_root, "defaultRowHeight", 20, 1, 100'000);
    s.displayRowIndex = boolean(m_root, "displayRowIndex", false);
    s.allowUserSort = boolean(m_root, "allowUserSort", false);
    s.enabled = boolean(m_root, "enabled", true);
    s.defaultFont = font(member(m_root, "defaultFont"));
}

bool GridFileReader::readColumnsAndStyles()
{
    const QJsonArray columns = member(m_root, "columns").toArray();
    if (columns.size() != m_cols)
        return fail(QStringLiteral("列的数目不符"));
    GridContent &content = m_into->content;
    content.insertCols(0, m_cols);
    for (int c = 0; c < m_cols; ++c) {
        const QJsonObject o = columns.at(c).toObject();
        GridColumnInfo info;
        info.width = integer(o, "width", info.width, 0, 1'000'000);
        info.mask = integer(o, "mask", 0, -1000, 1000);
        info.alignment = GridAlign(integer(o, "align", 0, -1000, 1000));
        info.formatString = string(o, "format");
        content.setColumn(c, info);
    }
    const QJsonArray styles = member(m_root, "styles").toArray();
    m_styleIds.reserve(size_t(styles.size()));
    for (const QJsonValue &v : styles)
        m_styleIds.push_back(m_into->styles.intern(style(v)));
    return m_fault.isEmpty();
}

bool GridFileReader::readCells(std::vector<GridJsonScanner::Row> &cells)
{
    GridContent &content = m_into->content;
    content.insertRows(0, m_rows);
    int previous = -1;
    for (GridJsonScanner::Row &parsed : cells) {
        const int r = parsed.row;
        if (r <= previous || r >= m_rows)
            return fail(QStringLiteral("行号无效"));
        previous = r;
        content.setExplicitHeight(r, parsed.height);
        if (parsed.texts.size() > m_cols || parsed.styles.size() > m_cols ||
            parsed.tags.size() > m_cols)
            return fail(QStringLiteral("第 %1 行的单元格过多").arg(r));
        for (int c = 0; c < parsed.texts.size(); ++c)
            content.setText(r, c, std::move(parsed.texts[c]));
        for (int c = 0; c < parsed.tags.size(); ++c)
            content.setTag(r, c, parsed.tags.at(c));
        for (int c = 0; c < parsed.styles.size(); ++c) {
            const qint64 id = parsed.styles.at(c);
            if (id < 0 || id >= qint64(m_styleIds.size()))
                return fail(QStringLiteral("第 %1 行的格式编号无效").arg(r));
            content.setStyleId(r, c, m_styleIds[size_t(id)]);
        }
    }
    cells.clear();
    return true;
}

bool GridFileReader::readMerges()
{
    GridMerges &merges = m_into->merges;
    for (const QJsonValue &v : member(m_root, "merges").toArray()) {
        GridArea m;
        if (!area(v, &m))
            return false;
        for (const GridArea &other : merges.blocks()) {
            if (other.intersects(m))
                return fail(QStringLiteral("合并区域重叠"));
        }
        merges.add(m);
    }
    return true;
}

bool GridFileReader::readPrinting()
{
    GridPrintSetup &print = m_into->print;
    for (const QJsonValue &v : member(m_root, "hPageBreaks").toArray()) {
        const int b = v.toInt(-1);
        if (b <= 0 || b > m_rows)
            return fail(QStringLiteral("分页位置无效"));
        print.addPageBreak(b);
    }
    print.setPageSetup(pageSetup(member(m_root, "pageSetup")));
    for (const QJsonValue &v : member(m_root, "reportTitles").toArray()) {
        const QJsonObject o = v.toObject();
        ReportTitle t;
        t.text = string(o, "text");
        t.font = font(member(o, "font"));
        t.alignTo = integer(o, "alignTo", 0, -1000, 1000);
        t.printOnAllPages = boolean(o, "printOnAllPages", true);
        print.addTitle(t);
    }
    return true;
}

bool GridFileReader::readImages()
{
    const QJsonObject images = member(m_root, "images").toObject();
    for (auto it = images.begin(); it != images.end(); ++it) {
        const auto decoded = QByteArray::fromBase64Encoding(
            it.value().toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!it.value().isString() || !decoded)
            return fail(QStringLiteral("图片“%1”无效").arg(it.key()));
        m_into->images.insert(it.key(), *decoded);
    }
    return true;
}

void GridFileReader::readCursor()
{
    GridCursor cursor;
    const QJsonArray sel = member(m_root, "selection").toArray();
    if (sel.size() == 6) {
        cursor.area = GridArea::normalized(sel.at(0).toInt(), sel.at(1).toInt(), sel.at(2).toInt(),
                                           sel.at(3).toInt());
        cursor.activeRow = sel.at(4).toInt();
        cursor.activeCol = sel.at(5).toInt();
    }
    if (m_cursor)
        *m_cursor = cursor.clampedTo(m_rows, m_cols);
}

// --- typed values ------------------------------------------------------------------------------

int GridFileReader::integer(const QJsonObject &o, const char *key, int fallback, int min, int max)
{
    const QJsonValue v = member(o, key);
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble() || v.toDouble() != double(v.toInt()) || v.toInt() < min || v.toInt() > max) {
        fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
        return fallback;
    }
    return v.toInt();
}

double GridFileReader::number(const QJsonObject &o, const char *key, double fallback)
{
    const QJsonValue v = member(o, key);
    if (v.isUndefined())
        return fallback;
    if (!v.isDouble()) {
        fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
        return fallback;
    }
    return v.toDouble();
}

bool GridFileReader::boolean(const QJsonObject &o, const char *key, bool fallback)
{
    const QJsonValue v = member(o, key);
    if (v.isUndefined())
        return fallback;
    if (!v.isBool()) {
        fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
        return fallback;
    }
    return v.toBool();
}

QString GridFileReader::string(const QJsonObject &o, const char *key, const QString &fallback)
{
    const QJsonValue v = member(o, key);
    if (v.isUndefined())
        return fallback;
    if (!v.isString()) {
        fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
        return fallback;
    }
    return v.toString();
}

QColor GridFileReader::color(const QJsonObject &o, const char *key)
{
    const QString text = string(o, key);
    if (text.isEmpty())
        return {};
    const QColor c = QColor::fromString(text);
    if (!c.isValid())
        fail(QStringLiteral("颜色“%1”无效").arg(text));
    return c;
}

GridFont GridFileReader::font(const QJsonValue &v)
{
    GridFont f;
    if (v.isUndefined())
        return f;
    if (!v.isObject()) {
        fail(QStringLiteral("字体无效"));
        return f;
    }
    const QJsonObject o = v.toObject();
    f.name = string(o, "name", f.name);
    f.size = std::max(1.0, number(o, "size", f.size));
    f.bold = boolean(o, "bold", false);
    f.italic = boolean(o, "italic", false);
    f.underline = boolean(o, "underline", false);
    f.strikeout = boolean(o, "strikeout", false);
    return f;
}

CellStyle GridFileReader::style(const QJsonValue &v)
{
    CellStyle s;
    if (!v.isObject()) {
        fail(QStringLiteral("单元格格式无效"));
        return s;
    }
    const QJsonObject o = v.toObject();
    s.fontName = string(o, "font");
    s.fontSize = std::max(0.0, number(o, "size", 0));
    s.bold = boolean(o, "bold", false);
    s.italic = boolean(o, "italic", false);
    s.underline = boolean(o, "underline", false);
    s.strikeout = boolean(o, "strikeout", false);
    s.foreColor = color(o, "fore");
    s.backColor = color(o, "back");
    s.alignment = GridAlign(integer(o, "align", 0, -1000, 1000));
    s.wrapText = boolean(o, "wrap", false);
    s.locked = boolean(o, "locked", false);
    s.dropDown = boolean(o, "dropDown", false);
    const QJsonValue b = member(o, "borders");
    if (!b.isUndefined()) {
        const QJsonArray a = b.toArray();
        if (!b.isArray() || a.size() != 6)
            fail(QStringLiteral("边框无效"));
        for (int i = 0; i < 6 && i < a.size(); ++i) {
            const int value = a.at(i).toInt(-1);
            if (value < 0 || value > 2)
                fail(QStringLiteral("边框无效"));
            s.borders[size_t(i)] = GridBorder::Style(std::clamp(value, 0, 2));
        }
    }
    s.imageKey = string(o, "image");
    return s;
}

PageSetup GridFileReader::pageSetup(const QJsonValue &v)
{
    PageSetup p;
    if (v.isUndefined())
        return p;
    if (!v.isObject()) {
        fail(QStringLiteral("页面设置无效"));
        return p;
    }
    const QJsonObject o = v.toObject();
    p.orientation = PageSetup::Orientation(integer(o, "orientation", int(p.orientation), 1, 2));
    p.paperKind = integer(o, "paperKind", p.paperKind, 0, PageSetup::customPaperKind());
    p.paperWidth = number(o, "paperWidth", p.paperWidth);
    p.paperHeight = number(o, "paperHeight", p.paperHeight);
    p.zoom = integer(o, "zoom", p.zoom, 1, 10000);
    p.leftMargin = number(o, "leftMargin", p.leftMargin);
    p.rightMargin = number(o, "rightMargin", p.rightMargin);
    p.topMargin = number(o, "topMargin", p.topMargin);
    p.bottomMargin = number(o, "bottomMargin", p.bottomMargin);
    p.headerMargin = number(o, "headerMargin", p.headerMargin);
    p.footerMargin = number(o, "footerMargin", p.footerMargin);
    p.header = string(o, "header");
    p.headerAlignment =
        PageSetup::TextAlign(integer(o, "headerAlignment", int(p.headerAlignment), 0, 2));
    p.headerFont = font(member(o, "headerFont"));
    p.footer = string(o, "footer");
    p.footerAlignment =
        PageSetup::TextAlign(integer(o, "footerAlignment", int(p.footerAlignment), 0, 2));
    p.footerFont = font(member(o, "footerFont"));
    p.printTitleRows = integer(o, "printTitleRows", 0, 0, 1'000'000);
    p.printTitleColumns = integer(o, "printTitleColumns", 0, 0, kMaxCols);
    p.printBottomTitleRows = integer(o, "printBottomTitleRows", 0, 0, 1'000'000);
    p.printFixedRow = boolean(o, "printFixedRow", p.printFixedRow);
    p.printFixedColumn = boolean(o, "printFixedColumn", p.printFixedColumn);
    p.printGridlines = boolean(o, "printGridlines", p.printGridlines);
    p.blackAndWhite = boolean(o, "blackAndWhite", p.blackAndWhite);
    p.centerHorizontally = boolean(o, "centerHorizontally", p.centerHorizontally);
    p.centerVertically = boolean(o, "centerVertically", p.centerVertically);
    return p;
}

bool GridFileReader::area(const QJsonValue &v, GridArea *out)
{
    const QJsonArray a = v.toArray();
    if (!v.isArray() || a.size() != 4)
        return fail(QStringLiteral("合并区域无效"));
    const GridArea m{a.at(0).toInt(-1), a.at(1).toInt(-1), a.at(2).toInt(-1), a.at(3).toInt(-1)};
    if (m.firstRow < 0 || m.firstCol < 0 || m.isEmpty() || m.lastRow >= m_rows ||
        m.lastCol >= m_cols)
        return fail(QStringLiteral("合并区域超出表格"));
    *out = m;
    return true;
}

} // namespace fenpai
