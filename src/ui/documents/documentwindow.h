#pragma once

#include "core/result.h"
#include "core/status.h"
#include "grid/gridarea.h"
#include "jobs/documents/documentsource.h"
#include "jobs/documents/reportformat.h"
#include "jobs/reports/reportdocument.h"
#include "ui/common/messagesink.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class QFrame;
class QLineEdit;
class QUndoStack;

namespace fenpai {

class AppState;
class Workspace;
class Grid;
class GridSelection;
class GridView;

// frmDocument: a result document, the title box Text1 above the grid Grid1. Its caption is its
// title, with "*" while it holds unsaved edits and "（已过期）" once the data it was made from
// changed; a document that knows how it was made (its recipe) can be made again in place.
class DocumentWindow final : public QWidget
{
    Q_OBJECT

public:
    // How a document was made: the tables it reads and the build that fills a fresh grid (and
    // the source of a table's rows). A document without one is not made again.
    struct Recipe
    {
        QStringList tables;
        std::function<Result<ReportDocument>(Grid &grid, DocumentSource &source)> build;
    };
    // Saves a document other than a table's rows as a grid file; false when nothing was saved.
    using SaveAsFunction = std::function<bool(DocumentWindow &)>;

    DocumentWindow(AppState &state, Workspace &workspace, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    Grid &grid() { return *m_grid; }
    GridView *gridView() const { return m_view; }
    QLineEdit *titleBox() const { return m_title; }
    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }
    void setSaveAsFunction(SaveAsFunction function) { m_saveAs = std::move(function); }

    // The title without the caption's marks; setWindowTitle() sets it.
    const QString &title() const { return m_baseTitle; }
    // Edits since the document was made, opened or saved: undo steps, or a changed page setup.
    bool isModified() const;
    void markSaved();
    // A change that is no undo step (the page setup).
    void markModified();
    // The user set the page up: a refill keeps the setup.
    void notePageSetupChanged();

    void setRecipe(Recipe recipe);
    bool canRefill() const { return bool(m_recipe.build); }
    bool readsAny(const QStringList &tables) const;
    bool isStale() const { return m_stale; }
    // The data it was made from changed: the caption and a bar say so.
    void markStale();
    // Makes the document again from its recipe; the undo steps go, a page setup the user chose
    // stays. On failure the document is as it was.
    [[nodiscard]] Status refill();
    // 刷新: asks first when edits would be lost, says why a refill failed. False when nothing
    // was refilled.
    bool refresh();

    // The title edit: the print titles follow the title box's text.
    void retitle();

    // The examinee table's look: every column shown as text, centred.
    void showAllColumnsCentredAsText();
    static void centreAllColumnsAsText(Grid &grid);
    void copySelection();
    void focusGrid();
    void setSelectionFontName(const QString &name);
    void setSelectionFontSize(double points);

    // The table the document was filled from; its edits are saved back there (保存). A document
    // without one (a report, a file) cannot be saved back.
    void setSource(const DocumentSource &source) { m_source = source; }
    const DocumentSource &source() const { return m_source; }
    bool hasUnsavedRecords() const;
    [[nodiscard]] Status saveRecords();
    // Every change of the document is one step here; reading a new grid in empties it.
    QUndoStack *undoStack() const { return m_undo; }
    GridSelection &selection() const;
    // Makes the change one undo step named `text`. `cells` are the cells it writes; an empty
    // area when it inserts, removes or moves rows or columns (see GridUndoCommand).
    void change(const QString &text, const GridArea &cells,
                const std::function<void(Grid &)> &change);
    // The same on the selected cells: the change gets the selected area.
    void changeSelection(const QString &text, const std::function<void(Grid &, GridArea)> &change);
    // The clipboard pasted at the selection's top-left cell (our copy with its formats, text
    // from other programs split at tabs and line breaks); cut copies and then empties the
    // selected cells.
    void paste();
    void cut();

signals:
    void selectionSumChanged(const QString &text);
    // The rows went back to their table: documents reading it are out of date.
    void recordsSaved(const QString &table);
    // The out-of-date bar's button.
    void refreshRequested();
    // The document can now be made again, or no longer.
    void recipeChanged();
    // Ctrl+C in the grid: the main window's Copy command does the copying.
    void copyRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Unsaved edits: 保存 / 不保存 / 取消. A table's rows go back to the table; any other edits
    // are offered 另存为.
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildStaleBar();
    void updateSelectionSum();
    void updateCaption();
    bool askToSave();

    AppState &m_state;
    Workspace &m_workspace;
    Grid *m_grid;
    QLineEdit *m_title;
    GridView *m_view;
    QUndoStack *m_undo;
    MessageSink::Function m_message = &MessageSink::show;
    SaveAsFunction m_saveAs;
    DocumentSource m_source;
    Recipe m_recipe;
    QFrame *m_staleBar;
    QString m_baseTitle;
    bool m_captioning = false;
    bool m_modifiedOutsideUndo = false;
    bool m_userPageSetup = false;
    bool m_stale = false;
};

} // namespace fenpai
