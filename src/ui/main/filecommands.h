#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

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

    explicit FileCommands(MainWindow &window);

    // Tests answer instead of the file dialogs.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }

    void openFile();
    void save();
    // False when nothing was written (cancelled or failed, the failure said).
    bool saveAs();
    void exportTo(FileKind kind);
    void pageSetup();
    void preview();
    void print();

private:
    void documentActivated();
    QString chooseFile(FileKind kind, bool save);
    void failed(const QString &text);

    MainWindow &m_window;
    FileChooser m_chooseFile;
    QList<QAction *> m_documentActions;
};

} // namespace fenpai
