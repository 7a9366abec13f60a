#include "workbook/xlsxreader.h"

#include "workbook/workbookreader.h"
#include "workbook/xmlscanner.h"
#include "workbook/zipentrydevice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>

#include <zip.h>

#include <charconv>
#include <memory>
#include <vector>

namespace fenpai {

using namespace Qt::StringLiterals;

namespace {

// The grid sizes of the format; a cell reference beyond them comes from a damaged file.
constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;

Status failure(const QString &reason)
{
    return Status::error(Status::Kind::Io, reason);
}

struct Relation
{
    QString type;
    QString target;
};

// The part a relation points at, as an entry name of the archive.
QString resolveTarget(const QString &sourcePart, const QString &target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = sourcePart.lastIndexOf(u'/');
    const QString dir = slash < 0 ? QString() : sourcePart.left(slash + 1);
    return QDir::cleanPath(dir + target);
}

// The relations part of a part: "xl/workbook.xml" → "xl/_rels/workbook.xml.rels".
QString relationsPart(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

QHash<QString, Relation> readRelations(zip *archive, const QString &part, const QString &source)
{
    QHash<QString, Relation> relations;
    const QByteArray data = ZipEntryDevice::readAll(archive, part);
    QXmlStreamReader xml(data);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Relationship") {
            const QXmlStreamAttributes a = xml.attributes();
            if (a.value("TargetMode"_L1) == u"External")
                continue;
            relations.insert(a.value("Id"_L1).toString(),
                             {a.value("Type"_L1).toString(),
                              resolveTarget(source, a.value("Target"_L1).toString())});
        }
    }
    return relations;
}

QString targetOfType(const QHash<QString, Relation> &relations, QStringView typeSuffix,
                     const QString &fallback, bool *named = nullptr)
{
    if (named)
        *named = false;
    for (const Relation &r : relations) {
        if (r.type.endsWith(typeSuffix)) {
            if (named)
                *named = true;
            return r.target;
        }
    }
    return fallback;
}

bool readsTrue(QStringView value)
{
    return value == u"1" || value == u"true";
}

// The local part of a qualified name ("x:c" → "c"): worksheets are read without namespace
// processing, which is much faster, and some writers use a prefix.
QStringView localName(QStringView name)
{
    const qsizetype colon = name.lastIndexOf(u':');
    return colon < 0 ? name : name.mid(colon + 1);
}

// The text of a string item (<si> or <is>): its <t> runs, without phonetic guides (<rPh>).
QString readStringItem(QXmlStreamReader &xml)
{
    const QString end = xml.name().toString();
    QString text;
    int phonetic = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (localName(xml.name()) == u"rPh")
                ++phonetic;
            else if (localName(xml.name()) == u"t" && phonetic == 0)
                text += xml.readElementText();
        } else if (token == QXmlStreamReader::EndElement) {
            if (localName(xml.name()) == u"rPh")
                --phonetic;
            else if (xml.name() == end)
                break;
        }
    }
    return XlsxReader::decodeEscapes(text);
}

enum class PartRead
{
    Ok,
    Damaged,  // not well-formed, or missing although the workbook names it
    TooLarge, // more text than a sheet may hold
};

PartRead readSharedStrings(zip *archive, const QString &part, bool named, QStringList &strings)
{
    ZipEntryDevice device(archive, part);
    if (!device.open(QIODevice::ReadOnly))
        return named ? PartRead::Damaged : PartRead::Ok; // a workbook without texts has none
    QXmlStreamReader xml(&device);
    xml.setNamespaceProcessing(false);
    qint64 characters = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QStringView name = localName(xml.name());
        if (name == u"sst") {
            const qsizetype unique = xml.attributes().value("uniqueCount"_L1).toLongLong();
            if (unique > 0 && unique < 10'000'000)
                strings.reserve(unique);
        } else if (name == u"si") {
            strings.append(readStringItem(xml));
            characters += strings.constLast().size();
            if (2 * characters > Sheet::maxTextBytes)
                return PartRead::TooLarge;
        }
    }
    return xml.hasError() || device.failed() ? PartRead::Damaged : PartRead::Ok;
}

