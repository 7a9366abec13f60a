#include "support/xlsxprobe.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace fenpai::test {

namespace {

struct ZipCloser
{
    void operator()(zip_t *z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

std::optional<QByteArray> entry(zip_t *z, const char *name)
{
    zip_stat_t st;
    if (zip_stat(z, name, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
        return std::nullopt;
    zip_file_t *f = zip_fopen(z, name, 0);
    if (!f)
        return std::nullopt;
    QByteArray data(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    if (read != zip_int64_t(st.size))
        return std::nullopt;
    return data;
}

// "AB12" → row 11, column 27.
bool parseReference(QStringView ref, int *row, int *col)
{
    int c = 0;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i] >= u'A' && ref[i] <= u'Z'; ++i)
        c = c * 26 + (ref[i].unicode() - u'A' + 1);
    bool ok = false;
    const int r = ref.mid(i).toInt(&ok);
    if (i == 0 || !ok || r < 1)
        return false;
    *row = r - 1;
    *col = c - 1;
    return true;
}

qint64 key(int row, int col)
{
    return (qint64(row) << 32) | quint32(col);
}

// Every <si>'s text, its runs joined.
QStringList sharedStrings(const QByteArray &xml)
{
    QStringList strings;
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement() && x.name() == u"si")
            strings.append(QString());
        else if (x.isStartElement() && x.name() == u"t" && !strings.isEmpty())
            strings.last() += x.readElementText();
    }
    return strings;
}

} // namespace

std::optional<XlsxProbe> XlsxProbe::read(const QString &path, QString *error)
{
    const auto fail = [&](const QString &why) -> std::optional<XlsxProbe> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    int code = 0;
    Zip z(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code));
    if (!z)
        return fail(QStringLiteral("not a zip file (libzip error %1)").arg(code));
    XlsxProbe probe;
    static const QRegularExpression sheetName(QStringLiteral("^xl/worksheets/sheet[0-9]+\\.xml$"));
    for (zip_int64_t i = 0; i < zip_get_num_entries(z.get(), 0); ++i) {
        if (sheetName.match(QString::fromUtf8(zip_get_name(z.get(), i, 0))).hasMatch())
            ++probe.m_sheetCount;
    }
    const std::optional<QByteArray> sheet = entry(z.get(), "xl/worksheets/sheet1.xml");
    if (!sheet)
        return fail(QStringLiteral("no xl/worksheets/sheet1.xml"));
    const QStringList strings = sharedStrings(entry(z.get(), "xl/sharedStrings.xml").value_or(""));
    if (!probe.readSheet(*sheet, strings))
        return fail(QStringLiteral("sheet1.xml is not well formed"));
    probe.readStyles(entry(z.get(), "xl/styles.xml").value_or(""));
    return probe;
}

const XlsxProbe::Cell *XlsxProbe::cell(int row, int col) const
{
    const auto it = m_cells.constFind(key(row, col));
    return it == m_cells.cend() ? nullptr : &*it;
}

XlsxProbe::Font XlsxProbe::font(const Cell &cell) const
{
    const int index = m_formats.value(cell.style).font;
    return m_fonts.value(index);
}

QString XlsxProbe::horizontalAlignment(const Cell &cell) const
{
    return m_formats.value(cell.style).horizontal;
}

bool XlsxProbe::readSheet(const QByteArray &xml, const QStringList &strings)
{
    QXmlStreamReader x(xml);
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement())
            continue;
        const QXmlStreamAttributes a = x.attributes();
        if (x.name() == u"col") {
            const Column column{a.value(QLatin1String("width")).toDouble(),
                                a.value(QLatin1String("hidden")) == u"1"};
            for (int c = a.value(QLatin1String("min")).toInt();
                 c <= a.value(QLatin1String("max")).toInt(); ++c)
                m_columns.insert(c - 1, column);
        } else if (x.name() == u"mergeCell") {
            m_merges.append(a.value(QLatin1String("ref")).toString());
        } else if (x.name() == u"c") {
            int row = 0;
            int col = 0;
            if (!parseReference(a.value(QLatin1String("r")), &row, &col))
                return false;
            const QString type = a.value(QLatin1String("t")).toString();
            Cell cell;
            cell.style = a.value(QLatin1String("s")).toInt();
            cell.number = type.isEmpty() || type == u"n";
            // The value: <v> (a shared string's index when t="s") or an inline <is><t>.
            while (x.readNextStartElement()) {
                if (x.name() == u"v" || x.name() == u"is")
                    cell.text = x.readElementText(QXmlStreamReader::IncludeChildElements);
                else
                    x.skipCurrentElement();
            }
            if (type == u"s")
                cell.text = strings.value(cell.text.toInt());
            m_cells.insert(key(row, col), cell);
        }
    }
    return !x.hasError();
}

void XlsxProbe::readStyles(const QByteArray &xml)
{
    // The fonts and cell formats are the ones in <fonts> and <cellXfs>; the same elements
    // elsewhere (cell style formats, differential formats) do not count.
    QXmlStreamReader x(xml);
    QStringView section;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isEndElement() && x.name() == section)
            section = {};
        if (!x.isStartElement())
            continue;
        const QXmlStreamAttributes a = x.attributes();
        const QStringView name = x.name();
        if (section.isEmpty() && (name == u"fonts" || name == u"cellXfs")) {
            section = name == u"fonts" ? u"fonts" : u"cellXfs";
        } else if (section == u"fonts") {
            if (name == u"font")
                m_fonts.append(Font());
            else if (name == u"b" && !m_fonts.isEmpty())
                m_fonts.last().bold = a.value(QLatin1String("val")) != u"0" &&
                                      a.value(QLatin1String("val")) != u"false";
            else if (name == u"sz" && !m_fonts.isEmpty())
                m_fonts.last().size = a.value(QLatin1String("val")).toDouble();
            else if (name == u"name" && !m_fonts.isEmpty())
                m_fonts.last().name = a.value(QLatin1String("val")).toString();
        } else if (section == u"cellXfs") {
            if (name == u"xf")
                m_formats.append(Format{a.value(QLatin1String("fontId")).toInt(), QString()});
            else if (name == u"alignment" && !m_formats.isEmpty())
                m_formats.last().horizontal = a.value(QLatin1String("horizontal")).toString();
        }
    }
}

} // namespace fenpai::test
