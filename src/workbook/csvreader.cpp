#include "workbook/csvreader.h"

#include "workbook/textencoding.h"
#include "workbook/workbookreader.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <vector>

namespace fenpai {

namespace {

// Splits the text into records of fields, RFC 4180 style. A line break inside quotes is kept as
// a line feed, whatever the file used.
class RecordParser
{
public:
    RecordParser(QStringView text, QChar delimiter)
        : m_text(text)
        , m_delimiter(delimiter)
    {}

    // The next record into `fields`; false at the end of the text.
    bool next(QStringList &fields)
    {
        fields.clear();
        if (m_pos >= m_text.size())
            return false;
        m_recordLine = m_line;
        QString field;
        bool inQuotes = false;
        bool quoted = false; // the field began with a quote
        for (;;) {
            if (m_pos >= m_text.size()) {
                m_openQuote = inQuotes;
                fields.append(field);
                return true;
            }
            const QChar c = m_text[m_pos++];
            if (inQuotes) {
                if (c == u'"') {
                    if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
                        field += c;
                        ++m_pos;
                    } else {
                        inQuotes = false;
                    }
                } else if (c == u'\r' || c == u'\n') {
                    skipLineFeedAfter(c);
                    field += u'\n';
                } else {
                    field += c;
                }
            } else if (c == m_delimiter) {
                fields.append(field);
                field.clear();
                quoted = false;
            } else if (c == u'\r' || c == u'\n') {
                skipLineFeedAfter(c);
                fields.append(field);
                return true;
            } else if (c == u'"' && field.isEmpty() && !quoted) {
                inQuotes = quoted = true;
            } else {
                field += c;
            }
        }
    }

    // The line of the file where the last record began (1-based).
    int recordLine() const { return m_recordLine; }
    // True when the last record ended inside quotes, at the end of the text.
    bool openQuote() const { return m_openQuote; }

private:
    void skipLineFeedAfter(QChar c)
    {
        if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
            ++m_pos;
        ++m_line;
    }

    QStringView m_text;
    QChar m_delimiter;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_recordLine = 1;
    bool m_openQuote = false;
};

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

QStringView trimmedView(const QString &text)
{
    return QStringView(text).trimmed();
}

// A plain decimal: "-12", "85.5", ".5". No exponent, no plus sign, no grouping: "1E3" and "+86"
// are more likely a class name or a telephone number than a number.
bool isPlainNumber(QStringView t)
{
    qsizetype i = !t.isEmpty() && t[0] == u'-' ? 1 : 0;
    qsizetype digits = 0;
    while (i < t.size() && isAsciiDigit(t[i])) {
        ++i;
        ++digits;
    }
    if (i < t.size() && t[i] == u'.') {
        ++i;
        while (i < t.size() && isAsciiDigit(t[i])) {
            ++i;
            ++digits;
        }
    }
    return digits > 0 && i == t.size();
}

// Digits that a number would change: a leading zero, or more than a double holds exactly.
bool isIdentifierLike(QStringView t)
{
    if (t.size() < 2)
        return false;
    for (QChar c : t) {
        if (!isAsciiDigit(c))
            return false;
    }
    return t[0] == u'0' || t.size() > 15;
}

// Turns the number-like texts below the header into numbers, column by column.
void convertNumbers(Sheet &sheet, int headerRow)
{
    std::vector<bool> identifier(static_cast<size_t>(sheet.columnCount()), false);
    for (int r = headerRow + 1; r < sheet.rowCount(); ++r) {
        for (const Sheet::Entry &e : sheet.entries(r)) {
            const auto c = static_cast<size_t>(e.column);
            if (!identifier[c] && isIdentifierLike(trimmedView(sheet.text(e.cell))))
                identifier[c] = true;
        }
    }
    for (int r = headerRow + 1; r < sheet.rowCount(); ++r) {
        // Setting a cell that holds a value already replaces it in place: the entries stay put.
        for (size_t k = 0; k < sheet.entries(r).size(); ++k) {
            const Sheet::Entry e = sheet.entries(r)[k];
            if (identifier[static_cast<size_t>(e.column)] || e.cell.kind != Sheet::Cell::Kind::Text)
                continue;
            const QStringView t = trimmedView(sheet.text(e.cell));
            if (isPlainNumber(t))
                (void)sheet.setNumber(r, e.column, t.toDouble()); // replaces a cell already counted
        }
    }
}

} // namespace

