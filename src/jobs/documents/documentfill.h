#pragma once

#include "core/status.h"
#include "grid/gridcolumn.h"
#include "jobs/documents/documentsource.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// Fills a result document's grid from a table or saved query: a header row of field names, one
// row per record marked unchanged in column 0 (with its rowid when the source is a table, see
// DocumentWriteBack), numeric score columns masked, every column as wide as its
// widest value (up to maxColumnWidth), and one blank row at the end for new entries.
class DocumentFill final
{
public:
    struct Outcome
    {
        bool noRecords = false; // the source had no rows
        QString titleText;      // the title box: title + " [k]" or title + " [没有记录]"
        Status status;          // a source that could not be read ends the fill here
        DocumentSource source;  // set when the source is a table: its rows can be saved back
    };

    // Wide enough for a long school name; a longer text is elided, never a number.
    static constexpr int maxColumnWidth = 320;
    static constexpr int minColumnWidth = 40; // room to type a score into an empty column

    // The measure sizes the columns; without one the grid measures with the installed fonts.
    static Outcome fill(Grid &grid, Database &db, const QString &source, const QString &title,
                        const GridTextMeasure &measure = {});
    // Shows `sql` through the saved query `queryName` (replaced first), then puts the totals of
    // `totalsSql` into a row "合计" inserted under the header, from column `firstCol` on.
    static Outcome fillWithTotals(Grid &grid, Database &db, const QString &queryName,
                                  const QString &sql, const QString &totalsSql, int firstCol,
                                  const QString &title);
    // Fits every column to its content, up to maxColumnWidth.
    static void fitColumns(Grid &grid, const GridTextMeasure &measure = {});
};

} // namespace fenpai