// Which cell formats (by index) show their number as a date or time.
std::vector<bool> readDateStyles(zip *archive, const QString &part)
{
    const QByteArray data = ZipEntryDevice::readAll(archive, part);
    QHash<int, bool> customIsDate;
    std::vector<bool> styles;
    QXmlStreamReader xml(data);
    bool inCellXfs = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == u"numFmt") {
                customIsDate.insert(a.value("numFmtId"_L1).toInt(),
                                    XlsxReader::isDateFormat(a.value("formatCode"_L1).toString()));
            } else if (xml.name() == u"cellXfs") {
                inCellXfs = true;
            } else if (xml.name() == u"xf" && inCellXfs) {
                const int id = a.value("numFmtId"_L1).toInt();
                bool date = false;
                if (customIsDate.contains(id))
                    date = customIsDate.value(id);
                else
                    // The built-in date and time formats, including the East Asian ones.
                    date = (id >= 14 && id <= 22) || (id >= 27 && id <= 36) ||
                           (id >= 45 && id <= 47) || (id >= 50 && id <= 58);
                styles.push_back(date);
            }
        } else if (token == QXmlStreamReader::EndElement && xml.name() == u"cellXfs") {
            inCellXfs = false;
        }
    }
    return styles;
}

// "BC12" → column 54, row 11 (0-based). False for anything but letters then digits within
// the format's grid.
bool parseReference(QByteArrayView ref, int &row, int &column)
{
    int c = 0;
    int r = 0;
    qsizetype i = 0;
    for (; i < ref.size(); ++i) {
        const char ch = ref[i];
        if (ch >= 'A' && ch <= 'Z')
            c = c * 26 + (ch - 'A' + 1);
        else if (ch >= 'a' && ch <= 'z')
            c = c * 26 + (ch - 'a' + 1);
        else
            break;
        if (c > maxColumns)
            return false;
    }
    const qsizetype digits = i;
    for (; i < ref.size(); ++i) {
        const char ch = ref[i];
        if (ch < '0' || ch > '9')
            return false;
        r = r * 10 + (ch - '0');
        if (r > maxRows)
            return false;
    }
    if (c == 0 || r == 0 || digits == ref.size())
        return false;
    column = c - 1;
    row = r - 1;
    return true;
}

enum class CellType
{
    Number,
    Shared,
    Inline,
    FormulaText,
    Boolean,
    Error,
    IsoDate
};

CellType typeOf(QByteArrayView t)
{
    if (t.isEmpty() || t == "n")
        return CellType::Number;
    if (t == "s")
        return CellType::Shared;
    if (t == "inlineStr")
        return CellType::Inline;
    if (t == "str")
        return CellType::FormulaText;
    if (t == "b")
        return CellType::Boolean;
    if (t == "d")
        return CellType::IsoDate;
    return CellType::Error;
}

template <typename T> bool parseNumber(QByteArrayView text, T &value)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    while (begin < end && (*begin == ' ' || *begin == '\n' || *begin == '\t' || *begin == '\r'))
        ++begin;
    while (end > begin && (end[-1] == ' ' || end[-1] == '\n' || end[-1] == '\t' || end[-1] == '\r'))
        --end;
    if (begin < end && *begin == '+')
        ++begin;
    const auto [rest, error] = std::from_chars(begin, end, value);
    return error == std::errc() && rest == end && begin < end;
}

struct CellState
{
    int row = 0;
    int column = -1;
    CellType type = CellType::Number;
    int style = 0;
    QByteArray value; // kept from cell to cell so its buffer is reused
    bool hasValue = false;
    QByteArray inlineText;
    bool hasInline = false;
};

QString textOf(const QByteArray &utf8)
{
    return XlsxReader::decodeEscapes(QString::fromUtf8(utf8));
}