Result<Workbook> CsvReader::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Status::error(Status::Kind::Io, WorkbookReader::reasonCannotOpen());
    if (file.size() > maxFileBytes)
        return Status::error(Status::Kind::Refused,
                             WorkbookReader::reasonLimit(Sheet::Limit::TextBytes));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Status::error(Status::Kind::Io, WorkbookReader::reasonCannotOpen());
    return parse(bytes, QFileInfo(path).completeBaseName());
}

Result<Workbook> CsvReader::parse(const QByteArray &bytes, const QString &sheetName)
{
    Result<QString> text = TextEncoding::decode(bytes);
    if (!text)
        return text.status();
    return parseText(*text, sheetName);
}

Result<Workbook> CsvReader::parseText(const QString &text, const QString &sheetName)
{
    Workbook book;
    book.setFormat(Workbook::Format::Csv);
    Sheet *sheet = book.addSheet(sheetName, {});
    RecordParser parser(text, detectDelimiter(text));
    QStringList fields;
    int headerRow = -1;
    for (int row = 0; parser.next(fields); ++row) {
        if (parser.openQuote())
            return Status::error(Status::Kind::Io, reasonOpenQuote(parser.recordLine()));
        for (int c = 0; c < fields.size(); ++c) {
            if (fields[c].isEmpty())
                continue;
            if (!sheet->setText(row, c, fields[c]))
                return book; // the reader's caller refuses the sheet by its limit
            if (headerRow < 0)
                headerRow = row;
        }
    }
    if (headerRow >= 0)
        convertNumbers(*sheet, headerRow);
    return book;
}

QChar CsvReader::detectDelimiter(QStringView text)
{
    static constexpr size_t sampleLines = 20;
    static constexpr QChar candidates[] = {u',', u'\t', u';'};
    // Delimiters per non-empty line of the sample, outside quotes.
    std::vector<std::array<int, 3>> lines;
    std::array<int, 3> counts{};
    bool content = false;
    bool inQuotes = false;
    for (qsizetype i = 0; i <= text.size() && lines.size() < sampleLines; ++i) {
        const QChar c = i < text.size() ? text[i] : QChar(u'\n');
        if (c == u'"')
            inQuotes = !inQuotes;
        if (inQuotes || c == u'\r')
            continue;
        if (c == u'\n') {
            if (content)
                lines.push_back(counts);
            counts = {};
            content = false;
            continue;
        }
        content = content || !c.isSpace();
        for (size_t k = 0; k < counts.size(); ++k)
            counts[k] += c == candidates[k] ? 1 : 0;
    }
    size_t best = 0;
    int bestAgreeing = -1;
    int bestHeader = 0;
    for (size_t k = 0; k < counts.size() && !lines.empty(); ++k) {
        const int header = lines.front()[k];
        if (header == 0)
            continue;
        int agreeing = 0;
        for (const auto &line : lines)
            agreeing += line[k] == header ? 1 : 0;
        if (agreeing > bestAgreeing || (agreeing == bestAgreeing && header > bestHeader)) {
            best = k;
            bestAgreeing = agreeing;
            bestHeader = header;
        }
    }
    return candidates[best];
}

bool CsvReader::isTextFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("csv") || suffix == QLatin1String("txt");
}

QString CsvReader::reasonOpenQuote(int line)
{
    return QStringLiteral("第%1行开始的引号直到文件末尾都没有结束，文件可能已损坏。").arg(line);
}

} // namespace fenpai
