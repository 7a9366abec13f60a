#pragma once

#include "core/result.h"
#include "jobs/import/columnmatching.h"
#include "jobs/import/importfields.h"
#include "jobs/import/importreport.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace fenpai {

class Database;
class SheetTable;
class Workbook;

// What to import: the kind, the files, and the user's answers so far.
struct ImportRequest
{
    ImportKind kind = ImportKind::Division;
    QStringList files;               // one file for all tables, or one file per table
    QStringList sheets;              // per table, the sheet to take; empty: the usual choice
    QHash<QString, QString> columns; // field → header; an empty header adds the field empty
};

// An import read and matched but not yet written. Reading decides, per table, which sheet it
// comes from (the one requested; else the usual "Sheet1"/"Sheet2"; else a file's only sheet)
// and which columns give its fields (ColumnMatching). What it cannot decide is left open for the
// window to ask and the command line to refuse; write() then replaces the tables all at once.
class PreparedImport final
{
public:
    enum class SheetFrom
    {
        None,      // not decided: see sheetProblem
        Usual,     // the sheet of the usual name
        Only,      // the file's one sheet (a text file's, or a workbook without the usual name)
        Requested, // named by the user
    };
    struct SheetInfo
    {
        QString name;
        int rows = -1; // data rows; -1 when the sheet was not read
    };
    struct Table
    {
        QString table;
        QString file;
        QString usualSheet;
        QString sheet;         // empty while undecided
        bool textFile = false; // a .csv or .txt file, whose one sheet is the file
        SheetFrom from = SheetFrom::None;
        QString sheetProblem;          // why no sheet was taken
        bool wantsFile = false;        // its file's one sheet went to the table before it
        std::vector<SheetInfo> sheets; // every sheet of its file
        std::vector<ImportField> fields;
        QStringList headers; // the sheet's columns
        std::vector<FieldMatch> matches;
        QHash<QString, QString> chosen; // the columns the user named
        QString columnProblem;          // a named column that the sheet lacks
    };

    PreparedImport();
    PreparedImport(PreparedImport &&) noexcept;
    PreparedImport &operator=(PreparedImport &&) noexcept;
    ~PreparedImport();

    // Reads the files. Fails only when a file cannot be read, a sheet taken is empty, or the
    // request itself is wrong (file count, unknown fields); undecided sheets and fields are not
    // failures here (see refusal()).
    [[nodiscard]] static Result<PreparedImport> read(const ImportRequest &request);

    ImportKind kind() const { return m_kind; }
    const std::vector<Table> &tables() const { return m_tables; }
    // The tables write() replaces, in order.
    QStringList tableNames() const;

    // The window's answers: a sheet for a table, and the columns for its fields (field →
    // header, an empty header for an empty column). A sheet that is missing or empty is refused.
    [[nodiscard]] Status chooseSheet(size_t table, const QString &sheet);
    void chooseColumns(size_t table, const QHash<QString, QString> &columns);

    // Ok when every table has its sheet and every field a column (or an empty one); else the
    // first thing missing: a sheet (kind InvalidObjectName), a named column or fields (kind
    // MissingColumn).
    [[nodiscard]] Status refusal() const;
    bool isComplete() const { return refusal().isOk(); }
    // True when a person should look at the columns before the import: a field is matched by a
    // synonym only, or not at all.
    bool needsReview() const;
    QStringList missingFields(size_t table) const;

    // The first rows of a table's sheet, for the mapping step's preview.
    int rowCount(size_t table) const;
    QVariant value(size_t table, int row, int column) const;

    // Replaces the tables inside one transaction: all are written, or none changes.
    [[nodiscard]] Result<ImportReport> write(Database &db) const;

private:
    struct Placement
    {
        QString name; // empty: undecided
        SheetFrom from = SheetFrom::None;
    };
    // Decides the sheet of each of `tables` (all from one file); true when every sheet taken is
    // loaded and none waits for a choice.
    bool placeSheets(const Workbook &book, const std::vector<size_t> &tables,
                     const ImportRequest &request, std::vector<Placement> &placed);
    [[nodiscard]] Status readFile(const QString &file, const std::vector<size_t> &tables,
                                  const ImportRequest &request);
    [[nodiscard]] Status takeSheet(size_t table, const QString &sheet, SheetFrom from);
    void match(size_t table);
    QString sheetNote(size_t table) const;

    ImportKind m_kind = ImportKind::Division;
    std::vector<Table> m_tables;
    std::vector<std::shared_ptr<const Workbook>> m_books; // per table; shared within a file
    std::vector<std::unique_ptr<SheetTable>> m_data;      // per table; null while undecided
};

} // namespace fenpai
