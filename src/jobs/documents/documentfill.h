#pragma once

#include "core/status.h"

#include <QString>

namespace fenpai {

class Database;
class Grid;

// Fills a result document's grid from a table or saved query: a header row of field names, one
// row per record tagged "U" in column 0, numeric score columns narrow and masked, and one blank
// row at the end for new entries.
class DocumentFill final
{
public:
    struct Outcome
    {
        bool noRecords = false; // the source had no rows
        QString titleText;      // the title box: title + " [k]" or title + " [没有记录]"
        Status status;          // a source that could not be read ends the fill here
    };

    static Outcome fill(Grid &grid, Database &db, const QString &source, const QString &title);
};

} // namespace fenpai
