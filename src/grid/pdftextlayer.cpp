#include "grid/pdftextlayer.h"

#include <QBuffer>
#include <QFont>
#include <QGlyphRun>
#include <QTextLayout>

#include <qpdf/Buffer.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <stdexcept>

namespace fenpai {

namespace {

quint16 readU16(const QByteArray &data, qsizetype at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    return quint16((uchar(data[at]) << 8) | uchar(data[at + 1]));
}

// Code points drawn as glyphs: line breaks and other controls never reach a page.
QList<char32_t> drawnCodePoints(const QString &text)
{
    QList<char32_t> out;
    for (char32_t c : text.toUcs4()) {
        if (c >= 0x20 && c != 0x7f && !out.contains(c))
            out.append(c);
    }
    return out;
}

quint32 glyphOf(const QRawFont &font, char32_t c)
{
    const QList<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
    return glyphs.isEmpty() ? 0 : glyphs.first();
}

// Shapes that stand for an ideograph elsewhere: radicals, compatibility ideographs, controls.
bool isStandIn(char32_t c)
{
    return c < 0x20 || (c >= 0x2e80 && c <= 0x2fdf) || (c >= 0xf900 && c <= 0xfaff) ||
           (c >= 0x2f800 && c <= 0x2fa1f);
}

// One ToUnicode entry: a character code and the UTF-16 text it stands for.
using CMapEntries = std::map<quint32, QString>;

QString utf16FromHex(const QByteArray &hex)
{
    QString out;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
        out.append(QChar(char16_t(hex.mid(i, 4).toUInt(nullptr, 16))));
    return out;
}

// The tokens of a CMap body: hex strings (without brackets), "[", "]" and words.
QList<QByteArray> cmapTokens(const QByteArray &text)
{
    QList<QByteArray> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const char ch = text[i];
        if (ch == '<' && i + 1 < text.size() && text[i + 1] != '<') {
            const qsizetype end = text.indexOf('>', i);
            if (end < 0)
                break;
            QByteArray hex = text.mid(i + 1, end - i - 1);
            hex.replace(' ', "").replace('\n', "").replace('\r', "");
            tokens.append('<' + hex);
            i = end + 1;
        } else if (ch == '[' || ch == ']') {
            tokens.append(QByteArray(1, ch));
            ++i;
        } else if (QChar::isSpace(uchar(ch))) {
            ++i;
        } else {
            qsizetype end = i;
            while (end < text.size() && !QChar::isSpace(uchar(text[end])) && text[end] != '<' &&
                   text[end] != '[' && text[end] != ']')
                ++end;
            tokens.append(text.mid(i, std::max<qsizetype>(1, end - i)));
            i = std::max(end, i + 1);
        }
    }
    return tokens;
}

// bfchar and bfrange sections; unknown content is skipped.
CMapEntries parseCMap(const QList<QByteArray> &tokens)
{
    CMapEntries entries;
    auto hex = [](const QByteArray &t) { return t.startsWith('<') ? t.mid(1) : QByteArray(); };
    enum class Section
    {
        None,
        Char,
        Range
    } section = Section::None;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QByteArray &t = tokens[i];
        if (t == "beginbfchar") {
            section = Section::Char;
        } else if (t == "beginbfrange") {
            section = Section::Range;
        } else if (t == "endbfchar" || t == "endbfrange") {
            section = Section::None;
        } else if (section == Section::Char && t.startsWith('<') && i + 1 < tokens.size()) {
            entries[hex(t).toUInt(nullptr, 16)] = utf16FromHex(hex(tokens[++i]));
        } else if (section == Section::Range && t.startsWith('<') && i + 2 < tokens.size()) {
            const quint32 lo = hex(t).toUInt(nullptr, 16);
            const quint32 hi = hex(tokens[++i]).toUInt(nullptr, 16);
            if (tokens[i + 1] == "[") {
                ++i;
                for (quint32 code = lo; i + 1 < tokens.size() && tokens[i + 1] != "]"; ++code)
                    entries[code] = utf16FromHex(hex(tokens[++i]));
                ++i; // the "]"
            } else {
                QString first = utf16FromHex(hex(tokens[++i]));
                for (quint32 code = lo; code <= hi && !first.isEmpty() && code - lo < 0x10000;
                     ++code) {
                    entries[code] = first;
                    first.back() = QChar(char16_t(first.back().unicode() + 1));
                }
            }
        }
    }
    return entries;
}

