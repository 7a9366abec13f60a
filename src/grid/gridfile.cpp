#include "grid/gridfile.h"

#include "grid/grid.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cctype>
#include <climits>

namespace fenpai {

namespace {

const char kFormatName[] = "fenpai-grid";
constexpr qint64 kMaxCells = 50'000'000; // a file asking for more is damaged, not a table
constexpr int kMaxCols = 100'000;

// --- writing ---------------------------------------------------------------------------------

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
    QJsonObject o{{"name", f.name}, {"size", f.size}};
    if (f.bold)
        o["bold"] = true;
    if (f.italic)
        o["italic"] = true;
    if (f.underline)
        o["underline"] = true;
    if (f.strikeout)
        o["strikeout"] = true;
    return o;
}

QJsonObject styleToJson(const CellStyle &s)
{
    QJsonObject o;
    if (!s.fontName.isEmpty())
        o["font"] = s.fontName;
    if (s.fontSize > 0)
        o["size"] = s.fontSize;
    if (s.bold)
        o["bold"] = true;
    if (s.italic)
        o["italic"] = true;
    if (s.underline)
        o["underline"] = true;
    if (s.strikeout)
        o["strikeout"] = true;
    if (s.foreColor.isValid())
        o["fore"] = s.foreColor.name(QColor::HexArgb);
    if (s.backColor.isValid())
        o["back"] = s.backColor.name(QColor::HexArgb);
    if (s.alignment != 0)
        o["align"] = s.alignment;
    if (s.wrapText)
        o["wrap"] = true;
    if (s.locked)
        o["locked"] = true;
    if (s.dropDown)
        o["dropDown"] = true;
    if (s.borders != std::array<quint8, 6>{}) {
        QJsonArray b;
        for (quint8 v : s.borders)
            b.append(int(v));
        o["borders"] = b;
    }
    if (!s.imageKey.isEmpty())
        o["image"] = s.imageKey;
    return o;
}

QJsonObject pageSetupToJson(const PageSetup &p)
{
    return QJsonObject{
        {"orientation", p.orientation},
        {"paperKind", p.paperKind},
        {"paperWidth", p.paperWidth},
        {"paperHeight", p.paperHeight},
        {"zoom", p.zoom},
        {"leftMargin", p.leftMargin},
        {"rightMargin", p.rightMargin},
        {"topMargin", p.topMargin},
        {"bottomMargin", p.bottomMargin},
        {"headerMargin", p.headerMargin},
        {"footerMargin", p.footerMargin},
        {"header", p.header},
        {"headerAlignment", p.headerAlignment},
        {"headerFont", fontToJson(p.headerFont)},
        {"footer", p.footer},
        {"footerAlignment", p.footerAlignment},
        {"footerFont", fontToJson(p.footerFont)},
        {"printTitleRows", p.printTitleRows},
        {"printTitleColumns", p.printTitleColumns},
        {"printBottomTitleRows", p.printBottomTitleRows},
        {"printFixedRow", p.printFixedRow},
        {"printFixedColumn", p.printFixedColumn},
        {"printGridlines", p.printGridlines},
        {"blackAndWhite", p.blackAndWhite},
        {"centerHorizontally", p.centerHorizontally},
        {"centerVertically", p.centerVertically},
    };
}

// --- reading ---------------------------------------------------------------------------------

// Reading stops at the first fault; the message names what was wrong.
class Reader
{
public:
    QString fault;

    bool fail(const QString &what)
    {
        if (fault.isEmpty())
            fault = what;
        return false;
    }