// False when the cell refers to a shared string that is not there.
bool commitCell(Sheet &sheet, const CellState &c, const std::vector<bool> &dateStyles,
                bool date1904, qsizetype sharedStrings)
{
    switch (c.type) {
    case CellType::Shared: {
        std::uint32_t index = 0;
        if (!c.hasValue)
            break;
        if (!parseNumber(c.value, index) || static_cast<qsizetype>(index) >= sharedStrings)
            return false;
        sheet.setPooledText(c.row, c.column, index);
        break;
    }
    case CellType::Inline:
        if (c.hasInline)
            sheet.setText(c.row, c.column, textOf(c.inlineText));
        else if (c.hasValue)
            sheet.setText(c.row, c.column, textOf(c.value));
        break;
    case CellType::FormulaText:
        if (c.hasValue)
            sheet.setText(c.row, c.column, textOf(c.value));
        break;
    case CellType::Boolean:
        if (c.hasValue)
            sheet.setNumber(c.row, c.column, (c.value == "1" || c.value == "true") ? 1 : 0);
        break;
    case CellType::Error:
        // An error value (#N/A, #DIV/0! …) holds no data.
        break;
    case CellType::IsoDate:
        if (c.hasValue) {
            const QString value = QString::fromUtf8(c.value);
            const QDateTime when = QDateTime::fromString(value, Qt::ISODate);
            if (when.isValid()) {
                const QDate d = when.date();
                const QTime tm = when.time();
                sheet.setText(c.row, c.column,
                              Sheet::dateText(d.year(), d.month(), d.day(), tm.hour(), tm.minute(),
                                              tm.second()));
            } else {
                sheet.setText(c.row, c.column, value);
            }
        }
        break;
    case CellType::Number:
        if (c.hasValue) {
            double number = 0;
            if (!parseNumber(c.value, number)) {
                if (!c.value.trimmed().isEmpty())
                    sheet.setText(c.row, c.column, textOf(c.value));
            } else if (c.style >= 0 && static_cast<size_t>(c.style) < dateStyles.size() &&
                       dateStyles[static_cast<size_t>(c.style)]) {
                sheet.setText(c.row, c.column, Sheet::dateText(number, date1904));
            } else {
                sheet.setNumber(c.row, c.column, number);
            }
        }
        break;
    }
    return true;
}

// Walks one worksheet part through the fast scanner, cell by cell.
class WorksheetScan final
{
public:
    WorksheetScan(Sheet &sheet, const std::vector<bool> &dateStyles, bool date1904,
                  qsizetype sharedStrings)
        : m_sheet(sheet)
        , m_dateStyles(dateStyles)
        , m_date1904(date1904)
        , m_sharedStrings(sharedStrings)
    {}

    // False when the part is damaged; true also when a limit stopped the reading early.
    bool run(ZipEntryDevice &device)
    {
        XmlScanner xml(&device);
        for (;;) {
            switch (xml.next()) {
            case XmlScanner::Token::StartElement:
                if (!startElement(xml))
                    return false;
                break;
            case XmlScanner::Token::Text:
                if (!text(xml))
                    return true;
                break;
            case XmlScanner::Token::EndElement:
                if (!endElement(xml.name()))
                    return m_ok;
                break;
            case XmlScanner::Token::End:
                return !device.failed();
            case XmlScanner::Token::Error:
                return false;
            }
        }
    }

private:
    // A cell starts: its place from "r" or after the last one, its type and style.
    bool startCell(const XmlScanner &xml)
    {
        int r = -1;
        int c = -1;
        const QByteArrayView ref = xml.attribute("r");
        if (!ref.isEmpty() && !parseReference(ref, r, c))
            return false;
        m_cell.row = r >= 0 ? r : (m_row < 0 ? 0 : m_row);
        m_cell.column = c >= 0 ? c : m_column + 1;
        if (m_cell.row >= maxRows || m_cell.column >= maxColumns)
            return false;
        m_column = m_cell.column;
        m_cell.type = typeOf(xml.attribute("t"));
        m_cell.style = 0;
        parseNumber(xml.attribute("s"), m_cell.style);
        m_cell.value.truncate(0);
        m_cell.inlineText.truncate(0);
        m_cell.hasValue = false;
        m_cell.hasInline = false;
        m_inCell = true;
        return true;
    }

