#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QString>
#include <QStringList>

namespace fenpai {

// Reads OpenDocument spreadsheets (.ods): content.xml streamed out of the zip. Numbers
// (percentages and currencies too), texts (paragraphs joined by line breaks, encoded spaces
// kept, notes left out), booleans (1/0), dates and times (ISO texts); a formula cell gives its
// stored result. liborcus 0.17's import interface was tried first: it garbles date cells, drops
// booleans and loses encoded spaces.
class OdsReader final
{
public:
    // Fails with a Status (kind Io) whose message is one of WorkbookReader's reasons.
    static Result<Workbook> read(const QString &path, const QStringList &wanted);
};

} // namespace fenpai
