#include "grid/gridfilewriter.h"

#include "grid/gridcursor.h"
#include "grid/griddata.h"
#include "grid/gridfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace fenpai {

using namespace Qt::StringLiterals;

namespace {

void appendString(QByteArray &out, const QString &text)
{
    out += '"';
    const QByteArray utf8 = text.toUtf8();
    for (char ch : utf8) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            switch (ch) {
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default: {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", u);
                out += buf;
            }
            }
        } else {
            out += ch;
        }
    }
    out += '"';
}

QByteArray compact(const QJsonValue &value)
{
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    // A scalar: wrap and unwrap.
    QByteArray a = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return a.mid(1, a.size() - 2);
}

QJsonObject fontToJson(const GridFont &f)
{
    QJsonObject o{{u"name"_s, f.name}, {u"size"_s, f.size}};
    if (f.bold)
        o.insert(u"bold"_s, true);
    if (f.italic)
        o.insert(u"italic"_s, true);
    if (f.underline)
        o.insert(u"underline"_s, true);
    if (f.strikeout)
        o.insert(u"strikeout"_s, true);
    return o;
}

QJsonObject styleToJson(const CellStyle &s)
{
    QJsonObject o;
    if (!s.fontName.isEmpty())
        o.insert(u"font"_s, s.fontName);
    if (s.fontSize > 0)
        o.insert(u"size"_s, s.fontSize);
    if (s.bold)
        o.insert(u"bold"_s, true);
    if (s.italic)
        o.insert(u"italic"_s, true);
    if (s.underline)
        o.insert(u"underline"_s, true);
    if (s.strikeout)
        o.insert(u"strikeout"_s, true);
    if (s.foreColor.isValid())
        o.insert(u"fore"_s, s.foreColor.name(QColor::HexArgb));
    if (s.backColor.isValid())
        o.insert(u"back"_s, s.backColor.name(QColor::HexArgb));
    if (s.alignment != GridAlign::General)
        o.insert(u"align"_s, int(s.alignment));
    if (s.wrapText)
        o.insert(u"wrap"_s, true);
    if (s.locked)
        o.insert(u"locked"_s, true);
    if (s.dropDown)
        o.insert(u"dropDown"_s, true);
    if (s.borders != std::array<GridBorder::Style, 6>{}) {
        QJsonArray b;
        for (GridBorder::Style v : s.borders)
            b.append(int(v));
        o.insert(u"borders"_s, b);
    }
    if (!s.imageKey.isEmpty())
        o.insert(u"image"_s, s.imageKey);
    return o;
}

QJsonObject pageSetupToJson(const PageSetup &p)
{
    return QJsonObject{
        {u"orientation"_s, int(p.orientation)},
        {u"paperKind"_s, p.paperKind},
        {u"paperWidth"_s, p.paperWidth},
        {u"paperHeight"_s, p.paperHeight},
        {u"zoom"_s, p.zoom},
        {u"leftMargin"_s, p.leftMargin},
        {u"rightMargin"_s, p.rightMargin},
        {u"topMargin"_s, p.topMargin},
        {u"bottomMargin"_s, p.bottomMargin},
        {u"headerMargin"_s, p.headerMargin},
        {u"footerMargin"_s, p.footerMargin},
        {u"header"_s, p.header},
        {u"headerAlignment"_s, int(p.headerAlignment)},
        {u"headerFont"_s, fontToJson(p.headerFont)},
        {u"footer"_s, p.footer},
        {u"footerAlignment"_s, int(p.footerAlignment)},
        {u"footerFont"_s, fontToJson(p.footerFont)},
        {u"printTitleRows"_s, p.printTitleRows},
        {u"printTitleColumns"_s, p.printTitleColumns},
        {u"printBottomTitleRows"_s, p.printBottomTitleRows},
        {u"printFixedRow"_s, p.printFixedRow},
        {u"printFixedColumn"_s, p.printFixedColumn},
        {u"printGridlines"_s, p.printGridlines},
        {u"blackAndWhite"_s, p.blackAndWhite},
        {u"centerHorizontally"_s, p.centerHorizontally},
        {u"centerVertically"_s, p.centerVertically},
    };
}

const char *boolText(bool on)
{
    return on ? "true" : "false";
}

} // namespace

GridFileWriter::GridFileWriter(const GridData &data, const GridCursor &cursor)
    : m_data(data)
    , m_cursor(cursor)
{}

QJsonObject GridFileWriter::pageSetupJson(const PageSetup &setup)
{
    return pageSetupToJson(setup);
}

QByteArray GridFileWriter::write()
{
    const GridContent &content = m_data.content;
    m_out.clear();
    m_out.reserve(qsizetype(content.rowCount()) * content.colCount() * 8 + 4096);
    numberStyles();
    writeHead();
    writeColumnsStylesMerges();
    writePrinting();
    writeImages();
    writeCells();
    return std::move(m_out);
}

void GridFileWriter::numberStyles()
{
    const GridContent &content = m_data.content;
    m_fileId.assign(size_t(m_data.styles.size()), -1);
    m_fileId[0] = 0;
    m_order = {0};
    for (int r = 0; r < content.rowCount(); ++r) {
        for (int c = 0; c < content.colCount(); ++c) {
            const quint32 id = content.styleId(r, c);
            if (m_fileId[id] < 0) {
                m_fileId[id] = int(m_order.size());
                m_order.append(id);
            }
        }
    }
}

