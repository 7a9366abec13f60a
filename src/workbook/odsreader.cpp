#include "workbook/odsreader.h"

#include "workbook/workbookreader.h"
#include "workbook/zipentrydevice.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace fenpai {

using namespace Qt::StringLiterals;

namespace {

// The largest grid a spreadsheet program writes; repeats beyond it (files end their sheets with
// "the next million rows are empty") are not spelled out, and no count may pass it.
constexpr int maxRows = 1048576;
constexpr int maxColumns = 16384;

const QString officeNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:office:1.0");
const QString tableNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:table:1.0");
const QString textNs = QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:text:1.0");

Status failure(const QString &reason)
{
    return Status::error(Status::Kind::Io, reason);
}

struct CellValue
{
    Sheet::Cell::Kind kind = Sheet::Cell::Kind::Empty;
    double number = 0;
    QString text;
};

// A repeat count, at most `limit` (a larger one says nothing more than the limit does).
int repeatOf(const QXmlStreamAttributes &a, const QString &ns, QLatin1StringView name, int limit)
{
    bool ok = false;
    const qlonglong n = a.value(ns, name).toLongLong(&ok);
    if (!ok || n < 1)
        return 1;
    return n > limit ? limit : static_cast<int>(n);
}

bool isXmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

// The text of a cell: its paragraphs joined by line breaks, with the spaces, tabs and breaks the
// format writes as elements; notes (annotations) left out. Character data counts only inside a
// paragraph, where a run of white space reads as one space and none opens or closes a
// paragraph: the indentation of a pretty-printed file is not text. A text longer than a cell may
// hold stops growing just past that length, so that the sheet refuses it without the memory
// being spent.
class CellTextReader final
{
public:
    explicit CellTextReader(QXmlStreamReader &xml)
        : m_xml(xml)
    {}

    QString read()
    {
        while (!m_xml.atEnd() && m_depth > 0) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement();
                break;
            case QXmlStreamReader::EndElement:
                if (m_depth == m_paragraphDepth) {
                    m_paragraphDepth = 0;
                    m_pendingSpace = false;
                }
                --m_depth;
                if (m_skipping)
                    --m_skipping;
                break;
            case QXmlStreamReader::Characters:
                characters();
                break;
            default:
                break;
            }
        }
        return m_text;
    }

private:
    static constexpr qsizetype cap = Sheet::maxTextLength + 1;

    void append(QChar c, qsizetype count = 1)
    {
        if (m_pendingSpace && m_text.size() < cap)
            m_text += u' ';
        m_pendingSpace = false;
        m_paragraphStart = false;
        if (m_text.size() < cap)
            m_text += QString(std::min(count, cap - m_text.size()), c);
    }

    void startElement()
    {
        ++m_depth;
        if (m_skipping) {
            ++m_skipping;
            return;
        }
        const QStringView name = m_xml.name();
        if (name == u"annotation") {
            m_skipping = 1;
        } else if (name == u"p" || name == u"h") {
            if (m_paragraphs++ > 0 && m_text.size() < cap)
                m_text += u'\n';
            if (m_paragraphDepth == 0) {
                m_paragraphDepth = m_depth;
                m_paragraphStart = true;
                m_pendingSpace = false;
            }
        } else if (name == u"s") {
            append(u' ', repeatOf(m_xml.attributes(), textNs, "c"_L1, int(cap)));
        } else if (name == u"tab") {
            append(u'\t');
        } else if (name == u"line-break") {
            append(u'\n');
        }
    }

    void characters()
    {
        if (m_skipping || m_paragraphDepth == 0)
            return;
        for (const QChar c : m_xml.text()) {
            if (isXmlSpace(c))
                m_pendingSpace = !m_paragraphStart;
            else
                append(c);
        }
    }

    QXmlStreamReader &m_xml;
    QString m_text;
    int m_paragraphs = 0;
    int m_depth = 1;
    int m_skipping = 0;       // depth inside an annotation
    int m_paragraphDepth = 0; // depth of the open paragraph, 0 outside
    bool m_paragraphStart = false;
    bool m_pendingSpace = false;
};

QString readCellText(QXmlStreamReader &xml)
{
    return CellTextReader(xml).read();
}

