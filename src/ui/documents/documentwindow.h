#pragma once

#include "core/status.h"
#include "grid/gridarea.h"
#include "jobs/documents/documentsource.h"
#include "jobs/documents/reportformat.h"
#include "ui/common/messagesink.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class QLineEdit;
class QUndoStack;

namespace fenpai {

class AppState;
class Workspace;
class Grid;
class GridSelection;
class GridView;

// frmDocument: a result document, the title box Text1 above the grid Grid1.
class DocumentWindow final : public QWidget
{
    Q_OBJECT

public:
    DocumentWindow(AppState &state, Workspace &workspace, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    Grid &grid() { return *m_grid; }
    GridView *gridView() const { return m_view; }
    QLineEdit *titleBox() const { return m_title; }
    void setMessageFunction(MessageSink::Function function) { m_message = std::move(function); }

    // The title edit: the print titles follow the title box's text.
    void retitle();

    // The examinee table's look: every column shown as text, centred.
    void showAllColumnsCentredAsText();
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
    // Ctrl+C in the grid: the main window's Copy command does the copying.
    void copyRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Unsaved edits of a table's rows: 保存 / 不保存 / 取消.
    void closeEvent(QCloseEvent *event) override;

private:
    void updateSelectionSum();

    AppState &m_state;
    Workspace &m_workspace;
    Grid *m_grid;
    QLineEdit *m_title;
    GridView *m_view;
    QUndoStack *m_undo;
    MessageSink::Function m_message = &MessageSink::show;
    DocumentSource m_source;
};

} // namespace fenpai