void GridFileWriter::writeHead()
{
    const GridSettings &s = m_data.settings;
    const int rows = m_data.content.rowCount();
    const int cols = m_data.content.colCount();
    m_out += "{\n\"format\": \"";
    m_out += GridFile::kFormatName;
    m_out += "\",\n\"version\": " + QByteArray::number(GridFile::kVersion);
    m_out += ",\n\"rows\": " + QByteArray::number(rows);
    m_out += ",\n\"cols\": " + QByteArray::number(cols);
    m_out += ",\n\"fixedRows\": " + QByteArray::number(s.fixedRows);
    m_out += ",\n\"defaultRowHeight\": " + QByteArray::number(s.defaultRowHeight);
    m_out += ",\n\"displayRowIndex\": ";
    m_out += boolText(s.displayRowIndex);
    m_out += ",\n\"allowUserSort\": ";
    m_out += boolText(s.allowUserSort);
    m_out += ",\n\"enabled\": ";
    m_out += boolText(s.enabled);
    m_out += ",\n\"defaultFont\": " + compact(fontToJson(s.defaultFont));
    const GridCursor cursor = m_cursor.clampedTo(rows, cols);
    const GridArea &sel = cursor.area;
    m_out +=
        ",\n\"selection\": " + compact(QJsonArray{sel.firstRow, sel.firstCol, sel.lastRow,
                                                  sel.lastCol, cursor.activeRow, cursor.activeCol});
}

void GridFileWriter::writeColumnsStylesMerges()
{
    m_out += ",\n\"columns\": [";
    for (int c = 0; c < m_data.content.colCount(); ++c) {
        const GridColumnInfo &info = m_data.content.column(c);
        QJsonObject o{{u"width"_s, info.width}};
        if (info.mask != 0)
            o.insert(u"mask"_s, info.mask);
        if (info.alignment != GridAlign::General)
            o.insert(u"align"_s, int(info.alignment));
        if (!info.formatString.isEmpty())
            o.insert(u"format"_s, info.formatString);
        m_out += c == 0 ? "\n  " : ",\n  ";
        m_out += compact(o);
    }
    m_out += "\n],\n\"styles\": [";
    for (int i = 0; i < m_order.size(); ++i) {
        m_out += i == 0 ? "\n  " : ",\n  ";
        m_out += compact(styleToJson(m_data.styles.at(m_order[i])));
    }
    m_out += "\n],\n\"merges\": [";
    const QList<GridArea> &blocks = m_data.merges.blocks();
    for (int i = 0; i < blocks.size(); ++i) {
        const GridArea &m = blocks.at(i);
        m_out += i == 0 ? "\n  " : ",\n  ";
        m_out += compact(QJsonArray{m.firstRow, m.firstCol, m.lastRow, m.lastCol});
    }
}

void GridFileWriter::writePrinting()
{
    m_out += "\n],\n\"hPageBreaks\": ";
    QJsonArray breaks;
    for (int b : m_data.print.pageBreaks())
        breaks.append(b);
    m_out += compact(breaks);
    m_out += ",\n\"pageSetup\": " + compact(pageSetupToJson(m_data.print.pageSetup()));
    m_out += ",\n\"reportTitles\": [";
    const QList<ReportTitle> &titles = m_data.print.titles();
    for (int i = 0; i < titles.size(); ++i) {
        const ReportTitle &t = titles.at(i);
        m_out += i == 0 ? "\n  " : ",\n  ";
        m_out += compact(QJsonObject{{u"text"_s, t.text},
                                     {u"font"_s, fontToJson(t.font)},
                                     {u"alignTo"_s, t.alignTo},
                                     {u"printOnAllPages"_s, t.printOnAllPages}});
    }
}

void GridFileWriter::writeImages()
{
    m_out += "\n],\n\"images\": {";
    const QStringList keys = m_data.images.keys();
    for (int i = 0; i < keys.size(); ++i) {
        m_out += i == 0 ? "\n  " : ",\n  ";
        appendString(m_out, keys.at(i));
        m_out += ": \"" + m_data.images.data(keys.at(i)).toBase64() + '"';
    }
}

void GridFileWriter::writeCells()
{
    const GridContent &content = m_data.content;
    m_out += "\n},\n\"cells\": [";
    bool firstRow = true;
    for (int r = 0; r < content.rowCount(); ++r) {
        int lastText = -1;
        int lastStyle = -1;
        int lastTag = -1;
        for (int c = 0; c < content.colCount(); ++c) {
            if (!content.text(r, c).isEmpty())
                lastText = c;
            if (content.styleId(r, c) != 0)
                lastStyle = c;
        }
        const QStringList &tags = content.tags(r);
        for (int c = int(tags.size()) - 1; c >= 0; --c) {
            if (!tags.at(c).isEmpty()) {
                lastTag = c;
                break;
            }
        }
        const int height = content.explicitHeight(r);
        if (lastText < 0 && lastStyle < 0 && lastTag < 0 && height < 0)
            continue;
        m_out += firstRow ? "\n  {\"r\": " : ",\n  {\"r\": ";
        firstRow = false;
        m_out += QByteArray::number(r);
        if (height >= 0)
            m_out += ", \"h\": " + QByteArray::number(height);
        if (lastText >= 0) {
            m_out += ", \"t\": [";
            for (int c = 0; c <= lastText; ++c) {
                if (c > 0)
                    m_out += ',';
                appendString(m_out, content.text(r, c));
            }
            m_out += ']';
        }
        if (lastStyle >= 0) {
            m_out += ", \"s\": [";
            for (int c = 0; c <= lastStyle; ++c) {
                if (c > 0)
                    m_out += ',';
                m_out += QByteArray::number(m_fileId[content.styleId(r, c)]);
            }
            m_out += ']';
        }
        if (lastTag >= 0) {
            m_out += ", \"g\": [";
            for (int c = 0; c <= lastTag; ++c) {
                if (c > 0)
                    m_out += ',';
                appendString(m_out, tags.at(c));
            }
            m_out += ']';
        }
        m_out += '}';
    }
    m_out += "\n]\n}\n";
}

} // namespace fenpai
