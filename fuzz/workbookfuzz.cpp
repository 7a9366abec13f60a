#include "workbookfuzz.h"

#include "workbook/csvreader.h"
#include "workbook/odsreader.h"
#include "workbook/sheettable.h"
#include "workbook/xlsxreader.h"

#include <QDir>
#include <QFile>

#include <zip.h>

#include <unistd.h>

#include <utility>
#include <vector>

namespace fenpai::fuzz {

namespace {

using Parts = std::vector<std::pair<const char *, QByteArray>>;

QString inputPath()
{
    return QDir::tempPath() + QStringLiteral("/fenpai-fuzz-%1.bin").arg(::getpid());
}

QString writeInput(const std::uint8_t *data, std::size_t size, const Parts &fixedParts,
                   const std::vector<const char *> &fuzzedParts)
{
    const QString path = inputPath();
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (bytes.startsWith("PK")) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
        return path;
    }
    std::vector<QByteArray> parts(fuzzedParts.size());
    size_t current = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        if (line == "----") {
            current = std::min(current + 1, parts.size() - 1);
            continue;
        }
        parts[current] += line + '\n';
    }
    int error = 0;
    zip *z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return path;
    auto add = [z](const char *name, const QByteArray &content) {
        zip_source_t *source =
            zip_source_buffer(z, content.constData(), static_cast<zip_uint64_t>(content.size()), 0);
        const zip_int64_t index = zip_file_add(z, name, source, ZIP_FL_OVERWRITE);
        if (index >= 0)
            zip_set_file_compression(z, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        else
            zip_source_free(source);
    };
    for (const auto &[name, content] : fixedParts)
        add(name, content);
    for (size_t i = 0; i < fuzzedParts.size(); ++i)
        add(fuzzedParts[i], parts[i]);
    zip_close(z);
    return path;
}

void walk(const Result<Workbook> &book)
{
    if (!book)
        return;
    for (const QString &name : book->sheetNames()) {
        const Sheet *sheet = book->sheet(name);
        if (!sheet)
            continue;
        const SheetTable table(*sheet);
        volatile qsizetype sink = 0;
        for (int r = 0; r < table.rowCount(); ++r) {
            for (int c = 0; c < static_cast<int>(table.columns().size()); ++c)
                sink = sink + table.value(r, c).toString().size();
        }
    }
}

} // namespace

void readXlsx(const std::uint8_t *data, std::size_t size)
{
    static const Parts package = {
        {"[Content_Types].xml", "<Types/>"},
        {"_rels/.rels", R"(<Relationships><Relationship Id="r1" Type="x/officeDocument" )"
                        R"(Target="xl/workbook.xml"/></Relationships>)"},
        {"xl/workbook.xml", R"(<workbook xmlns:r="r"><workbookPr date1904="0"/><sheets>)"
                            R"(<sheet name="Sheet1" r:id="r1"/></sheets></workbook>)"},
        {"xl/_rels/workbook.xml.rels",
         R"(<Relationships><Relationship Id="r1" Type="x/worksheet" )"
         R"(Target="worksheets/sheet1.xml"/><Relationship Id="r2" Type="x/sharedStrings" )"
         R"(Target="sharedStrings.xml"/><Relationship Id="r3" Type="x/styles" )"
         R"(Target="styles.xml"/></Relationships>)"},
    };
    const QString path = writeInput(
        data, size, package, {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/styles.xml"});
    walk(XlsxReader::read(path, {}));
}

void readOds(const std::uint8_t *data, std::size_t size)
{
    static const Parts package = {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}};
    walk(OdsReader::read(writeInput(data, size, package, {"content.xml"}), {}));
}

void readCsv(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    walk(CsvReader::parse(bytes, QStringLiteral("fuzz")));
}

} // namespace fenpai::fuzz
