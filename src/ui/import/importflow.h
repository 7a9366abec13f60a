#pragma once

#include "jobs/import/importfields.h"
#include "jobs/import/importreport.h"
#include "jobs/import/preparedimport.h"
#include "ui/common/messagesink.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace fenpai {

class Workspace;

// The window's import: asks for the file, reads it, asks for a second file when the first has
// no sheet left for the second table, for the sheet when a workbook has several and none of the
// usual name (SheetChoiceDialog), for the columns when a field was found by another name or not
// at all (ColumnMappingDialog), and whether to go on when the tables replaced hold a division or
// an arrangement; then writes all tables at once and says what it did. The
// reading and the writing run on their own thread while the window keeps painting.
class ImportFlow final
{
public:
    // Asks for a file to open; the caption says which. Empty when the user cancels.
    using FileChooser = std::function<QString(const QString &caption)>;

    ImportFlow(QWidget *parent, Workspace &workspace, MessageSink::Function message,
               FileChooser chooseFile);

    // The report of what was imported; nothing when the user cancelled or the import failed
    // (the failure has been shown, and the tables are as they were).
    std::optional<ImportReport> run(ImportKind kind);

private:
    std::optional<PreparedImport> prepare(ImportRequest &request);
    bool askSheets(PreparedImport &prepared);
    bool askColumns(PreparedImport &prepared);
    // Asks before tables holding a division or an arrangement are replaced; false on No.
    bool confirmReplacing(const PreparedImport &prepared);
    void fail(const QString &text);
    void tell(const ImportReport &report);

    QWidget *m_parent;
    Workspace &m_workspace;
    MessageSink::Function m_message;
    FileChooser m_chooseFile;
};

} // namespace fenpai
