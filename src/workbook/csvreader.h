#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QByteArray>
#include <QString>

namespace fenpai {

// Reads a text file of delimited values (.csv, .txt) as a workbook with one sheet, named after
// the file without its extension:
//  - the encoding is found by TextEncoding; bytes it cannot decode refuse the file;
//  - the delimiter is a comma, a tab or a semicolon, whichever splits the first lines into the
//    same number of fields most consistently;
//  - fields follow RFC 4180: a quoted field may hold delimiters, line breaks and doubled quotes;
//    a quote left open at the end of the file refuses it (it would swallow the rest);
//  - a field that is a plain decimal number becomes a number, except in an identifier column:
//    one where some value has a leading zero ("007") or more digits than a double keeps (an ID
//    card number), whose values all stay text so that nothing of them is lost;
//  - the first non-empty line is the header and always stays text.
// The sheet limits of the workbook readers apply (a file over maxFileBytes is refused at once).
class CsvReader final
{
public:
    static constexpr qint64 maxFileBytes = qint64(1) << 30;

    static Result<Workbook> read(const QString &path);
    // The same for bytes already read; `sheetName` names the one sheet.
    static Result<Workbook> parse(const QByteArray &bytes, const QString &sheetName);
    // The same for decoded text.
    static Result<Workbook> parseText(const QString &text, const QString &sheetName);

    // The delimiter the first lines of the text suggest: ',', '\t' or ';'.
    static QChar detectDelimiter(QStringView text);
    // True for the extensions read as delimited text.
    static bool isTextFile(const QString &path);

    static QString reasonOpenQuote(int line);
};

} // namespace fenpai