QByteArray hexOf(const QString &text)
{
    QByteArray out;
    for (QChar ch : text)
        out += QByteArray::number(ch.unicode(), 16).rightJustified(4, '0').toUpper();
    return out;
}

QByteArray writeCMap(const QByteArray &codeSpace, const CMapEntries &entries)
{
    QByteArray out = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                     "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                     "1 begincodespacerange\n" +
                     codeSpace + "\nendcodespacerange\n";
    auto it = entries.begin();
    while (it != entries.end()) {
        QByteArray block;
        int n = 0;
        for (; it != entries.end() && n < 100; ++it, ++n) // at most 100 entries a section
            block += '<' + QByteArray::number(it->first, 16).rightJustified(4, '0').toUpper() +
                     "> <" + hexOf(it->second) + ">\n";
        out += QByteArray::number(n) + " beginbfchar\n" + block + "endbfchar\n";
    }
    out += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    return out;
}

// A BaseFont without its subset tag ("ABCDEF+").
QString baseFontName(const std::string &name)
{
    QString base = QString::fromStdString(name);
    if (base.startsWith(u'/'))
        base.remove(0, 1);
    if (base.size() > 7 && base.at(6) == u'+')
        base.remove(0, 7);
    return base;
}

} // namespace

QString PdfTextLayer::postscriptName(const QRawFont &font)
{
    const QByteArray table = font.fontTable("name");
    const int count = readU16(table, 2);
    const int strings = readU16(table, 4);
    QString fallback;
    for (int i = 0; i < count; ++i) {
        const qsizetype rec = 6 + 12 * qsizetype(i);
        const int platform = readU16(table, rec);
        if (readU16(table, rec + 6) != 6)
            continue;
        const QByteArray data =
            table.mid(strings + readU16(table, rec + 10), readU16(table, rec + 8));
        if (platform == 1) {
            fallback = QString::fromLatin1(data);
            continue;
        }
        QString name;
        for (qsizetype k = 0; k + 1 < data.size(); k += 2)
            name.append(QChar(char16_t(readU16(data, k))));
        if (!name.isEmpty())
            return name;
    }
    if (!fallback.isEmpty())
        return fallback;
    return QString(font.familyName() + u'-' + font.styleName()).remove(u' ');
}

void PdfTextLayer::record(const QFont &font, const QString &text)
{
    // Characters already seen with this font need no second look.
    const QString fontKey = font.key();
    QString fresh;
    for (char32_t c : drawnCodePoints(text)) {
        if (!m_recorded.contains(fontKey + QChar(0) + QString::fromUcs4(&c, 1))) {
            m_recorded.insert(fontKey + QChar(0) + QString::fromUcs4(&c, 1));
            fresh += QString::fromUcs4(&c, 1);
        }
    }
    if (fresh.isEmpty())
        return;
    QTextLayout layout(fresh, font);
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    const QList<char32_t> characters = drawnCodePoints(fresh);
    for (const QGlyphRun &run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        if (!raw.isValid())
            continue;
        const QList<quint32> indexes = run.glyphIndexes();
        const QSet<quint32> used(indexes.begin(), indexes.end());
        // Keyed as a PDF's BaseFont spells the name.
        FontGlyphs &entry = m_fonts[postscriptName(raw).replace(u' ', u'_')];
        if (!entry.font.isValid())
            entry.font = raw;
        for (char32_t c : characters) {
            const quint32 glyph = glyphOf(raw, c);
            if (glyph != 0 && used.contains(glyph))
                entry.characters[glyph].insert(c);
        }
    }
}

char32_t PdfTextLayer::characterFor(const QString &postscriptName, char32_t current) const
{
    auto pick = [current](const FontGlyphs &f) -> char32_t {
        const quint32 glyph = glyphOf(f.font, current);
        const QSet<char32_t> drawn = f.characters.value(glyph);
        if (glyph == 0 || drawn.isEmpty())
            return 0;
        // Several characters on one glyph: the ideograph before its radical, then the lowest.
        QList<char32_t> sorted(drawn.begin(), drawn.end());
        std::sort(sorted.begin(), sorted.end(), [](char32_t a, char32_t b) {
            return isStandIn(a) != isStandIn(b) ? !isStandIn(a) : a < b;
        });
        return sorted.first();
    };
    const auto named = m_fonts.constFind(QString(postscriptName).replace(u' ', u'_'));
    if (named != m_fonts.cend())
        return pick(*named);
    // A font named otherwise than its own name table says: any font that drew this glyph.
    QStringList names = m_fonts.keys();
    names.sort();
    for (const QString &name : std::as_const(names)) {
        if (const char32_t c = pick(m_fonts[name]))
            return c;
    }
    return 0;
}