    int integer(const QJsonObject &o, const char *key, int fallback, int min, int max)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble() || v.toDouble() != double(v.toInt()) || v.toInt() < min ||
            v.toInt() > max) {
            fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
            return fallback;
        }
        return v.toInt();
    }

    double number(const QJsonObject &o, const char *key, double fallback)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isDouble()) {
            fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
            return fallback;
        }
        return v.toDouble();
    }

    bool boolean(const QJsonObject &o, const char *key, bool fallback)
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isBool()) {
            fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
            return fallback;
        }
        return v.toBool();
    }

    QString string(const QJsonObject &o, const char *key, const QString &fallback = {})
    {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        if (!v.isString()) {
            fail(QStringLiteral("“%1”的值无效").arg(QLatin1String(key)));
            return fallback;
        }
        return v.toString();
    }

    QColor color(const QJsonObject &o, const char *key)
    {
        const QString text = string(o, key);
        if (text.isEmpty())
            return {};
        const QColor c = QColor::fromString(text);
        if (!c.isValid())
            fail(QStringLiteral("颜色“%1”无效").arg(text));
        return c;
    }

    GridFont font(const QJsonValue &v)
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

    CellStyle style(const QJsonValue &v)
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
        s.alignment = integer(o, "align", 0, -1000, 1000);
        s.wrapText = boolean(o, "wrap", false);
        s.locked = boolean(o, "locked", false);
        s.dropDown = boolean(o, "dropDown", false);
        const QJsonValue b = o.value(QLatin1String("borders"));
        if (!b.isUndefined()) {
            const QJsonArray a = b.toArray();
            if (!b.isArray() || a.size() != 6)
                fail(QStringLiteral("边框无效"));
            for (int i = 0; i < 6 && i < a.size(); ++i) {
                const int value = a.at(i).toInt(-1);
                if (value < 0 || value > 2)
                    fail(QStringLiteral("边框无效"));
                s.borders[i] = quint8(std::clamp(value, 0, 2));
            }
        }
        s.imageKey = string(o, "image");
        return s;
    }

    PageSetup pageSetup(const QJsonValue &v)
    {
        PageSetup p;
        if (v.isUndefined())
            return p;
        if (!v.isObject()) {
            fail(QStringLiteral("页面设置无效"));
            return p;
        }
        const QJsonObject o = v.toObject();
        p.orientation = integer(o, "orientation", p.orientation, 1, 2);
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
        p.headerAlignment = integer(o, "headerAlignment", p.headerAlignment, 0, 2);
        p.headerFont = font(o.value(QLatin1String("headerFont")));
        p.footer = string(o, "footer");
        p.footerAlignment = integer(o, "footerAlignment", p.footerAlignment, 0, 2);
        p.footerFont = font(o.value(QLatin1String("footerFont")));
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

    bool area(const QJsonValue &v, int rows, int cols, GridArea *out)
    {
        const QJsonArray a = v.toArray();
        if (!v.isArray() || a.size() != 4)
            return fail(QStringLiteral("合并区域无效"));
        GridArea m{a.at(0).toInt(-1), a.at(1).toInt(-1), a.at(2).toInt(-1), a.at(3).toInt(-1)};
        if (m.firstRow < 0 || m.firstCol < 0 || m.isEmpty() || m.lastRow >= rows ||
            m.lastCol >= cols)
            return fail(QStringLiteral("合并区域超出表格"));
        *out = m;
        return true;
    }
};

// A small JSON reader for the cells, the bulk of a file: it makes the row texts directly,
// where a general document tree would build and convert every value twice. Everything else
// of the file goes through QJsonDocument.
class Scanner
{
public:
    Scanner(const char *begin, const char *end)
        : m_pos(begin)
        , m_end(end)
    {}

    const char *pos() const { return m_pos; }
    bool atEnd()
    {
        ws();
        return m_pos == m_end;
    }

    void ws()
    {
        while (m_pos < m_end &&
               (*m_pos == ' ' || *m_pos == '\n' || *m_pos == '\r' || *m_pos == '\t'))
            ++m_pos;
    }