    bool startRow(const XmlScanner &xml)
    {
        const QByteArrayView r = xml.attribute("r");
        int number = 0;
        if (r.isEmpty())
            m_row = m_row + 1;
        else if (parseNumber(r, number) && number > 0 && number <= maxRows)
            m_row = number - 1;
        else
            return false;
        m_column = -1;
        return true;
    }

    bool startElement(const XmlScanner &xml)
    {
        const QByteArrayView name = xml.name();
        if (name == "c")
            return startCell(xml);
        if (!m_inCell)
            return name != "row" || startRow(xml);
        if (name == "v") {
            m_inValue = true;
            m_cell.hasValue = true;
        } else if (name == "is") {
            m_inInline = true;
            m_cell.hasInline = true;
        } else if (m_inInline && name == "rPh") {
            ++m_phonetic;
        } else if (m_inInline && name == "t" && m_phonetic == 0) {
            m_inInlineText = true;
        }
        return true;
    }

    // False when the text passed the limit of a cell.
    bool text(const XmlScanner &xml)
    {
        if (m_inValue)
            m_cell.value += xml.text();
        else if (m_inInlineText)
            m_cell.inlineText += xml.text();
        // Four UTF-8 bytes a character at most: past that no cell can hold the text.
        if (m_cell.value.size() + m_cell.inlineText.size() > 4 * qsizetype(Sheet::maxTextLength)) {
            m_sheet.refuse(Sheet::Limit::TextLength);
            return false;
        }
        return true;
    }

    // False when the reading ends here: m_ok then says whether the part was sound.
    bool endElement(QByteArrayView name)
    {
        if (name == "v") {
            m_inValue = false;
        } else if (name == "t") {
            m_inInlineText = false;
        } else if (name == "rPh") {
            --m_phonetic;
        } else if (name == "is") {
            m_inInline = false;
            m_phonetic = 0;
        } else if (name == "c" && m_inCell) {
            m_ok = commitCell(m_sheet, m_cell, m_dateStyles, m_date1904, m_sharedStrings);
            if (!m_ok || m_sheet.limit() != Sheet::Limit::None)
                return false;
            m_inCell = false;
        }
        return true;
    }

    Sheet &m_sheet;
    const std::vector<bool> &m_dateStyles;
    bool m_date1904;
    qsizetype m_sharedStrings;
    int m_row = -1;
    int m_column = -1;
    CellState m_cell;
    bool m_inCell = false;
    bool m_inValue = false;
    bool m_inInline = false;
    bool m_inInlineText = false;
    int m_phonetic = 0;
    bool m_ok = true;
};

// Returns false when the part is damaged. Worksheets are the large parts: they go through the
// fast scanner. Reading stops early when the sheet passes a limit (Sheet::limit() says which).
bool readWorksheet(zip *archive, const QString &part, Sheet &sheet,
                   const std::vector<bool> &dateStyles, bool date1904, qsizetype sharedStrings)
{
    ZipEntryDevice device(archive, part);
    if (!device.open(QIODevice::ReadOnly))
        return false;
    return WorksheetScan(sheet, dateStyles, date1904, sharedStrings).run(device);
}

// A sheet the caller wants and the part that holds it.
struct WantedSheet
{
    Sheet *sheet;
    QString part;
};

// The workbook part: the date system and the sheets, each added to `workbook` when wanted.
// False when the part is damaged.
bool readWorkbookPart(const QByteArray &workbookXml, const QHash<QString, Relation> &relations,
                      const QStringList &wanted, Workbook &workbook,
                      std::vector<WantedSheet> &sheets, bool &date1904)
{
    QXmlStreamReader xml(workbookXml);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            date1904 = readsTrue(a.value("date1904"_L1));
        } else if (xml.name() == u"sheet") {
            QString id;
            for (const QXmlStreamAttribute &attribute : a) {
                if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
                    id = attribute.value().toString();
            }
            Sheet *sheet = workbook.addSheet(a.value("name"_L1).toString(), wanted);
            if (sheet)
                sheets.push_back({sheet, relations.value(id).target});
        }
    }
    return !xml.hasError();
}

} // namespace

