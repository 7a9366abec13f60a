#include "ui/main/filecommands.h"

#include "grid/fontsubstitutes.h"
#include "grid/grid.h"
#include "grid/gridexport.h"
#include "grid/gridpagerenderer.h"
#include "jobs/documents/documentwriteback.h"
#include "jobs/documents/reporttitles.h"
#include "ui/documents/documentwindow.h"
#include "ui/documents/pagesetupdialog.h"
#include "ui/documents/reporttitledialog.h"
#include "ui/grid/gridprinter.h"
#include "ui/grid/gridview.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>

namespace fenpai {

namespace {

const QString kLastFolderKey = QStringLiteral("Settings/LastFolder");

struct KindInfo
{
    const char *filter;
    const char *suffix;
};

KindInfo info(FileCommands::FileKind kind)
{
    switch (kind) {
    case FileCommands::FileKind::Grid:
        return {"表格文件 (*.cel)", "cel"};
    case FileCommands::FileKind::Excel:
        return {"Excel 工作簿 (*.xlsx)", "xlsx"};
    case FileCommands::FileKind::Html:
        return {"网页 (*.html *.htm)", "html"};
    case FileCommands::FileKind::Pdf:
        return {"PDF 文件 (*.pdf)", "pdf"};
    }
    return {"", ""};
}

} // namespace

FileCommands::FileCommands(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("fileCommands"));
    // 输出到PDF stands beside the other exports.
    if (QMenu *file = m_window.menu(QStringLiteral("mnuFile"))) {
        const QList<QAction *> actions = file->actions();
        const qsizetype html = actions.indexOf(m_window.action(QStringLiteral("mnuExportHtml")));
        m_window.addEntry(file, QStringLiteral("mnuExportPdf"), QStringLiteral("输出到PDF"),
                          html >= 0 && html + 1 < actions.size() ? actions.at(html + 1) : nullptr);
    }
    // Everything but opening a file needs a document: disabled while none is active.
    auto wire = [this](const char *name, std::function<void()> command) {
        if (QAction *a = m_window.wire(QString::fromLatin1(name), this, std::move(command)))
            m_documentActions.append(a);
    };
    m_window.wire(QStringLiteral("mnuOpen"), this, [this] { openFile(); });
    wire("mnuSave", [this] { save(); });
    wire("mnuFileSaveAs", [this] { (void)saveAs(); }); // a failure has been said
    wire("ExcelSave", [this] { exportTo(FileKind::Excel); });
    wire("mnuExportHtml", [this] { exportTo(FileKind::Html); });
    wire("mnuFilePageSetup", [this] { pageSetup(); });
    wire("mnuPrintPreview", [this] { preview(); });
    wire("mnuDirectPrint", [this] { print(); });
    wire("mnuExportPdf", [this] { exportTo(FileKind::Pdf); });
    m_window.wire(QStringLiteral("bbtsz"), this, [this] { (void)editReportTitles(); });
    // Closing or quitting offers the same for a document with unsaved edits.
    m_window.setDocumentSaver([this](DocumentWindow &doc) { return saveAs(doc); });
    connect(m_window.mdiArea(), &QMdiArea::subWindowActivated, this,
            &FileCommands::documentActivated);
    documentActivated();
}

void FileCommands::documentActivated()
{
    const bool any = m_window.activeDocument() != nullptr;
    for (QAction *a : std::as_const(m_documentActions))
        a->setEnabled(any);
}

QString FileCommands::chooseFile(FileKind kind, bool save)
{
    if (m_chooseFile)
        return m_chooseFile(kind, save);
    const KindInfo k = info(kind);
    QSettings *settings = m_window.settings();
    const QString folder = settings ? settings->value(kLastFolderKey).toString() : QString();
    const QString filter = QString::fromUtf8(k.filter);
    QString path;
    if (save) {
        QFileDialog dialog(&m_window, QString(), folder, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QLatin1String(k.suffix));
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    } else {
        path = QFileDialog::getOpenFileName(&m_window, QString(), folder, filter);
    }
    if (!path.isEmpty() && settings)
        settings->setValue(kLastFolderKey, QFileInfo(path).absolutePath());
    return path;
}

void FileCommands::failed(const QString &text)
{
    m_window.message(QMessageBox::Warning, QStringLiteral("提示"), text);
}

bool FileCommands::editReportTitles()
{
    const ReportFormat::Subtitle old = m_window.workspace().reportSubtitle();
    std::optional<ReportFormat::Subtitle> edited;
    if (m_editTitles) {
        edited = m_editTitles(old);
    } else {
        ReportTitleDialog dialog(old, &m_window);
        if (dialog.exec() == QDialog::Accepted)
            edited = dialog.titles();
    }
    if (!edited)
        return false;
    if (const Status s = m_window.workspace().saveReportSubtitle(*edited); !s.isOk()) {
        failed(s.message());
        return false;
    }
    // Documents already made print the new titles too.
    for (QMdiSubWindow *sub : m_window.mdiArea()->subWindowList()) {
        if (auto *doc = qobject_cast<DocumentWindow *>(sub->widget()))
            ReportTitles::renew(doc->grid(), old, *edited);
    }
    return true;
}