// "PT12H30M05S" → "12:30:05".
QString durationText(QStringView value)
{
    static const QRegularExpression pattern(
        QStringLiteral("^-?P(?:(\\d+)D)?T?(?:(\\d+)H)?(?:(\\d+)M)?(?:([\\d.]+)S)?$"));
    const QRegularExpressionMatch m = pattern.match(value.toString());
    if (!m.hasMatch())
        return value.toString();
    const int hours = m.capturedView(1).toInt() * 24 + m.capturedView(2).toInt();
    return QStringLiteral("%1:%2:%3")
        .arg(hours, 2, 10, QLatin1Char('0'))
        .arg(m.capturedView(3).toInt(), 2, 10, QLatin1Char('0'))
        .arg(qRound(m.capturedView(4).toDouble()), 2, 10, QLatin1Char('0'));
}

CellValue readCell(QXmlStreamReader &xml)
{
    using Kind = Sheet::Cell::Kind;
    const QXmlStreamAttributes a = xml.attributes();
    const QString type = a.value(officeNs, "value-type"_L1).toString();
    CellValue cell;
    if (type == u"float" || type == u"percentage" || type == u"currency") {
        bool ok = false;
        cell.number = a.value(officeNs, "value"_L1).toDouble(&ok);
        cell.kind = ok ? Kind::Number : Kind::Empty;
    } else if (type == u"boolean") {
        const QStringView b = a.value(officeNs, "boolean-value"_L1);
        cell.kind = Kind::Number;
        cell.number = (b == u"true" || b == u"1") ? 1 : 0;
    } else if (type == u"date") {
        const QString value = a.value(officeNs, "date-value"_L1).toString();
        const QDateTime when = QDateTime::fromString(value, Qt::ISODate);
        const QDate date = when.isValid() ? when.date() : QDate::fromString(value, Qt::ISODate);
        cell.kind = Kind::Text;
        if (date.isValid()) {
            const QTime time = when.isValid() ? when.time() : QTime(0, 0);
            cell.text = Sheet::dateText(date.year(), date.month(), date.day(), time.hour(),
                                        time.minute(), time.second());
        } else {
            cell.text = value;
        }
    } else if (type == u"time") {
        cell.kind = Kind::Text;
        cell.text = durationText(a.value(officeNs, "time-value"_L1));
    }
    const bool hasStringValue = a.hasAttribute(officeNs, "string-value"_L1);
    const QString stringValue = a.value(officeNs, "string-value"_L1).toString();
    const QString text = readCellText(xml); // also moves past the cell's end
    if (type == u"string" || (type.isEmpty() && !text.isEmpty())) {
        cell.kind = Kind::Text;
        cell.text = hasStringValue ? stringValue : text;
    }
    // An empty text is no value: a row of thousands of them, repeated, costs nothing.
    if (cell.kind == Kind::Text && Sheet::withoutControls(cell.text).isEmpty())
        cell.kind = Kind::Empty;
    return cell;
}

// Cells of a row as read: a value repeated over `count` columns.
struct Placed
{
    int column;
    int count;
    CellValue value;
};

// Sets the row's cells in each of its repeats; false once the sheet passes a limit.
bool fill(Sheet &sheet, int row, int repeat, const std::vector<Placed> &cells)
{
    if (cells.empty())
        return true;
    qint64 perRow = 0;
    for (const Placed &p : cells)
        perRow += p.count;
    if (!sheet.admitCells(row + repeat - 1, perRow * repeat))
        return false;
    for (int r = row; r < row + repeat; ++r) {
        for (const Placed &p : cells) {
            for (int c = p.column; c < p.column + p.count && c < maxColumns; ++c) {
                const bool set = p.value.kind == Sheet::Cell::Kind::Number
                                     ? sheet.setNumber(r, c, p.value.number)
                                     : sheet.setText(r, c, p.value.text);
                if (!set)
                    return false;
            }
        }
    }
    return true;
}

// What reading goes on with after an element: the next one, or an end because the content is
// damaged or because a sheet passed one of its limits.
enum class Next
{
    Element,
    Damaged,
    Full,
};

// The sheets of content.xml, element by element: each table at the top level is a sheet (a
// table inside a cell is not), its rows and cells give the sheet's values.
class ContentReader final
{
public:
    ContentReader(QXmlStreamReader &xml, Workbook &workbook, const QStringList &wanted)
        : m_xml(xml)
        , m_workbook(workbook)
        , m_wanted(wanted)
    {}

