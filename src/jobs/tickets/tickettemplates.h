#pragma once

#include "core/status.h"
#include "jobs/tickets/ticketsettings.h"

#include <QString>

namespace fenpai {

class Grid;

// The two ticket templates: grid files in the folder zkzmb, a working file the user edits
// (zkz2.cel, zkz3.cel) and its factory copy (copzkz2.cel, copzkz3.cel). The working files live
// below the data directory, where the user may write; a factory copy is looked for beside them,
// then among the program's files (ProgramFiles::resourceDir), and is built here when neither has
// one.
//
// One ticket block is rows 1..11 × columns 1..15: field rows 4..9 with their values in columns
// 4 and 11, the capital digits in column 8 rows 4..7, photo areas rows 3..8 of columns 6 and 13,
// the cutting line in row 11; the factory templates put the field "二维码" (the examinee's QR code)
// in rows 1..2 of column 6.
class TicketTemplates final
{
public:
    using Layout = TicketSettings::Layout;

    TicketTemplates(const QString &dataDir, const QString &programDir)
        : m_dataDir(dataDir)
        , m_programDir(programDir)
    {}

    static QString workingName(Layout layout); // zkz2.cel, zkz3.cel
    static QString factoryName(Layout layout); // copzkz2.cel, copzkz3.cel
    QString workingPath(Layout layout) const;

    // Loads the working template; a missing one is first restored from its factory copy.
    [[nodiscard]] Status load(Grid &grid, Layout layout) const;
    // Replaces the working template by its factory copy and loads it.
    [[nodiscard]] Status restore(Grid &grid, Layout layout) const;

    // Builds a factory template through the Grid API: the rows of one block fill a page of A4
    // landscape with the layout's 2 or 3 tickets.
    static void build(Grid &grid, Layout layout);

private:
    [[nodiscard]] Status restoreFile(Layout layout) const;

    QString m_dataDir;
    QString m_programDir;
};

} // namespace fenpai
