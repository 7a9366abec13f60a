#include "workbook/odsreader.h"

#include "workbook/workbookreader.h"
#include "workbook/zipentrydevice.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>
#include <vector>

namespace fenpai {

using namespace Qt::StringLiterals;

namespace {

// The largest grid a spreadsheet program writes; repeats beyond it (files end their sheets with
// "the next million rows are empty") are not spelled out.
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

int repeatOf(const QXmlStreamAttributes &a, const QString &ns, QLatin1StringView name)
{
    bool ok = false;
    const int n = a.value(ns, name).toInt(&ok);
    return ok && n > 0 ? n : 1;
}

// The text of a cell: its paragraphs joined by line breaks, with the spaces, tabs and breaks the
// format writes as elements; notes (annotations) left out.
QString readCellText(QXmlStreamReader &xml)
{
    QString text;
    int paragraphs = 0;
    int depth = 1;
    int skipping = 0; // depth inside an annotation
    while (!xml.atEnd() && depth > 0) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            if (skipping) {
                ++skipping;
                break;
            }
            const QStringView name = xml.name();
            if (name == u"annotation") {
                skipping = 1;
            } else if (name == u"p" || name == u"h") {
                if (paragraphs++ > 0)
                    text += QLatin1Char('\n');
            } else if (name == u"s") {
                text += QString(repeatOf(xml.attributes(), textNs, "c"_L1), QLatin1Char(' '));
            } else if (name == u"tab") {
                text += QLatin1Char('\t');
            } else if (name == u"line-break") {
                text += QLatin1Char('\n');
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            if (skipping)
                --skipping;
            break;
        case QXmlStreamReader::Characters:
            if (!skipping)
                text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
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
    return cell;
}

// Returns false when the content is damaged.
bool readContent(zip *archive, Workbook &workbook, const QStringList &wanted)
{
    ZipEntryDevice device(archive, QStringLiteral("content.xml"));
    if (!device.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&device);
    Sheet *sheet = nullptr;
    bool inTable = false;
    int tableDepth = 0; // a table inside a cell is not a sheet
    int row = 0;
    int rowRepeat = 1;
    struct Placed
    {
        int column;
        int count;
        CellValue value;
    };
    std::vector<Placed> cells;
    int column = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (name == u"table") {
                if (tableDepth++ == 0) {
                    sheet = workbook.addSheet(xml.attributes().value(tableNs, "name"_L1).toString(),
                                              wanted);
                    inTable = true;
                    row = 0;
                }
            } else if (!inTable || tableDepth != 1) {
                continue;
            } else if (name == u"table-row") {
                rowRepeat = repeatOf(xml.attributes(), tableNs, "number-rows-repeated"_L1);
                cells.clear();
                column = 0;
            } else if (name == u"table-cell" || name == u"covered-table-cell") {
                const int count = repeatOf(xml.attributes(), tableNs, "number-columns-repeated"_L1);
                if (!sheet) {
                    xml.skipCurrentElement();
                } else {
                    CellValue value = readCell(xml);
                    if (value.kind != Sheet::Cell::Kind::Empty && column < maxColumns)
                        cells.push_back({column, count, std::move(value)});
                }
                column += count;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView name = xml.name();
            if (name == u"table") {
                if (--tableDepth == 0) {
                    inTable = false;
                    sheet = nullptr;
                }
            } else if (name == u"table-row" && inTable && tableDepth == 1) {
                if (sheet) {
                    for (int r = row; r < row + rowRepeat && r < maxRows && !cells.empty(); ++r) {
                        for (const Placed &p : cells) {
                            for (int c = p.column; c < p.column + p.count && c < maxColumns; ++c) {
                                if (p.value.kind == Sheet::Cell::Kind::Number)
                                    sheet->setNumber(r, c, p.value.number);
                                else
                                    sheet->setText(r, c, p.value.text);
                            }
                        }
                    }
                }
                row = row + rowRepeat > maxRows ? maxRows : row + rowRepeat;
            }
        }
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
