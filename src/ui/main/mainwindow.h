#pragma once

#include "jobs/workspace.h"
#include "ui/common/appstate.h"
#include "ui/common/messagesink.h"
#include "ui/documents/documentwindow.h"

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <functional>

class QComboBox;
class QLabel;
class QMdiArea;
class QMenu;
class QSettings;
class QToolBar;

namespace fenpai {

class CommandBar;
class DataChanges;
class DocumentWindow;
class DynamicMenu;
class Grid;
class ImportMenu;
class StartPage;

// The main window: the menu tree, the two toolbars, the status bar, the documents and the login
// state.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    struct Options
    {
        QString dataDirectory; // where suju/sujuf.mdb lives
        QString programDir;    // the program's folder; the manual is found from it (ProgramFiles)
        QString settingsFile;  // an ini file; empty = the user's settings store
    };

    explicit MainWindow(const Options &options, QWidget *parent = nullptr);
    ~MainWindow() override;

    AppState &state() { return m_state; }
    Workspace &workspace() { return m_workspace; }
    // A message box through the message function, with only an OK button.
    void message(QMessageBox::Icon icon, const QString &title, const QString &text)
    {
        m_message(this, icon, title, text, QMessageBox::Ok);
    }
    // A message box with a choice of buttons; the button chosen.
    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString &title,
                                    const QString &text, QMessageBox::StandardButtons buttons)
    {
        return m_message(this, icon, title, text, buttons);
    }
    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }
    const MessageSink::Function &messageFunction() const { return m_message; }
    // Asks for a workbook to import; tests answer instead of a file dialog.
    void setFileChooser(std::function<QString()> chooser) { m_chooseFile = std::move(chooser); }
    const std::function<QString()> &fileChooser() const { return m_chooseFile; }
    // Where jobs say which tables they changed.
    DataChanges &dataChanges() { return *m_changes; }

    // Menu entries and toolbar parts by their object names.
    QAction *action(const QString &objectName) const { return m_actions.value(objectName); }
    // A new entry of `menu` (before `before`, else at the end), disabled until wired.
    QAction *addEntry(QMenu *menu, const QString &objectName, const QString &caption,
                      QAction *before = nullptr);
    // Lists an entry made elsewhere (the undo group's) under its object name.
    void registerEntry(QAction *entry) { m_actions.insert(entry->objectName(), entry); }
    // Enables the menu entry `objectName` and runs `command` when it is chosen, for as long as
    // `context` lives. A name the menus lack is a slip in the code: it is reported on the log
    // and the command left out, so the window still starts.
    QAction *wire(const QString &objectName, QObject *context, std::function<void()> command);
    QMenu *menu(const QString &objectName) const { return m_menus.value(objectName); }
    DynamicMenu *dynamicMenu(const QString &name) const { return m_dynamic.value(name); }
    QComboBox *fontNameBox() const { return m_fontName; }
    QComboBox *fontSizeBox() const { return m_fontSize; }
    QMdiArea *mdiArea() const { return m_mdi; }
    // The user's settings store: window placement and the dialogs' remembered choices.
    QSettings *settings() const { return m_settings; }
    const QString &programDir() const { return m_programDir; }
    ImportMenu &importMenu() const { return *m_importMenu; }
    // What the workspace shows while no document is open.
    StartPage *startPage() const { return m_startPage; }

    // Where the window opens when no placement is saved: 85% of the screen's free area, centred.
    static QRect firstStartGeometry(const QRect &available);

    // The login gate: true when logged in; otherwise shows the gate message and returns false.
    bool passGate(bool shortText = false);

    // Opens a new, empty result document; it becomes the active one.
    DocumentWindow *openDocument();
    DocumentWindow *activeDocument() const;
    // Opens a document titled `title` and fills it from a table or saved query. Returns the
    // document (also when the source has no rows); nullptr, after saying why, when the source
    // cannot be read.
    DocumentWindow *showSource(const QString &title, const QString &source,
                               const std::function<void(Grid &)> &look = {});
    // Builds a document with `build` before showing it: the document it built, titled as the
    // build says, `prepare`d before it shows; nullptr, after saying why, when the build failed
    // (no window is left behind).
    DocumentWindow *openBuilt(const std::function<Result<ReportDocument>(Grid &)> &build,
                              const std::function<void(DocumentWindow &)> &prepare = {});
    // The same with a recipe the document keeps, so that it can be made again (刷新) when a job
    // changes the tables it reads.
    DocumentWindow *openRecipe(const DocumentWindow::Recipe &recipe);
    // How documents other than a table's rows are saved when closing asks (另存为).
    void setDocumentSaver(DocumentWindow::SaveAsFunction saver) { m_saveAs = std::move(saver); }

    // 混排检测 and 手工调整.
    void showMixingCheck();
    void showExamSwapDialog();

    // The menu builders.
    void rebuildDynamicMenu(const QString &name, const QStringList &captions);
    void rebuildNewClassMenu();
    void rebuildRoomAndClassMenus();
    void rebuildSchoolMenu();

    // The command toolbar: a button number runs the handler of its menu entry.
    void toolbarClicked(int button);

    void setStatusText(int panel, const QString &text);
    QString statusText(int panel) const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    DocumentWindow *createDocument();
    DocumentWindow *presentDocument(DocumentWindow *doc);
    void restorePlacement();
    void savePlacement();
    void buildMenus();
    // One per menu of the menu bar, left to right.
    void buildFileMenu();
    void buildDivisionMenu();
    void buildExamMenu();
    void buildEditMenu();
    void buildFormatMenu();
    void buildViewMenu();
    void buildToolsMenu();
    void buildWindowMenu();
    void buildHelpMenu();
    void buildToolbars();
    void wireCommands();
    QAction *addEntry(QMenu *menu, const char *objectName, const QString &caption);
    QAction *wire(const char *objectName, std::function<void()> command);
    QMenu *addSubmenu(QMenu *parent, const char *objectName, const QString &caption);
    void addDynamicMenu(QMenu *menu, const char *name, const QString &firstCaption);
    void showLogin();
    void showPasswordDialog();
    void showHelp();
    void showHelpWindow();
    void showAbout();
    void fillWindowList();
    void repairSystemTables();
    void applyFontName(const QString &name);
    void applyFontSize(const QString &size);
    void runDocumentCommand(const QString &objectName);
    void showDivisionDialog();
    void showArrangementDialog();

    Workspace m_workspace;
    AppState m_state;
    DataChanges *m_changes;
    QString m_programDir;
    QSettings *m_settings;
    QMdiArea *m_mdi;
    ImportMenu *m_importMenu = nullptr;
    StartPage *m_startPage = nullptr;
    QToolBar *m_standardBar = nullptr;
    CommandBar *m_commandBar = nullptr;
    QComboBox *m_fontName = nullptr;
    QComboBox *m_fontSize = nullptr;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_actions;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, DynamicMenu *> m_dynamic;
    QAction *m_windowListSeparator = nullptr;
    QList<QAction *> m_windowListActions;
    QWidget *m_loginDialog = nullptr;
    QPointer<QWidget> m_divisionDialog;
    QPointer<QWidget> m_arrangementDialog;
    QPointer<QWidget> m_swapDialog;
    std::function<QString()> m_chooseFile;
    int m_documentsOpened = 0;
    MessageSink::Function m_message = &MessageSink::show;
    DocumentWindow::SaveAsFunction m_saveAs;
};

} // namespace fenpai