    bool consume(char ch)
    {
        ws();
        if (m_pos < m_end && *m_pos == ch) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool peek(char ch)
    {
        ws();
        return m_pos < m_end && *m_pos == ch;
    }

    bool string(QString *out)
    {
        if (!consume('"'))
            return false;
        const char *start = m_pos;
        while (m_pos < m_end && *m_pos != '"' && *m_pos != '\\') {
            if (static_cast<unsigned char>(*m_pos) < 0x20)
                return false;
            ++m_pos;
        }
        if (m_pos < m_end && *m_pos == '"') {
            if (out)
                *out = QString::fromUtf8(start, m_pos - start);
            ++m_pos;
            return true;
        }
        // The slow way, for texts with escapes.
        QByteArray utf8(start, m_pos - start);
        QString result;
        while (m_pos < m_end && *m_pos != '"') {
            const char ch = *m_pos++;
            if (static_cast<unsigned char>(ch) < 0x20)
                return false;
            if (ch != '\\') {
                utf8 += ch;
                continue;
            }
            if (m_pos >= m_end)
                return false;
            const char esc = *m_pos++;
            switch (esc) {
            case '"':
            case '\\':
            case '/':
                utf8 += esc;
                break;
            case 'b':
                utf8 += '\b';
                break;
            case 'f':
                utf8 += '\f';
                break;
            case 'n':
                utf8 += '\n';
                break;
            case 'r':
                utf8 += '\r';
                break;
            case 't':
                utf8 += '\t';
                break;
            case 'u': {
                if (m_end - m_pos < 4)
                    return false;
                bool ok = false;
                const ushort code = QByteArray(m_pos, 4).toUShort(&ok, 16);
                if (!ok)
                    return false;
                m_pos += 4;
                result += QString::fromUtf8(utf8);
                utf8.clear();
                result += QChar(code);
                break;
            }
            default:
                return false;
            }
        }
        if (m_pos >= m_end)
            return false;
        ++m_pos;
        result += QString::fromUtf8(utf8);
        if (out)
            *out = result;
        return true;
    }

    bool integer(qint64 *out)
    {
        ws();
        const char *start = m_pos;
        if (m_pos < m_end && *m_pos == '-')
            ++m_pos;
        const char *digits = m_pos;
        while (m_pos < m_end && *m_pos >= '0' && *m_pos <= '9' && m_pos - digits < 12)
            ++m_pos;
        if (m_pos == digits || (m_pos < m_end && (*m_pos == '.' || *m_pos == 'e' || *m_pos == 'E' ||
                                                  (*m_pos >= '0' && *m_pos <= '9'))))
            return false;
        bool ok = false;
        *out = QByteArray(start, m_pos - start).toLongLong(&ok);
        return ok;
    }

    // Passes over any value; nesting deeper than a grid file needs is refused.
    bool skipValue(int depth = 0)
    {
        if (depth > 32)
            return false;
        ws();
        if (m_pos >= m_end)
            return false;
        switch (*m_pos) {
        case '"':
            return string(nullptr);
        case '{':
            ++m_pos;
            if (consume('}'))
                return true;
            do {
                if (!string(nullptr) || !consume(':') || !skipValue(depth + 1))
                    return false;
            } while (consume(','));
            return consume('}');
        case '[':
            ++m_pos;
            if (consume(']'))
                return true;
            do {
                if (!skipValue(depth + 1))
                    return false;
            } while (consume(','));
            return consume(']');
        default: {
            const char *start = m_pos;
            while (m_pos < m_end && (std::isalnum(static_cast<unsigned char>(*m_pos)) ||
                                     *m_pos == '-' || *m_pos == '+' || *m_pos == '.'))
                ++m_pos;
            return m_pos > start;
        }
        }
    }

private:
    const char *m_pos;
    const char *m_end;
};

struct ParsedRow
{
    int row = -1;
    int height = -1;
    QStringList texts;
    QStringList tags;
    QList<qint64> styles;
};

bool parseStringArray(Scanner &sc, QStringList *out)
{
    if (!sc.consume('['))
        return false;
    if (sc.consume(']'))
        return true;
    do {
        QString text;
        if (!sc.string(&text))
            return false;
        out->append(text);
    } while (sc.consume(','));
    return sc.consume(']');
}

bool parseCells(Scanner &sc, std::vector<ParsedRow> *rows)
{
    if (!sc.consume('['))
        return false;
    if (sc.consume(']'))
        return true;
    do {
        if (!sc.consume('{'))
            return false;
        ParsedRow row;
        if (!sc.peek('}')) {
            do {
                QString key;
                if (!sc.string(&key) || !sc.consume(':'))
                    return false;
                qint64 n = 0;
                if (key == QLatin1String("r")) {
                    if (!sc.integer(&n) || n < 0 || n > INT_MAX)
                        return false;
                    row.row = int(n);
                } else if (key == QLatin1String("h")) {
                    if (!sc.integer(&n) || n < 0 || n > 1'000'000)
                        return false;
                    row.height = int(n);
                } else if (key == QLatin1String("t")) {
                    if (!parseStringArray(sc, &row.texts))
                        return false;
                } else if (key == QLatin1String("g")) {
                    if (!parseStringArray(sc, &row.tags))
                        return false;
                } else if (key == QLatin1String("s")) {
                    if (!sc.consume('['))
                        return false;
                    if (!sc.consume(']')) {
                        do {
                            if (!sc.integer(&n))
                                return false;
                            row.styles.append(n);
                        } while (sc.consume(','));
                        if (!sc.consume(']'))
                            return false;
                    }
                } else if (!sc.skipValue()) {
                    return false; // a later version's key: ignored
                }
            } while (sc.consume(','));
        }
        if (!sc.consume('}') || row.row < 0)
            return false;
        rows->push_back(std::move(row));
    } while (sc.consume(','));
    return sc.consume(']');
}

// Splits the top object: "cells" parsed by the scanner, every other member by QJsonDocument.
bool parseTop(const QByteArray &bytes, QJsonObject *root, std::vector<ParsedRow> *cells)
{
    Scanner sc(bytes.constData(), bytes.constData() + bytes.size());
    if (!sc.consume('{'))
        return false;
    if (!sc.consume('}')) {
        do {
            QString key;
            if (!sc.string(&key) || !sc.consume(':'))
                return false;
            if (key == QLatin1String("cells")) {
                if (!parseCells(sc, cells))
                    return false;
                continue;
            }
            sc.ws();
            const char *start = sc.pos();
            if (!sc.skipValue())
                return false;
            QByteArray wrapped = "[" + QByteArray(start, sc.pos() - start) + "]";
            QJsonParseError error;
            const QJsonDocument doc = QJsonDocument::fromJson(wrapped, &error);
            if (error.error != QJsonParseError::NoError || !doc.isArray())
                return false;
            root->insert(key, doc.array().at(0));
        } while (sc.consume(','));
        if (!sc.consume('}'))
            return false;
    }
    return sc.atEnd();
}

} // namespace

