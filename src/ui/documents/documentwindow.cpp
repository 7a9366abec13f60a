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
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
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
    , m_staleBar(new QFrame(this))
{
    setObjectName(QStringLiteral("frmDocument"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_title->setObjectName(QStringLiteral("Text1"));
    m_view->setObjectName(QStringLiteral("Grid1"));
    // 100 twips left and right, the title box above the grid (15 twips = 1 pixel).
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 3, 7, 2);
    layout->setSpacing(3);
    buildStaleBar();
    layout->addWidget(m_staleBar);
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
    connect(m_grid, &Grid::contentReplaced, this, [this] {
        m_undo->clear();
        // Another document now (a file read in): not made from data, nothing unsaved.
        m_modifiedOutsideUndo = false;
        m_userPageSetup = false;
        m_stale = false;
        m_staleBar->hide();
        setRecipe({});
    });
    connect(m_undo, &QUndoStack::cleanChanged, this, &DocumentWindow::updateCaption);
    setWindowTitle(m_state.documentTitle());
}

void DocumentWindow::buildStaleBar()
{
    m_staleBar->setObjectName(QStringLiteral("staleBar"));
    m_staleBar->setFrameShape(QFrame::StyledPanel);
    m_staleBar->setAutoFillBackground(true);
    QPalette palette = m_staleBar->palette();
    palette.setColor(QPalette::Window, QColor(0xff, 0xf4, 0xc8));
    m_staleBar->setPalette(palette);
    auto *text = new QLabel(QStringLiteral("数据已改变，按 F5 刷新"), m_staleBar);
    auto *button = new QPushButton(QStringLiteral("刷新"), m_staleBar);
    button->setObjectName(QStringLiteral("refreshButton"));
    auto *row = new QHBoxLayout(m_staleBar);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(text, 1);
    row->addWidget(button);
    m_staleBar->hide();
    connect(button, &QPushButton::clicked, this, &DocumentWindow::refreshRequested);
}

DocumentWindow::~DocumentWindow()
{
    // The undo stack says it is clean as it goes, after this window has gone.
    disconnect(m_undo, nullptr, this, nullptr);
}

void DocumentWindow::retitle()
{
    ReportFormat::setPrintTitles(*m_grid, m_title->text(), m_workspace.reportSubtitle());
    markModified();
    m_message(this, QMessageBox::NoIcon, QString(), QStringLiteral("标题修改为 ") + m_title->text(),
              QMessageBox::Ok);
}

void DocumentWindow::showAllColumnsCentredAsText()
{
    centreAllColumnsAsText(*m_grid);
}

void DocumentWindow::centreAllColumnsAsText(Grid &grid)
{
    for (int c = 1; c < grid.cols(); ++c) {
        grid.setColumnMask(c, GridMask::None);
        grid.setColumnAlignment(c, GridAlign::CenterMiddle);
    }
    grid.refresh();
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
    const Status s = m_workspace.use(
        [&](Database &db) { return DocumentWriteBack::save(db, *m_grid, m_source); });
    if (s.isOk()) {
        markSaved();
        emit recordsSaved(m_source.table);
    }
    return s;
}

void DocumentWindow::closeEvent(QCloseEvent *event)
{
    if (askToSave())
        event->accept();
    else
        event->ignore();
}

// True when the document may close: nothing unsaved, saved, or not wanted.
bool DocumentWindow::askToSave()
{
    const bool records = hasUnsavedRecords();
    if (!records && !isModified())
        return true;
    const QString question =
        records ? QStringLiteral("“%1”的数据已修改，是否保存到数据库？").arg(m_baseTitle)
                : QStringLiteral("“%1”已修改，是否另存为表格文件（.cel）？").arg(m_baseTitle);
    const auto answer = m_message(this, QMessageBox::Question, QStringLiteral("提示"), question,
                                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    if (!records)
        return m_saveAs && m_saveAs(*this);
    const Status s = saveRecords();
    if (!s.isOk())
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), s.message(), QMessageBox::Ok);
    return s.isOk();
}

bool DocumentWindow::isModified() const
{
    return !m_undo->isClean() || m_modifiedOutsideUndo;
}

void DocumentWindow::markSaved()
{
    m_modifiedOutsideUndo = false;
    m_undo->setClean();
    updateCaption();
}

void DocumentWindow::markModified()
{
    m_modifiedOutsideUndo = true;
    updateCaption();
}

void DocumentWindow::notePageSetupChanged()
{
    m_userPageSetup = true;
    markModified();
}

void DocumentWindow::setRecipe(Recipe recipe)
{
    m_recipe = std::move(recipe);
    updateCaption();
    emit recipeChanged();
}

bool DocumentWindow::readsAny(const QStringList &tables) const
{
    for (const QString &t : tables) {
        if (m_recipe.tables.contains(t))
            return true;
    }
    return false;
}

void DocumentWindow::markStale()
{
    m_stale = true;
    m_staleBar->show();
    updateCaption();
}

Status DocumentWindow::refill()
{
    if (!m_recipe.build)
        return Status::refused(QStringLiteral("这个文档不能刷新。"));
    Grid fresh;
    DocumentSource source;
    const Result<ReportDocument> built = m_recipe.build(fresh, source);
    if (!built)
        return built.status();
    const PageSetup setup = m_grid->pageSetup();
    m_view->commitEdit();
    // The rows are replaced, not edited: no row marks for them.
    m_source = {};
    m_grid->restoreData(fresh.data());
    if (m_userPageSetup)
        m_grid->setPageSetup(setup);
    m_source = source;
    m_undo->clear();
    m_stale = false;
    m_staleBar->hide();
    if (!built->titleText.isEmpty())
        m_title->setText(built->titleText);
    setWindowTitle(built->title);
    markSaved();
    return Status::ok();
}

bool DocumentWindow::refresh()
{
    if (!canRefill())
        return false;
    if (isModified() &&
        m_message(this, QMessageBox::Question, QStringLiteral("提示"),
                  QStringLiteral("刷新会丢掉“%1”中未保存的修改。继续吗？").arg(m_baseTitle),
                  QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return false;
    if (const Status s = refill(); !s.isOk()) {
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), s.describe(),
                  QMessageBox::Ok);
        return false;
    }
    return true;
}

void DocumentWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A title set from outside is the new title; the marks follow it.
    if (event->type() == QEvent::WindowTitleChange && !m_captioning) {
        m_baseTitle = windowTitle();
        updateCaption();
    }
}

void DocumentWindow::updateCaption()
{
    QString caption = m_baseTitle;
    if (isModified())
        caption += u'*';
    if (m_stale)
        caption += QStringLiteral("（已过期）");
    if (caption == windowTitle())
        return;
    m_captioning = true;
    setWindowTitle(caption);
    m_captioning = false;
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
