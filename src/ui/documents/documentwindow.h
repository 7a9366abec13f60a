#pragma once

#include "core/status.h"
#include "jobs/documents/documentsource.h"
#include "jobs/documents/reportformat.h"

#include <QMessageBox>
#include <QWidget>

#include <functional>

class QLineEdit;

namespace fenpai {

class AppState;
class Workspace;
class Grid;
class GridView;

// frmDocument: a result document, the title box Text1 above the grid Grid1.
class DocumentWindow final : public QWidget
{
    Q_OBJECT

public:
    using MessageFunction =
        std::function<QMessageBox::StandardButton(QWidget *, QMessageBox::Icon, const QString &,
                                                  const QString &, QMessageBox::StandardButtons)>;

    DocumentWindow(AppState &state, Workspace &workspace, QWidget *parent = nullptr);
    ~DocumentWindow() override;

    Grid &grid() { return *m_grid; }
    GridView *gridView() const { return m_view; }
    QLineEdit *titleBox() const { return m_title; }
    void setMessageFunction(MessageFunction function) { m_message = std::move(function); }

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
    MessageFunction m_message;
    DocumentSource m_source;
};

} // namespace fenpai
