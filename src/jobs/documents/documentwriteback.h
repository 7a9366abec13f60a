#pragma once

#include "core/status.h"
#include "jobs/documents/documentsource.h"

#include <QChar>
#include <QString>

#include <optional>

namespace fenpai {

class Database;
class Grid;
struct GridArea;

// Writes a document's edited rows back to the table it was filled from.
//
// Each data row carries its state and its table rowid in the tag of its column-0 cell: "U17"
// unchanged, "E17" edited, "N" new (no rowid yet). Rows the document no longer holds (deleted,
// or cleared with their marks) are deleted from the table. Grid columns are matched to the
// table's fields by their header text; other columns (a ranking) are the document's own.
class DocumentWriteBack final
{
public:
    static constexpr QChar kUnchanged = u'U';
    static constexpr QChar kEdited = u'E';
    static constexpr QChar kNew = u'N';

    static QString mark(QChar state, std::optional<qint64> rowid = std::nullopt);
    // The state letter of a row, or a null QChar when it has no mark.
    static QChar state(const Grid &grid, int row);
    static std::optional<qint64> rowid(const Grid &grid, int row);

    // Follows a change of the grid: a table row in the area is edited while its texts differ
    // from the values loaded (so formats and an undone edit leave it unchanged), a row typed into
    // that had no mark becomes new, and a new blank row follows when the last row got text.
    // Row moves and whole-grid changes mark nothing.
    static void noteChange(Grid &grid, const DocumentSource &source, const GridArea &area);

    // True when saving would change the table: an edited or new row, or a row gone.
    static bool hasChanges(const Grid &grid, const DocumentSource &source);

    // Writes the deletions, new rows and edited rows in one transaction, all or none, then marks
    // every row unchanged and updates the source's rowids. Text in a numeric field is refused,
    // naming the cell, before anything is written; a failure leaves table and marks as they were.
    [[nodiscard]] static Status save(Database &db, Grid &grid, DocumentSource &source);

    // What a document not filled from a table says when asked to save.
    static QString notSavableText();
};

} // namespace fenpai