QString PdfTextLayer::rewriteCMap(const QString &postscriptName, const QByteArray &cmap) const
{
    const QList<QByteArray> tokens = cmapTokens(cmap);
    CMapEntries entries = parseCMap(tokens);
    bool changed = false;
    for (auto &[code, text] : entries) {
        const QList<uint> points = text.toUcs4();
        if (points.size() != 1 || points.first() == 0)
            continue;
        const char32_t drawn = characterFor(postscriptName, points.first());
        if (drawn != 0 && drawn != points.first()) {
            text = QString::fromUcs4(&drawn, 1);
            changed = true;
        }
    }
    if (!changed)
        return {};
    QByteArray codeSpace = "<0000> <FFFF>";
    const qsizetype at = tokens.indexOf("begincodespacerange");
    if (at >= 0 && at + 2 < tokens.size() && tokens[at + 1].startsWith('<'))
        codeSpace = '<' + tokens[at + 1].mid(1) + "> <" + tokens[at + 2].mid(1) + '>';
    return QString::fromLatin1(writeCMap(codeSpace, entries));
}

namespace {

// qpdf's output straight into a device: a large document is not held twice in memory.
class DevicePipeline final : public Pipeline
{
public:
    explicit DevicePipeline(QIODevice &device)
        : Pipeline("fenpai device", nullptr)
        , m_device(device)
    {}
    void write(unsigned char const *data, size_t length) override
    {
        if (m_device.write(reinterpret_cast<const char *>(data), qint64(length)) != qint64(length))
            throw std::runtime_error(m_device.errorString().toStdString());
    }
    void finish() override {}

private:
    QIODevice &m_device;
};

} // namespace

Status PdfTextLayer::write(const QByteArray &pdf, QIODevice &out) const
{
    if (m_fonts.isEmpty()) {
        if (out.write(pdf) != pdf.size())
            return Status::error(Status::Kind::Io, out.errorString());
        return Status::ok();
    }
    try {
        QPDF doc;
        doc.setSuppressWarnings(true);
        doc.processMemoryFile("fenpai.pdf", pdf.constData(), size_t(pdf.size()));
        for (QPDFObjectHandle font : doc.getAllObjects()) {
            if (!font.isDictionary() || !font.getKey("/Type").isNameAndEquals("/Font") ||
                !font.getKey("/Subtype").isNameAndEquals("/Type0"))
                continue;
            QPDFObjectHandle map = font.getKey("/ToUnicode");
            QPDFObjectHandle base = font.getKey("/BaseFont");
            if (!map.isStream() || !base.isName())
                continue;
            const std::shared_ptr<Buffer> data = map.getStreamData(qpdf_dl_generalized);
            const QByteArray text(reinterpret_cast<const char *>(data->getBuffer()),
                                  qsizetype(data->getSize()));
            const QString fixed = rewriteCMap(baseFontName(base.getName()), text);
            if (!fixed.isEmpty())
                map.replaceStreamData(fixed.toStdString(), QPDFObjectHandle::newNull(),
                                      QPDFObjectHandle::newNull());
        }
        DevicePipeline pipeline(out);
        QPDFWriter writer(doc);
        writer.setOutputPipeline(&pipeline);
        writer.setDecodeLevel(qpdf_dl_none); // pages and pictures are copied as they are
        writer.setDeterministicID(true);
        writer.write();
        return Status::ok();
    } catch (const std::exception &e) {
        return Status::error(Status::Kind::Io, QString::fromUtf8(e.what()));
    }
}

Result<QByteArray> PdfTextLayer::rewrite(const QByteArray &pdf) const
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (Status s = write(pdf, out); !s.isOk())
        return s;
    return out.data();
}

} // namespace fenpai
