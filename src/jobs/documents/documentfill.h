#pragma once

#include "core/status.h"
#include "grid/gridcolumn.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// Fills a result document's grid from a table or saved query: a header row of field names, one
// row per record tagged "U" in column 0, numeric score columns masked, every column as wide as its
// widest value (up to maxColumnWidth), and one blank row at the end for new entries.
class DocumentFill final
{
public:
    struct Outcome
    {
        bool noRecords = false; // the source had no rows
        QString titleText;      // the title box: title + " [k]" or title + " [没有记录]"
        Status status;          // a source that could not be read ends the fill here
    };

    // Wide enough for a long school name; a longer text is elided, never a number.
    static constexpr int maxColumnWidth = 320;
    static constexpr int minColumnWidth = 40; // room to type a score into an empty column

    // The measure sizes the columns; without one the grid measures with the installed fonts.
    static Outcome fill(Grid &grid, Database &db, const QString &source, const QString &title,
                        const GridTextMeasure &measure = {});
    // Fits every column to its content, up to maxColumnWidth.
    static void fitColumns(Grid &grid, const GridTextMeasure &measure = {});
};

} // namespace fenpai