QByteArray GridFile::write(const Grid &grid)
{
    // Only the styles in use are written, renumbered in order of first use.
    std::vector<int> used(grid.m_styles.size(), -1);
    used[0] = 0;
    QList<quint32> order{0};
    for (const Grid::Row &row : grid.m_rows) {
        for (const Grid::Cell &cell : row.cells) {
            if (used[cell.style] < 0) {
                used[cell.style] = int(order.size());
                order.append(cell.style);
            }
        }
    }

    QByteArray out;
    out.reserve(qsizetype(grid.rows()) * grid.cols() * 8 + 4096);
    out += "{\n\"format\": \"";
    out += kFormatName;
    out += "\",\n\"version\": " + QByteArray::number(kVersion);
    out += ",\n\"rows\": " + QByteArray::number(grid.rows());
    out += ",\n\"cols\": " + QByteArray::number(grid.cols());
    out += ",\n\"fixedRows\": " + QByteArray::number(grid.m_fixedRows);
    out += ",\n\"defaultRowHeight\": " + QByteArray::number(grid.m_defaultRowHeight);
    out += ",\n\"displayRowIndex\": ";
    out += grid.m_displayRowIndex ? "true" : "false";
    out += ",\n\"allowUserSort\": ";
    out += grid.m_allowUserSort ? "true" : "false";
    out += ",\n\"enabled\": ";
    out += grid.m_enabled ? "true" : "false";
    out += ",\n\"defaultFont\": " + compact(fontToJson(grid.m_defaultFont));
    const GridArea &sel = grid.m_selection;
    out +=
        ",\n\"selection\": " + compact(QJsonArray{sel.firstRow, sel.firstCol, sel.lastRow,
                                                  sel.lastCol, grid.m_activeRow, grid.m_activeCol});
    out += ",\n\"columns\": [";
    for (int c = 0; c < grid.cols(); ++c) {
        const GridColumnInfo &info = grid.m_columns[c];
        QJsonObject o{{"width", info.width}};
        if (info.mask != 0)
            o["mask"] = info.mask;
        if (info.alignment != 0)
            o["align"] = info.alignment;
        if (!info.formatString.isEmpty())
            o["format"] = info.formatString;
        out += c == 0 ? "\n  " : ",\n  ";
        out += compact(o);
    }
    out += "\n],\n\"styles\": [";
    for (int i = 0; i < order.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        out += compact(styleToJson(grid.m_styles[order[i]]));
    }
    out += "\n],\n\"merges\": [";
    for (int i = 0; i < grid.m_merges.size(); ++i) {
        const GridArea &m = grid.m_merges.at(i);
        out += i == 0 ? "\n  " : ",\n  ";
        out += compact(QJsonArray{m.firstRow, m.firstCol, m.lastRow, m.lastCol});
    }
    out += "\n],\n\"hPageBreaks\": ";
    QJsonArray breaks;
    for (int b : grid.m_hPageBreaks)
        breaks.append(b);
    out += compact(breaks);
    out += ",\n\"pageSetup\": " + compact(pageSetupToJson(grid.m_pageSetup));
    out += ",\n\"reportTitles\": [";
    for (int i = 0; i < grid.m_reportTitles.size(); ++i) {
        const ReportTitle &t = grid.m_reportTitles.at(i);
        out += i == 0 ? "\n  " : ",\n  ";
        out += compact(QJsonObject{{"text", t.text},
                                   {"font", fontToJson(t.font)},
                                   {"alignTo", t.alignTo},
                                   {"printOnAllPages", t.printOnAllPages}});
    }
    out += "\n],\n\"images\": {";
    const QStringList keys = grid.imageKeys();
    for (int i = 0; i < keys.size(); ++i) {
        out += i == 0 ? "\n  " : ",\n  ";
        appendString(out, keys.at(i));
        out += ": \"" + grid.m_imageData.value(keys.at(i)).toBase64() + '"';
    }
    out += "\n},\n\"cells\": [";
    bool firstRow = true;
    for (int r = 0; r < grid.rows(); ++r) {
        const Grid::Row &row = grid.m_rows[r];
        int lastText = -1;
        int lastStyle = -1;
        int lastTag = -1;
        for (int c = 0; c < int(row.cells.size()); ++c) {
            const Grid::Cell &cell = row.cells[c];
            if (!cell.text.isEmpty())
                lastText = c;
            if (cell.style != 0)
                lastStyle = c;
        }
        for (int c = int(row.tags.size()) - 1; c >= 0; --c) {
            if (!row.tags.at(c).isEmpty()) {
                lastTag = c;
                break;
            }
        }
        if (lastText < 0 && lastStyle < 0 && lastTag < 0 && row.height < 0)
            continue;
        out += firstRow ? "\n  {\"r\": " : ",\n  {\"r\": ";
        firstRow = false;
        out += QByteArray::number(r);
        if (row.height >= 0)
            out += ", \"h\": " + QByteArray::number(row.height);
        if (lastText >= 0) {
            out += ", \"t\": [";
            for (int c = 0; c <= lastText; ++c) {
                if (c > 0)
                    out += ',';
                appendString(out, row.cells[c].text);
            }
            out += ']';
        }
        if (lastStyle >= 0) {
            out += ", \"s\": [";
            for (int c = 0; c <= lastStyle; ++c) {
                if (c > 0)
                    out += ',';
                out += QByteArray::number(used[row.cells[c].style]);
            }
            out += ']';
        }
        if (lastTag >= 0) {
            out += ", \"g\": [";
            for (int c = 0; c <= lastTag; ++c) {
                if (c > 0)
                    out += ',';
                appendString(out, row.tags.at(c));
            }
            out += ']';
        }
        out += '}';
    }
    out += "\n]\n}\n";
    return out;
}