QString XlsxReader::decodeEscapes(const QString &text)
{
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && text[i + 6] == u'_') {
            bool ok = false;
            const uint code = QStringView(text).mid(i + 2, 4).toUInt(&ok, 16);
            if (ok) {
                out.append(QChar(static_cast<char16_t>(code)));
                i += 6;
                continue;
            }
        }
        out.append(text[i]);
    }
    return out;
}

bool XlsxReader::isDateFormat(const QString &code)
{
    if (code.startsWith(QLatin1String("General"), Qt::CaseInsensitive))
        return false;
    bool quoted = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar ch = code[i];
        if (quoted) {
            if (ch == u'"')
                quoted = false;
            continue;
        }
        if (ch == u'"') {
            quoted = true;
        } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
            ++i; // the next character is shown literally (or is padding)
        } else if (ch == u'[') {
            // [h], [mm], [ss] are elapsed times; [Red], [$-804] are not.
            const qsizetype close = code.indexOf(u']', i);
            if (close < 0)
                return false;
            const QString inside = code.mid(i + 1, close - i - 1).toLower();
            if (!inside.isEmpty() && QStringLiteral("hms").contains(inside.at(0)) &&
                inside.count(inside.at(0)) == inside.size())
                return true;
            i = close;
        } else if (ch == u';') {
            break; // only the first section decides
        } else {
            const char16_t c = ch.toLower().unicode();
            if (c == u'y' || c == u'm' || c == u'd' || c == u'h' || c == u's')
                return true;
        }
    }
    return false;
}

Result<Workbook> XlsxReader::read(const QString &path, const QStringList &wanted)
{
    Result<ZipArchive> opened = ZipEntryDevice::openArchive(path);
    if (!opened)
        return opened.status();
    ZipArchive archive = std::move(*opened);
    zip *z = archive.get();

    const QHash<QString, Relation> packageRelations =
        readRelations(z, QStringLiteral("_rels/.rels"), QString());
    const QString workbookPart =
        targetOfType(packageRelations, u"/officeDocument", QStringLiteral("xl/workbook.xml"));
    bool ok = true;
    const QByteArray workbookXml = ZipEntryDevice::readAll(z, workbookPart, &ok);
    if (workbookXml.isNull())
        return failure(WorkbookReader::reasonNotWorkbook());
    if (!ok)
        return failure(WorkbookReader::reasonDamaged());
    const QHash<QString, Relation> relations =
        readRelations(z, relationsPart(workbookPart), workbookPart);

    Workbook workbook;
    workbook.setFormat(Workbook::Format::Xlsx);
    std::vector<WantedSheet> sheets;
    bool date1904 = false;
    if (!readWorkbookPart(workbookXml, relations, wanted, workbook, sheets, date1904))
        return failure(WorkbookReader::reasonDamaged());
    if (sheets.empty())
        return workbook;

    QStringList strings;
    bool stringsNamed = false;
    const QString stringsPart = targetOfType(
        relations, u"/sharedStrings",
        resolveTarget(workbookPart, QLatin1String("sharedStrings.xml")), &stringsNamed);
    switch (readSharedStrings(z, stringsPart, stringsNamed, strings)) {
    case PartRead::Ok:
        break;
    case PartRead::Damaged:
        return failure(WorkbookReader::reasonDamaged());
    case PartRead::TooLarge:
        return failure(WorkbookReader::reasonLimit(Sheet::Limit::TextBytes));
    }
    const std::vector<bool> dateStyles =
        readDateStyles(z, targetOfType(relations, u"/styles",
                                       resolveTarget(workbookPart, QLatin1String("styles.xml"))));

    for (const WantedSheet &w : sheets) {
        w.sheet->setPool(strings);
        if (!readWorksheet(z, w.part, *w.sheet, dateStyles, date1904, strings.size()))
            return failure(WorkbookReader::reasonDamaged());
    }
    return workbook;
}

} // namespace fenpai