    Next startElement()
    {
        const QStringView name = m_xml.name();
        if (name == u"table") {
            if (m_tableDepth++ == 0) {
                m_sheet = m_workbook.addSheet(
                    m_xml.attributes().value(tableNs, "name"_L1).toString(), m_wanted);
                m_inTable = true;
                m_row = 0;
            }
        } else if (!m_inTable || m_tableDepth != 1) {
            return Next::Element;
        } else if (name == u"table-row") {
            m_rowRepeat = repeatOf(m_xml.attributes(), tableNs, "number-rows-repeated"_L1, maxRows);
            m_cells.clear();
            m_column = 0;
        } else if (name == u"table-cell" || name == u"covered-table-cell") {
            return cell();
        }
        return Next::Element;
    }

    Next endElement()
    {
        const QStringView name = m_xml.name();
        if (name == u"table") {
            if (--m_tableDepth == 0) {
                m_inTable = false;
                m_sheet = nullptr;
            }
        } else if (name == u"table-row" && m_inTable && m_tableDepth == 1) {
            // Only cells that hold a value are spelled out, and only until the sheet
            // passes one of its limits: a tiny file cannot expand into billions of cells.
            if (m_sheet && !fill(*m_sheet, m_row, m_rowRepeat, m_cells))
                return Next::Full;
            m_row = std::min(m_row + m_rowRepeat, maxRows);
        }
        return Next::Element;
    }

private:
    Next cell()
    {
        const int count =
            repeatOf(m_xml.attributes(), tableNs, "number-columns-repeated"_L1, maxColumns);
        if (!m_sheet) {
            m_xml.skipCurrentElement();
        } else {
            CellValue value = readCell(m_xml);
            if (value.kind != Sheet::Cell::Kind::Empty) {
                // A value beyond the format's grid comes from a damaged file.
                if (m_column + count > maxColumns)
                    return Next::Damaged;
                m_cells.push_back({m_column, count, std::move(value)});
            }
        }
        m_column = std::min(m_column + count, maxColumns);
        return Next::Element;
    }

    QXmlStreamReader &m_xml;
    Workbook &m_workbook;
    const QStringList &m_wanted;
    Sheet *m_sheet = nullptr;
    bool m_inTable = false;
    int m_tableDepth = 0;
    int m_row = 0;
    int m_rowRepeat = 1;
    std::vector<Placed> m_cells; // the values of the open row
    int m_column = 0;
};

// Returns false when the content is damaged. Reading stops early when a sheet passes a limit
// (Sheet::limit() says which).
bool readContent(zip *archive, Workbook &workbook, const QStringList &wanted)
{
    ZipEntryDevice device(archive, QStringLiteral("content.xml"));
    if (!device.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&device);
    ContentReader reader(xml, workbook, wanted);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        Next next = Next::Element;
        if (token == QXmlStreamReader::StartElement)
            next = reader.startElement();
        else if (token == QXmlStreamReader::EndElement)
            next = reader.endElement();
        if (next == Next::Damaged)
            return false;
        if (next == Next::Full)
            return true;
    }
    return !xml.hasError() && !device.failed();
}

} // namespace

Result<Workbook> OdsReader::read(const QString &path, const QStringList &wanted)
{
    Result<ZipArchive> opened = ZipEntryDevice::openArchive(path);
    if (!opened)
        return opened.status();
    ZipArchive archive = std::move(*opened);
    // An encrypted document keeps a readable manifest that says so; its content is not XML.
    const QByteArray manifest =
        ZipEntryDevice::readAll(archive.get(), QStringLiteral("META-INF/manifest.xml"));
    if (manifest.contains("encryption-data"))
        return failure(WorkbookReader::reasonEncrypted());
    if (zip_name_locate(archive.get(), "content.xml", 0) < 0)
        return failure(WorkbookReader::reasonNotWorkbook());

    Workbook workbook;
    workbook.setFormat(Workbook::Format::Ods);
    if (!readContent(archive.get(), workbook, wanted))
        return failure(WorkbookReader::reasonDamaged());
    return workbook;
}

} // namespace fenpai
