#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QString>
#include <QStringList>

namespace fenpai {

// Reads .xls workbooks (BIFF5 and BIFF8) through FreeXL. Integers and doubles become numbers,
// texts (already UTF-8, whatever the file's code page) texts, dates and times ISO texts.
class XlsReader final
{
public:
    // Fails with a Status (kind Io) whose message is one of WorkbookReader's reasons.
    static Result<Workbook> read(const QString &path, const QStringList &wanted);
};

} // namespace fenpai
