#pragma once

#include "jobs/documents/reportformat.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAction;

namespace fenpai {

class DocumentWindow;
class MainWindow;

// The File menu's document commands: open and save grid files, save edits back to the
// database, export to Excel, HTML and PDF, page setup, preview and print. Each acts on the
// active document; the file dialogs start in the folder used last. Owned by the window.
class FileCommands final : public QObject
{
    Q_OBJECT

public:
    enum class FileKind
    {
        Grid,
        Excel,
        Html,
        Pdf
    };
    // Asks for a file to open (save false) or to write; empty when the user cancels.
    using FileChooser = std::function<QString(FileKind kind, bool save)>;
    // Edits the report titles; nothing when the user cancels.
    using TitleEditor =
        std::function<std::optional<ReportFormat::Subtitle>(const ReportFormat::Subtitle &)>;

    explicit FileCommands(MainWindow &window);

    // Tests answer instead of the file dialogs and the title dialog.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setTitleEditor(TitleEditor editor) { m_editTitles = std::move(editor); }

    // 工具 → 报表标题设置…: edits and saves the report titles; the open documents' title lines
    // follow. False when cancelled or not saved (the failure said).
    bool editReportTitles();

    void openFile();
    void save();
    // False when nothing was written (cancelled or failed, the failure said).
    bool saveAs();
    bool saveAs(DocumentWindow &doc);
    void exportTo(FileKind kind);
    void pageSetup();
    void preview();
    void print();

private:
    void documentActivated();
    QString chooseFile(FileKind kind, bool save);
    void failed(const QString &text);
    // Before the first print or export of a session of a document that prints the titles'
    // factory text: says so and offers the title dialog. Once a session.
    void offerTitlesOnce();

    MainWindow &m_window;
    FileChooser m_chooseFile;
    TitleEditor m_editTitles;
    QList<QAction *> m_documentActions;
    bool m_titlesOffered = false;
};

} // namespace fenpai
