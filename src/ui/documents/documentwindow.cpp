#include "ui/documents/documentwindow.h"

#include "grid/grid.h"
#include "grid/gridundocommand.h"
#include "grid/tabtext.h"
#include "jobs/documents/documentwriteback.h"
#include "jobs/documents/selectionsum.h"
#include "jobs/workspace.h"
#include "ui/common/appstate.h"
#include "ui/grid/gridclipboard.h"
#include "ui/grid/gridview.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace fenpai {

DocumentWindow::DocumentWindow(AppState &state, Workspace &workspace, QWidget *parent)
    : QWidget(parent)
    , m_state(state)
    , m_workspace(workspace)
    , m_grid(new Grid(this))
    , m_title(new QLineEdit(this))
    , m_view(new GridView(m_grid, this))
    , m_undo(new QUndoStack(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_title->setObjectName(QStringLiteral("Text1"));
    m_view->setObjectName(QStringLiteral("Grid1"));
    // 100 twips left and right, the title box above the grid (15 twips = 1 pixel).
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 3, 7, 2);
    layout->setSpacing(3);
    layout->addWidget(m_title);
    layout->addWidget(m_view, 1);
    m_title->installEventFilter(this);
    connect(&m_view->selection(), &GridSelection::selectionChanged, this,
            &DocumentWindow::updateSelectionSum);
    connect(m_view, &GridView::keyPressed, this,
            [this](int key, Qt::KeyboardModifiers modifiers, bool *handled) {
                if (!(modifiers & Qt::ControlModifier))
                    return;
                if (key == Qt::Key_C) {
                    *handled = true;
                    emit copyRequested();
                } else if (key == Qt::Key_V) {
                    *handled = true;
                    paste();
                } else if (key == Qt::Key_X) {
                    *handled = true;
                    cut();
                }
            });
    // Row marks follow every change of the cells, whoever makes it (typing, paste, undo).
    connect(m_grid, &Grid::changed, this, [this](const GridArea &area) {
        if (m_source.isTable())
            DocumentWriteBack::noteChange(*m_grid, m_source, area);
    });
    m_view->setChangeFunction(
        [this](const QString &text, const GridArea &cells, const std::function<void(Grid &)> &fn) {
            change(text, cells, fn);
        });
    // Whole-grid steps keep a copy of the table each: enough steps back, bounded memory.
    m_undo->setUndoLimit(100);
    // A grid read from a file or emptied is another document: its steps do not apply.
    connect(m_grid, &Grid::contentReplaced, m_undo, &QUndoStack::clear);
    setWindowTitle(m_state.documentTitle());
}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::retitle()
{
    ReportFormat::setPrintTitles(*m_grid, m_title->text(), m_workspace.reportSubtitle());
    m_message(this, QMessageBox::NoIcon, QString(), QStringLiteral("标题修改为 ") + m_title->text(),
              QMessageBox::Ok);
}

void DocumentWindow::showAllColumnsCentredAsText()
{
    for (int c = 1; c < m_grid->cols(); ++c) {
        m_grid->setColumnMask(c, GridMask::None);
        m_grid->setColumnAlignment(c, GridAlign::CenterMiddle);
    }
    m_grid->refresh();
}

void DocumentWindow::copySelection()
{
    GridClipboard::copy(*m_grid, m_view->selection().area());
}

void DocumentWindow::focusGrid()
{
    m_view->setFocus();
}

void DocumentWindow::setSelectionFontName(const QString &name)
{
    changeSelection(QStringLiteral("字体"), [name](Grid &grid, const GridArea &area) {
        GridRange(&grid, area).setFontName(name);
    });
}

void DocumentWindow::setSelectionFontSize(double points)
{
    changeSelection(QStringLiteral("字号"), [points](Grid &grid, const GridArea &area) {
        GridRange(&grid, area).setFontSize(points);
    });
}

GridSelection &DocumentWindow::selection() const
{
    return m_view->selection();
}

void DocumentWindow::change(const QString &text, const GridArea &cells,
                            const std::function<void(Grid &)> &change)
{
    m_view->commitEdit();
    m_undo->push(new GridUndoCommand(*m_grid, text, cells, change));
}

void DocumentWindow::changeSelection(const QString &text,
                                     const std::function<void(Grid &, GridArea)> &change)
{
    m_view->commitEdit();
    const GridArea area = m_view->selection().area();
    this->change(text, area, [change, area](Grid &grid) { change(grid, area); });
}

void DocumentWindow::paste()
{
    const QMimeData *mime = qGuiApp ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!mime)
        return;
    const GridArea sel = m_view->selection().area();
    // The cells the paste writes, for the undo step.
    int rows = 0;
    int cols = 0;
    GridFragment fragment;
    if (mime->hasFormat(GridClipboard::mimeType()) &&
        GridFragment::fromBytes(mime->data(GridClipboard::mimeType()), &fragment)) {
        rows = fragment.rows;
        cols = fragment.cols;
    } else if (mime->hasText()) {
        const QList<QStringList> lines = TabText::parse(mime->text());
        rows = int(lines.size());
        for (const QStringList &line : lines)
            cols = std::max(cols, int(line.size()));
    }
    if (rows == 0 || cols == 0)
        return;
    const GridArea cells{sel.firstRow, sel.firstCol, sel.firstRow + rows - 1,
                         sel.firstCol + cols - 1};
    change(QStringLiteral("粘贴"), cells, [mime, sel](Grid &grid) {
        (void)GridClipboard::pasteMimeData(grid, *mime, sel.firstRow, sel.firstCol);
    });
}

void DocumentWindow::cut()
{
    if (!GridClipboard::copy(*m_grid, m_view->selection().area()))
        return;
    changeSelection(QStringLiteral("剪切"),
                    [](Grid &grid, const GridArea &area) { GridRange(&grid, area).clearText(); });
}

bool DocumentWindow::hasUnsavedRecords() const
{
    return DocumentWriteBack::hasChanges(*m_grid, m_source);
}

Status DocumentWindow::saveRecords()
{
    return m_workspace.use(
        [&](Database &db) { return DocumentWriteBack::save(db, *m_grid, m_source); });
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (!hasUnsavedRecords()) {
        event->accept();
        return;
    }
    const auto answer =
        m_message(this, QMessageBox::Question, QStringLiteral("提示"),
                  QStringLiteral("“%1”的数据已修改，是否保存到数据库？").arg(windowTitle()),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Discard) {
        event->accept();
        return;
    }
    if (answer == QMessageBox::Save) {
        const Status s = saveRecords();
        if (s.isOk()) {
            event->accept();
            return;
        }
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), s.message(), QMessageBox::Ok);
    }
    event->ignore();
}

void DocumentWindow::updateSelectionSum()
{
    if (const auto text = SelectionSum::text(*m_grid, m_view->selection().area()))
        emit selectionSumChanged(*text);
}

bool DocumentWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_title && event->type() == QEvent::MouseButtonDblClick) {
        retitle();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace fenpai