Status GridFile::read(const QByteArray &bytes, Grid *into)
{
    auto damaged = [](const QString &detail) {
        return Status::refused(QStringLiteral("表格文件已损坏（%1）。").arg(detail));
    };
    QJsonObject root;
    std::vector<ParsedRow> cells;
    if (!parseTop(bytes, &root, &cells))
        return Status::refused(QStringLiteral("不是表格文件，或表格文件已损坏。"));
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormatName))
        return Status::refused(QStringLiteral("不是表格文件，或表格文件已损坏。"));
    const QJsonValue versionValue = root.value(QLatin1String("version"));
    if (!versionValue.isDouble() || versionValue.toInt() < 1)
        return damaged(QStringLiteral("版本号无效"));
    if (versionValue.toInt() > kVersion)
        return Status::refused(QStringLiteral("表格文件由较新版本的程序保存，无法打开。"));

    Reader rd;
    const int rows = rd.integer(root, "rows", -1, 0, 100'000'000);
    const int cols = rd.integer(root, "cols", -1, 0, kMaxCols);
    if (!rd.fault.isEmpty() || rows < 0 || cols < 0)
        return damaged(QStringLiteral("行数或列数无效"));
    if (qint64(rows) * cols > kMaxCells)
        return damaged(QStringLiteral("表格过大"));

    Grid &g = *into;
    g.m_fixedRows = rd.integer(root, "fixedRows", 1, 0, rows);
    g.m_defaultRowHeight = rd.integer(root, "defaultRowHeight", 20, 1, 100'000);
    g.m_displayRowIndex = rd.boolean(root, "displayRowIndex", false);
    g.m_allowUserSort = rd.boolean(root, "allowUserSort", false);
    g.m_enabled = rd.boolean(root, "enabled", true);
    g.m_defaultFont = rd.font(root.value(QLatin1String("defaultFont")));

    const QJsonArray columns = root.value(QLatin1String("columns")).toArray();
    if (columns.size() != cols)
        return damaged(QStringLiteral("列的数目不符"));
    g.m_columns.assign(size_t(cols), GridColumnInfo{});
    for (int c = 0; c < cols; ++c) {
        const QJsonObject o = columns.at(c).toObject();
        GridColumnInfo &info = g.m_columns[c];
        info.width = rd.integer(o, "width", info.width, 0, 1'000'000);
        info.mask = rd.integer(o, "mask", 0, -1000, 1000);
        info.alignment = rd.integer(o, "align", 0, -1000, 1000);
        info.formatString = rd.string(o, "format");
    }

    const QJsonArray styles = root.value(QLatin1String("styles")).toArray();
    std::vector<quint32> styleIds;
    styleIds.reserve(size_t(styles.size()));
    for (const QJsonValue &v : styles)
        styleIds.push_back(g.internStyle(rd.style(v)));
    if (!rd.fault.isEmpty())
        return damaged(rd.fault);

    g.m_rows.clear();
    g.m_rows.resize(size_t(rows), g.newRow());
    int previous = -1;
    for (ParsedRow &parsed : cells) {
        const int r = parsed.row;
        if (r <= previous || r >= rows)
            return damaged(QStringLiteral("行号无效"));
        previous = r;
        Grid::Row &row = g.m_rows[r];
        row.height = parsed.height;
        if (parsed.texts.size() > cols || parsed.styles.size() > cols || parsed.tags.size() > cols)
            return damaged(QStringLiteral("第 %1 行的单元格过多").arg(r));
        for (int c = 0; c < parsed.texts.size(); ++c)
            row.cells[c].text = std::move(parsed.texts[c]);
        for (int c = 0; c < parsed.tags.size(); ++c)
            g.setCellTag(r, c, parsed.tags.at(c));
        for (int c = 0; c < parsed.styles.size(); ++c) {
            const qint64 id = parsed.styles.at(c);
            if (id < 0 || id >= qint64(styleIds.size()))
                return damaged(QStringLiteral("第 %1 行的格式编号无效").arg(r));
            row.cells[c].style = styleIds[size_t(id)];
        }
    }
    cells.clear();

    g.m_merges.clear();
    for (const QJsonValue &v : root.value(QLatin1String("merges")).toArray()) {
        GridArea m;
        if (!rd.area(v, rows, cols, &m))
            return damaged(rd.fault);
        for (const GridArea &other : std::as_const(g.m_merges)) {
            if (other.intersects(m))
                return damaged(QStringLiteral("合并区域重叠"));
        }
        if (!m.isSingleCell())
            g.m_merges.append(m);
    }
    g.invalidateMerges();

    g.m_hPageBreaks.clear();
    for (const QJsonValue &v : root.value(QLatin1String("hPageBreaks")).toArray()) {
        const int b = v.toInt(-1);
        if (b <= 0 || b > rows)
            return damaged(QStringLiteral("分页位置无效"));
        if (!g.m_hPageBreaks.contains(b))
            g.m_hPageBreaks.append(b);
    }
    std::sort(g.m_hPageBreaks.begin(), g.m_hPageBreaks.end());

    g.m_pageSetup = rd.pageSetup(root.value(QLatin1String("pageSetup")));
    g.m_reportTitles.clear();
    for (const QJsonValue &v : root.value(QLatin1String("reportTitles")).toArray()) {
        const QJsonObject o = v.toObject();
        ReportTitle t;
        t.text = rd.string(o, "text");
        t.font = rd.font(o.value(QLatin1String("font")));
        t.alignTo = rd.integer(o, "alignTo", 0, -1000, 1000);
        t.printOnAllPages = rd.boolean(o, "printOnAllPages", true);
        g.m_reportTitles.append(t);
    }

    g.m_imageData.clear();
    g.m_imageCache.clear();
    const QJsonObject images = root.value(QLatin1String("images")).toObject();
    for (auto it = images.begin(); it != images.end(); ++it) {
        const auto decoded = QByteArray::fromBase64Encoding(
            it.value().toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!it.value().isString() || !decoded)
            return damaged(QStringLiteral("图片“%1”无效").arg(it.key()));
        g.m_imageData.insert(it.key(), *decoded);
    }

    const QJsonArray sel = root.value(QLatin1String("selection")).toArray();
    if (sel.size() == 6) {
        g.m_selection = GridArea::normalized(sel.at(0).toInt(), sel.at(1).toInt(),
                                             sel.at(2).toInt(), sel.at(3).toInt());
        g.m_activeRow = sel.at(4).toInt();
        g.m_activeCol = sel.at(5).toInt();
    }
    g.clampSelection();
    if (!rd.fault.isEmpty())
        return damaged(rd.fault);
    return Status::ok();
}

Status GridFile::save(const Grid &grid, const QString &path)
{
    auto failure = [&](const QString &why) {
        return Status::error(Status::Kind::Io,
                             QStringLiteral("无法保存表格文件“%1”：%2").arg(path, why));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failure(file.errorString());
    const QByteArray bytes = write(grid);
    if (file.write(bytes) != bytes.size())
        return failure(file.errorString());
    if (!file.commit())
        return failure(file.errorString());
    return Status::ok();
}

} // namespace fenpai
