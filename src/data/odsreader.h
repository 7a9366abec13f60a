#pragma once

#include "result.h"
#include "workbook.h"

#include <QString>
#include <QStringList>

namespace fenpai {

// Reads OpenDocument spreadsheets (.ods) through liborcus, taking the cells straight from its
// import interface (no document model in between). Numbers, texts, booleans (1/0), dates (ISO
// texts) and the cached results of formulas.
class OdsReader final
{
public:
    // Fails with a Status (kind Io) whose message is one of WorkbookReader's reasons.
    static Result<Workbook> read(const QString &path, const QStringList &wanted);
};

} // namespace fenpai