void FileCommands::offerTitlesOnce()
{
    DocumentWindow *doc = m_window.activeDocument();
    if (m_titlesOffered || !doc || !ReportTitles::printsFactory(doc->grid()) ||
        !ReportTitles::isFactory(m_window.workspace().reportSubtitle()))
        return;
    m_titlesOffered = true;
    const ReportFormat::Subtitle factory = ReportTitles::factory();
    const QString text =
        QStringLiteral("报表标题还是出厂时的“%1”和“%2”，打印和输出的报表都会印上它们。\n"
                       "现在设置报表标题吗？（以后也可以在 工具 → 报表标题设置… 里设置）")
            .arg(factory.left, factory.right);
    if (m_window.ask(QMessageBox::Question, QStringLiteral("提示"), text,
                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
        (void)editReportTitles(); // a failure has been said; the print goes on
}

void FileCommands::openFile()
{
    // The file is chosen first, so that cancelling opens no empty document.
    const QString path = chooseFile(FileKind::Grid, false);
    if (path.isEmpty())
        return;
    DocumentWindow *doc = m_window.activeDocument();
    const bool created = !doc;
    if (created)
        doc = m_window.openDocument();
    GridCursor cursor;
    if (const Status s = doc->grid().openFile(path, &cursor); !s.isOk()) {
        failed(s.message());
        return;
    }
    // The grid no longer holds the table's rows: saving back would overwrite them.
    doc->setSource({});
    doc->gridView()->selection().setCursor(cursor);
    doc->setWindowTitle(QFileInfo(path).fileName());
}

void FileCommands::save()
{
    DocumentWindow *doc = m_window.activeDocument();
    if (!doc)
        return;
    if (!doc->source().isTable()) {
        const auto answer =
            m_window.ask(QMessageBox::Question, QStringLiteral("提示"),
                         DocumentWriteBack::notSavableText(), QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            (void)saveAs(); // a failure has been said
        return;
    }
    if (const Status s = doc->saveRecords(); !s.isOk()) {
        failed(s.message());
        return;
    }
    m_window.message(QMessageBox::Warning, QString(), QStringLiteral("数据保存成功。"));
}

bool FileCommands::saveAs()
{
    DocumentWindow *doc = m_window.activeDocument();
    return doc && saveAs(*doc);
}

bool FileCommands::saveAs(DocumentWindow &doc)
{
    const QString path = chooseFile(FileKind::Grid, true);
    if (path.isEmpty())
        return false;
    if (const Status s = doc.grid().saveFile(path, doc.gridView()->selection().cursor());
        !s.isOk()) {
        failed(s.message());
        return false;
    }
    doc.markSaved();
    m_window.message(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("保存成功。"));
    return true;
}

void FileCommands::exportTo(FileKind kind)
{
    DocumentWindow *doc = m_window.activeDocument();
    if (!doc)
        return;
    offerTitlesOnce();
    const QString path = chooseFile(kind, true);
    if (path.isEmpty())
        return;
    const Grid &grid = doc->grid();
    Status s;
    switch (kind) {
    case FileKind::Excel:
        s = GridExport::toXlsx(grid, path);
        break;
    case FileKind::Html:
        s = GridExport::toHtml(grid, path);
        break;
    case FileKind::Pdf:
        FontSubstitutes::install();
        s = GridPageRenderer(grid).writePdf(path);
        break;
    case FileKind::Grid:
        return;
    }
    if (!s.isOk()) {
        failed(s.message());
        return;
    }
    m_window.setStatusText(1, QStringLiteral("已输出到 ") + QDir::toNativeSeparators(path));
}

void FileCommands::pageSetup()
{
    DocumentWindow *doc = m_window.activeDocument();
    if (!doc)
        return;
    PageSetupDialog dialog(&m_window);
    dialog.setGrid(&doc->grid());
    if (dialog.exec() == QDialog::Accepted)
        doc->notePageSetupChanged();
}

void FileCommands::preview()
{
    offerTitlesOnce();
    if (DocumentWindow *doc = m_window.activeDocument())
        GridPrinter(doc->grid()).preview(&m_window);
}

void FileCommands::print()
{
    offerTitlesOnce();
    DocumentWindow *doc = m_window.activeDocument();
    if (!doc)
        return;
    // A cancelled dialog and a printer that would not start both print nothing; neither
    // changed the document.
    (void)GridPrinter(doc->grid()).printWithDialog(&m_window);
}

} // namespace fenpai
