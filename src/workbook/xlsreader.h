#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fenpai {

// Reads .xls workbooks: BIFF8 (a compound file's "Workbook" stream) and BIFF5 ("Book", texts in
// the workbook's code page), or a bare BIFF5/BIFF8 stream. Numbers become numbers, texts texts,
// booleans 1/0, error values empty cells, formulas their cached results, and numbers in a date
// or time format ISO texts (1900 or 1904 date system). Chart, macro and other substreams are
// skipped. Every length, offset, count and sector chain is checked against the bytes that are
// really there, so a damaged file is refused instead of being read past its end.
class XlsReader final
{
public:
    // Fails with a Status (kind Io) whose message is one of WorkbookReader's reasons.
    static Result<Workbook> read(const QString &path, const QStringList &wanted);
    // The same from the file's bytes.
    static Result<Workbook> readBytes(const QByteArray &file, const QStringList &wanted);
};

} // namespace fenpai
