#pragma once

#include "core/result.h"
#include "workbook/workbook.h"

#include <QString>
#include <QStringList>

namespace fenpai {

// Reads a workbook file of any supported kind: .xls (BIFF8 and BIFF5 workbooks, BIFF2 to BIFF5
// single sheets), .xlsx and .ods, and delimited text (.csv, .txt) as a one-sheet workbook. The
// kind is found from the file's content, so a workbook with the wrong extension still reads; a
// file that is no workbook is read as text only when its name ends in .csv or .txt, and any other
// is refused with a clear message instead of being half read.
class WorkbookReader final
{
public:
    // Reads the sheets named in `sheets` (all when empty; names compare case-insensitively) and
    // lists the names of all others. On failure the Status (kind Io) says, in the user's words,
    // which file could not be read and why.
    static Result<Workbook> read(const QString &path, const QStringList &sheets = {});

    // The kind of workbook the file holds; Unknown when it is none (or cannot be opened).
    static Workbook::Format detect(const QString &path);

    // Why a file could not be read, for the readers' Status messages.
    static QString reasonMissing();
    static QString reasonCannotOpen();
    static QString reasonNotWorkbook();
    static QString reasonDamaged();
    static QString reasonEncrypted();
    static QString reasonPasswordProtected();
    static QString reasonXlsUnreadable();
    static QString reasonDirectory();
    // The refusal of a sheet that passed one of its limits.
    static QString reasonLimit(Sheet::Limit limit);
};

} // namespace fenpai
