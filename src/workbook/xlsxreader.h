#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QString>
#include <QStringList>

namespace fenpai {

// Reads .xlsx workbooks: a zip of XML parts, each streamed out of the archive so a large sheet
// never sits in memory as text. The worksheets, the large parts, go through XmlScanner; the small
// ones through QXmlStreamReader. Handles shared strings, inline strings (t="inlineStr"), formula
// texts (t="str"), numbers, booleans (as 1/0), cached formula results and numbers in a date format
// (as ISO date texts), and both the 1900 and the 1904 date systems.
class XlsxReader final
{
public:
    // Fails with a Status (kind Io) whose message is one of WorkbookReader's reasons.
    static Result<Workbook> read(const QString &path, const QStringList &wanted);

    // Decodes the _xHHHH_ escapes with which the format stores control characters in texts.
    static QString decodeEscapes(const QString &text);

    // True when a number format code shows a date or a time (y, m, d, h, s outside quotes,
    // escapes and [colour] sections).
    static bool isDateFormat(const QString &code);
};

} // namespace fenpai
