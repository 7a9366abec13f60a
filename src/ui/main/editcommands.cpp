#include "ui/main/editcommands.h"

#include "grid/grid.h"
#include "grid/gridedits.h"
#include "grid/gridselection.h"
#include "jobs/documents/reportformat.h"
#include "jobs/documents/tabletools.h"
#include "ui/documents/documentwindow.h"
#include "ui/documents/filterdialog.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QUndoGroup>
#include <QUndoStack>

namespace fenpai {

namespace {

// A change that inserts, removes or moves rows or columns keeps the whole grid for undo.
const GridArea wholeGrid{};
// A change of sizes alone: the undo step keeps the columns and row heights, no cell.
const GridArea sizesOnly{0, 0, 0, 0};

} // namespace

EditCommands::EditCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
    , m_undo(new QUndoGroup(this))
{
    addUndoEntries();
    addCellCommands();
    addRowColumnCommands();
    addTableTools();

    connect(m_window.mdiArea(), &QMdiArea::subWindowActivated, this,
            &EditCommands::documentActivated);
    documentActivated();
}

void EditCommands::addUndoEntries()
{
    QMenu *edit = m_window.menu(QStringLiteral("mnuEdit"));
    if (!edit)
        return;
    QAction *first = edit->actions().value(0);
    QAction *undo = m_undo->createUndoAction(this, QStringLiteral("撤销"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    QAction *redo = m_undo->createRedoAction(this, QStringLiteral("重做"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    edit->insertAction(first, undo);
    edit->insertAction(first, redo);
    m_window.registerEntry(undo);
    m_window.registerEntry(redo);
    edit->insertSeparator(first);
    // The way back for hidden rows and columns, after the entries that hide them.
    if (QAction *hideCols = m_window.action(QStringLiteral("mnuHideCols"))) {
        const int at = int(edit->actions().indexOf(hideCols));
        QAction *next = edit->actions().value(at + 1);
        for (const auto &[name, caption] :
             {std::pair{"mnuShowRows", "显示行"}, std::pair{"mnuShowCols", "显示列"}})
            m_window.addEntry(edit, QString::fromLatin1(name), QString::fromUtf8(caption), next);
    }
}

void EditCommands::addCellCommands()
{
    add("mnuCopy", nullptr); // copied by the window; only enabled here
    add("mnuPaste", [](DocumentWindow &doc) { doc.paste(); });
    add("mnuMerge", [](DocumentWindow &doc) {
        doc.changeSelection(QStringLiteral("合并单元格"),
                            [](Grid &grid, const GridArea &area) { grid.mergeArea(area); });
    });
    add("mnuUnMerge", [](DocumentWindow &doc) {
        doc.changeSelection(QStringLiteral("取消合并单元格"),
                            [](Grid &grid, const GridArea &area) { grid.unmergeArea(area); });
    });
}

void EditCommands::addRowColumnCommands()
{
    auto structural = [this](const char *name, const QString &text, void (GridRange::*change)()) {
        add(name, [text, change](DocumentWindow &doc) {
            const GridArea area = doc.selection().area();
            doc.change(text, wholeGrid, [area, change](Grid &grid) {
                GridRange range(&grid, area);
                (range.*change)();
            });
        });
    };
    structural("mnuInsertRows", QStringLiteral("插入行"), &GridRange::insertRows);
    structural("mnuInsertCols", QStringLiteral("插入列"), &GridRange::insertCols);
    structural("mnuDeleteByRow", QStringLiteral("删除行"), &GridRange::deleteByRow);
    structural("mnuDeleteByCol", QStringLiteral("删除列"), &GridRange::deleteByCol);
    auto sizes = [this](const char *name, const QString &text,
                        void (*change)(Grid &, const GridArea &)) {
        add(name, [text, change](DocumentWindow &doc) {
            const GridArea area = doc.selection().area();
            doc.change(text, sizesOnly, [area, change](Grid &grid) { change(grid, area); });
        });
    };
    sizes("mnuHideRows", QStringLiteral("隐藏行"), &GridEdits::hideRows);
    sizes("mnuHideCols", QStringLiteral("隐藏列"), &GridEdits::hideCols);
    sizes("mnuShowRows", QStringLiteral("显示行"), &GridEdits::showRows);
    sizes("mnuShowCols", QStringLiteral("显示列"), &GridEdits::showCols);
}

void EditCommands::addTableTools()
{
    add("zdypm", [](DocumentWindow &doc) {
        const int col = doc.selection().activeCol();
        doc.change(QStringLiteral("排名"), wholeGrid,
                   [col](Grid &grid) { TableTools::rankColumn(grid, col); });
    });
    add("pm", [this](DocumentWindow &doc) {
        doc.grid().setAllowUserSort(true);
        m_window.message(QMessageBox::NoIcon, QString(),
                         QStringLiteral(" 请双击你要排序的列头排序，再次双击进行升序、降序转换"));
    });
    add("oldstor", [](DocumentWindow &doc) {
        doc.change(QStringLiteral("恢复原来顺序"), wholeGrid,
                   [](Grid &grid) { (void)TableTools::restoreOrder(grid); });
    });
    add("shaixwan", [this](DocumentWindow &doc) { showFilter(doc); });
}

FilterDialog *EditCommands::filterDialog() const
{
    return m_filter;
}

void EditCommands::add(const char *name, const std::function<void(DocumentWindow &)> &command)
{
    QAction *a = m_window.wire(QString::fromLatin1(name), this, [this, command] {
        DocumentWindow *doc = m_window.activeDocument();
        if (doc && command)
            command(*doc);
    });
    if (a)
        m_documentActions.append(a);
}

void EditCommands::documentActivated()
{
    DocumentWindow *doc = m_window.activeDocument();
    for (QAction *a : std::as_const(m_documentActions))
        a->setEnabled(doc != nullptr);
    if (doc) {
        m_undo->addStack(doc->undoStack());
        m_undo->setActiveStack(doc->undoStack());
    } else {
        m_undo->setActiveStack(nullptr);
    }
}

void EditCommands::showFilter(DocumentWindow &doc)
{
    // One dialog at a time, on the document that was active when it opened.
    if (m_filter)
        m_filter->close();
    if (!TableTools::filterColumns(doc.grid()).any()) {
        m_window.message(QMessageBox::Information, QStringLiteral("筛选"),
                         TableTools::noFilterColumnsMessage());
        return;
    }
    auto *dialog = new FilterDialog(doc.grid(), &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, &EditCommands::filterAccepted);
    m_filter = dialog;
    dialog->show();
}

void EditCommands::filterAccepted()
{
    if (!m_filter || !m_filter->source())
        return;
    const Grid &source = *m_filter->source();
    const QString title =
        TableTools::filterTitle(source, m_filter->school(), m_filter->className());
    m_window.state().setDocumentTitle(title);
    DocumentWindow *doc = m_window.openDocument();
    (void)TableTools::copyRows(source, m_filter->school(), m_filter->className(), doc->grid());
    doc->titleBox()->setText(title);
    ReportFormat::apply(doc->grid(), ReportFormat::Variant::Plain, title,
                        m_window.workspace().reportSubtitle());
}

} // namespace fenpai
