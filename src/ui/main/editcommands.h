#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QUndoGroup;

namespace fenpai {

class DocumentWindow;
class FilterDialog;
class MainWindow;

// The Edit menu on the active document: undo and redo, paste, merging, inserting, deleting,
// hiding and showing rows and columns, and the table tools (rank, header sorting, the order
// before, the filter). Each change is one step on the document's undo stack. The entries are
// enabled while a document is active. Owned by the window.
class EditCommands final : public QObject
{
    Q_OBJECT

public:
    explicit EditCommands(MainWindow &window);

    QUndoGroup *undoGroup() const { return m_undo; }
    FilterDialog *filterDialog() const;

private:
    // Undo and redo at the head of the Edit menu, showing rows and columns after hiding them.
    void addUndoEntries();
    // Copy, paste, merging and unmerging.
    void addCellCommands();
    // Inserting, deleting, hiding and showing rows and columns.
    void addRowColumnCommands();
    // Ranking, header sorting, the order before and the filter.
    void addTableTools();
    void documentActivated();
    void add(const char *name, const std::function<void(DocumentWindow &)> &command);
    void showFilter(DocumentWindow &doc);
    void filterAccepted();

    MainWindow &m_window;
    QUndoGroup *m_undo;
    QList<QAction *> m_documentActions;
    QPointer<FilterDialog> m_filter;
};

} // namespace fenpai
