#include "ui/main/mainwindow.h"
#include "ui/main/classcommands.h"
#include "ui/main/commandbar.h"
#include "ui/main/documentcommands.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/editcommands.h"
#include "ui/main/filecommands.h"
#include "ui/main/formatcommands.h"
#include "ui/main/helpwindows.h"
#include "ui/main/importmenu.h"
#include "ui/main/latecommands.h"
#include "ui/main/logindialog.h"
#include "ui/main/mdilayout.h"
#include "ui/main/passworddialog.h"
#include "ui/main/reportcommands.h"
#include "ui/main/startpage.h"
#include "ui/main/windowplacement.h"

#include "core/numbertext.h"
#include "core/tablenames.h"
#include "jobs/reports/mixingcheck.h"
#include "ui/arrangement/arrangementdialog.h"
#include "ui/arrangement/examswapdialog.h"
#include "ui/arrangement/mixingcheckdialog.h"
#include "ui/common/datachanges.h"
#include "ui/division/divisiondialog.h"
#include "ui/documents/documentwindow.h"
#include "ui/tickets/ticketentry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include <memory>
#include <optional>
#include <tuple>

namespace fenpai {

namespace {

const char *const gateMessage = "你还没有登录，请先登录。在菜单：文件/登录 下 登录。";
const char *const gateShortMessage = "你还没有登录，请先登录！";

} // namespace

MainWindow::MainWindow(const Options &options, QWidget *parent)
    : QMainWindow(parent)
    , m_workspace(DataDirectory(options.dataDirectory))
    , m_state(this)
    , m_changes(new DataChanges(this))
    , m_programDir(options.programDir)
    , m_settings(options.settingsFile.isEmpty()
                     ? new QSettings(QCoreApplication::applicationName(),
                                     QCoreApplication::applicationName(), this)
                     : new QSettings(options.settingsFile, QSettings::IniFormat, this))
    , m_mdi(new QMdiArea(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("分班排考"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The work area holds the documents and, in the same place while none is open, the start
    // page: beside the documents' area rather than inside it, so that screen readers see it.
    auto *workArea = new QWidget(this);
    workArea->setObjectName(QStringLiteral("workArea"));
    auto *stack = new QGridLayout(workArea);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(m_mdi, 0, 0);
    setCentralWidget(workArea);

    buildMenus();
    buildToolbars();
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    for (int i = 0; i < 2; ++i) {
        auto *panel = new QLabel(this);
        panel->setMinimumWidth(i == 0 ? 300 : 160);
        statusBar()->addWidget(panel, i == 0 ? 1 : 0);
        m_panels.append(panel);
    }
    wireCommands();
    m_commandBar->followEntries([this](const QString &name) { return action(name); });

    // Load, in this order: placement, the three menu builders, the font boxes (built above).
    restorePlacement();
    rebuildNewClassMenu();
    rebuildRoomAndClassMenus();
    rebuildSchoolMenu();
    m_startPage = new StartPage(*this);
    stack->addWidget(m_startPage, 0, 0);
}

MainWindow::~MainWindow()
{
    // The documents close after the window is gone: nobody may follow them any more.
    disconnect(m_mdi, &QMdiArea::subWindowActivated, nullptr, nullptr);
    m_mdi->viewport()->removeEventFilter(m_startPage);
}

QAction *MainWindow::addEntry(QMenu *menu, const QString &objectName, const QString &caption,
                              QAction *before)
{
    auto *a = new QAction(caption, menu);
    a->setObjectName(objectName);
    a->setEnabled(false);
    menu->insertAction(before, a);
    registerEntry(a);
    return a;
}

QAction *MainWindow::addEntry(QMenu *menu, const char *objectName, const QString &caption)
{
    return addEntry(menu, QString::fromLatin1(objectName), caption);
}

QAction *MainWindow::wire(const QString &objectName, QObject *context,
                          std::function<void()> command)
{
    QAction *a = action(objectName);
    if (!a) {
        qWarning("no menu command named %s", qUtf8Printable(objectName));
        return nullptr;
    }
    a->setEnabled(true);
    connect(a, &QAction::triggered, context, [command = std::move(command)] { command(); });
    return a;
}

QAction *MainWindow::wire(const char *objectName, std::function<void()> command)
{
    return wire(QString::fromLatin1(objectName), this, std::move(command));
}

void MainWindow::addDynamicMenu(QMenu *menu, const char *name, const QString &firstCaption)
{
    const QString key = QString::fromLatin1(name);
    m_dynamic.insert(key, new DynamicMenu(menu, key, firstCaption));
}

QMenu *MainWindow::addSubmenu(QMenu *parent, const char *objectName, const QString &caption)
{
    QMenu *m = parent ? parent->addMenu(caption) : menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(objectName));
    m->menuAction()->setObjectName(QString::fromLatin1(objectName));
    m_menus.insert(m->objectName(), m);
    return m;
}

void MainWindow::buildMenus()
{
    buildFileMenu();
    buildDivisionMenu();
    buildExamMenu();
    buildEditMenu();
    buildFormatMenu();
    buildViewMenu();
    buildToolsMenu();
    buildWindowMenu();
    buildHelpMenu();

    // Entries whose commands are not wired stay visible but unavailable.
    for (DynamicMenu *d : std::as_const(m_dynamic))
        d->item(0)->setEnabled(false);
}

void MainWindow::buildFileMenu()
{
    QMenu *file = addSubmenu(nullptr, "mnuFile", QStringLiteral("文件(&F)"));
    addEntry(file, "mnuOpen", QStringLiteral("打开表格文件"));
    QMenu *browse = addSubmenu(file, "ddec", QStringLiteral("浏览(&L)"));
    addEntry(browse, "fbmum", TableNames::divisionData);
    QMenu *examData = addSubmenu(browse, "kc", QStringLiteral("考场数据表"));
    addEntry(examData, "kstable", TableNames::examinees);
    addEntry(examData, "kctable", TableNames::rooms);
    QMenu *info = addSubmenu(file, "sjxx", QStringLiteral("数据信息(&O)..."));
    addEntry(info, "cjbxx", QStringLiteral("成绩表信息"));
    QMenu *examInfo = addSubmenu(info, "kcbpbxx", QStringLiteral("考生表信息"));
    addEntry(examInfo, "anbj", QStringLiteral("按班级"));
    addEntry(examInfo, "anxx", QStringLiteral("按学校"));
    addEntry(info, "fbbxx", QStringLiteral("原分班表信息"));
    file->addSeparator();
    addEntry(file, "logain", QStringLiteral("登录(&L)..."));
    QMenu *import = addSubmenu(file, "daoru", QStringLiteral("导入数据(&D)"));
    addEntry(import, "xsfb", QStringLiteral("新生分班数据(&F)"));
    addEntry(import, "kcbp", QStringLiteral("考场编排数据(&H)"));
    addEntry(import, "cjsj", QStringLiteral("成绩数据(&C)"));
    file->addSeparator();
    addEntry(file, "mnuSave", QStringLiteral("保存(&S)"));
    addEntry(file, "mnuFileSaveAs", QStringLiteral("另存为(&A)..."));
    addEntry(file, "ExcelSave", QStringLiteral("输出到Excel(&E)"));
    addEntry(file, "mnuExportHtml", QStringLiteral("输出到HTML ..."));
    file->addSeparator();
    addEntry(file, "mnuFilePageSetup", QStringLiteral("页面设置(&U)..."));
    addEntry(file, "mnuPrintPreview", QStringLiteral("打印预览(&V)"));
    addEntry(file, "mnuDirectPrint", QStringLiteral("打印(&P)..."));
    file->addSeparator();
    addEntry(file, "mnuFileExit", QStringLiteral("退出(&X)"));
}

void MainWindow::buildDivisionMenu()
{
    QMenu *division = addSubmenu(nullptr, "fbop", QStringLiteral("分班&(T)"));
    addEntry(division, "fbsz", QStringLiteral("分班&(S)"));
    addEntry(division, "sgtz", QStringLiteral("手工调整&(S)"));
    addEntry(division, "czzpm", QStringLiteral("新班统计&(T)"));
    QMenu *newClasses = addSubmenu(division, "newcl", QStringLiteral("浏览新班级"));
    addDynamicMenu(newClasses, "class", QStringLiteral("全部班级"));
}

void MainWindow::buildExamMenu()
{
    QMenu *exam = addSubmenu(nullptr, "mnukcbp", QStringLiteral("考场编排(&K)"));
    addEntry(exam, "bianpai", QStringLiteral("编排(&B)"));
    addEntry(exam, "ktiaoz", QStringLiteral("手工调整"));
    QMenu *examBrowse = addSubmenu(exam, "lulan", QStringLiteral("浏览"));
    QMenu *byRoom = addSubmenu(examBrowse, "klulan", QStringLiteral("按考场"));
    QMenu *charts = addSubmenu(byRoom, "zwb", QStringLiteral("座位表"));
    addDynamicMenu(charts, "zwb", QStringLiteral("全部考场"));
    QMenu *signIn = addSubmenu(byRoom, "qdb", QStringLiteral("签到表"));
    addDynamicMenu(signIn, "qdb", QStringLiteral("全部考场"));
    QMenu *doors = addSubmenu(byRoom, "mentie", QStringLiteral("门贴"));
    addDynamicMenu(doors, "mentie", QStringLiteral("全部考场"));
    byRoom->addSeparator();
    addDynamicMenu(byRoom, "gkc", QStringLiteral("全部考场"));
    QMenu *byClass = addSubmenu(examBrowse, "blulan", QStringLiteral("按班级"));
    addDynamicMenu(byClass, "gbj", QStringLiteral("全部班级"));
    QMenu *stats = addSubmenu(exam, "dctj", QStringLiteral("统计"));
    addEntry(stats, "jinjtj", QStringLiteral("精简统计"));
    QMenu *full = addSubmenu(stats, "qmtj", QStringLiteral("全面统计"));
    addDynamicMenu(full, "tjschoo", QStringLiteral("学校"));
    addEntry(exam, "qzkh", QStringLiteral("各考场首尾考号"));
    addEntry(exam, "zhizhuo", QStringLiteral("制作准考证"));
    addEntry(exam, "hbjc", QStringLiteral("混排检测"));
}

void MainWindow::buildEditMenu()
{
    QMenu *edit = addSubmenu(nullptr, "mnuEdit", QStringLiteral("编辑(&E)"));
    addEntry(edit, "mnuCopy", QStringLiteral("复制(&C)"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    addEntry(edit, "mnuPaste", QStringLiteral("粘贴(&P)"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    edit->addSeparator();
    addEntry(edit, "zdypm", QStringLiteral("选定的列排名&(Z)"));
    addEntry(edit, "pm", QStringLiteral("选定的列排序"));
    addEntry(edit, "oldstor", QStringLiteral("恢复原来顺序"));
    addEntry(edit, "shaixwan", QStringLiteral("筛选"));
    edit->addSeparator();
    addEntry(edit, "mnuMerge", QStringLiteral("合并单元格(&M)"));
    addEntry(edit, "mnuUnMerge", QStringLiteral("取消合并单元格"));
    edit->addSeparator();
    addEntry(edit, "mnuInsertRows", QStringLiteral("插入行"));
    addEntry(edit, "mnuInsertCols", QStringLiteral("插入列"));
    addEntry(edit, "mnuDeleteByRow", QStringLiteral("删除行"));
    addEntry(edit, "mnuDeleteByCol", QStringLiteral("删除列"));
    addEntry(edit, "mnuHideRows", QStringLiteral("隐藏行"));
    addEntry(edit, "mnuHideCols", QStringLiteral("隐藏列"));
}

void MainWindow::buildFormatMenu()
{
    QMenu *format = addSubmenu(nullptr, "mnuFormat", QStringLiteral("格式(&O)"));
    addEntry(format, "mnuSetWrapText", QStringLiteral("设置自动换行"));
    addEntry(format, "mnuCancelWrapText", QStringLiteral("取消自动换行"));
    addEntry(format, "mnuLockCell", QStringLiteral("锁定单元格"));
    addEntry(format, "mnuCancelLockCell", QStringLiteral("取消锁定单元格"));
    addEntry(format, "zdsize", QStringLiteral("增大字体"));
    addEntry(format, "jxsize", QStringLiteral("减小字体"));
}

void MainWindow::buildViewMenu()
{
    QMenu *view = addSubmenu(nullptr, "mnuView", QStringLiteral("视图(&V)"));
    for (const char *name : {"mnuViewToolbar", "mnuViewStatusBar"}) {
        QAction *a = addEntry(
            view, name,
            QString::fromUtf8(qstrcmp(name, "mnuViewToolbar") == 0 ? "工具栏(&T)" : "状态栏(&B)"));
        a->setCheckable(true);
        a->setChecked(true);
    }
}

void MainWindow::buildToolsMenu()
{
    QMenu *tools = addSubmenu(nullptr, "mnuTools", QStringLiteral("工具(&T)"));
    addEntry(tools, "bbtsz", QStringLiteral("报表标题设置…"));
    addEntry(tools, "editmima", QStringLiteral("修改密码"));
    addEntry(tools, "xufu", QStringLiteral("修复系统表"));
}

void MainWindow::buildWindowMenu()
{
    QMenu *window = addSubmenu(nullptr, "mnuWindow", QStringLiteral("窗口(&W)"));
    addEntry(window, "mnuWindowNewWindow", QStringLiteral("新建窗口(&N)"));
    addEntry(window, "mnuWindowCascade", QStringLiteral("层叠(&C)"));
    addEntry(window, "mnuWindowTileHorizontal", QStringLiteral("横向平铺(&H)"));
    addEntry(window, "mnuWindowTileVertical", QStringLiteral("纵向平铺(&V)"));
    addEntry(window, "mnuWindowArrangeIcons", QStringLiteral("排列图标(&A)"));
    m_windowListSeparator = window->addSeparator();
    connect(window, &QMenu::aboutToShow, this, &MainWindow::fillWindowList);
}

void MainWindow::buildHelpMenu()
{
    QMenu *help = addSubmenu(nullptr, "mnuHelp", QStringLiteral("帮助(&H)"));
    addEntry(help, "mnufileHelp", QStringLiteral("帮助(&C)"));
    addEntry(help, "mnuonlineHelp", QStringLiteral("在线帮助(&S)..."));
    addEntry(help, "houseHelp", QStringLiteral("我的主页"));
    addEntry(help, "mnuHelpAbout", QStringLiteral("关于(&A) "));
}

void MainWindow::buildToolbars()
{
    m_standardBar = addToolBar(QStringLiteral("标准"));
    m_standardBar->setObjectName(QStringLiteral("tbToolBar"));
    m_fontName = new QComboBox(m_standardBar);
    m_fontName->setObjectName(QStringLiteral("cboFontName"));
    m_fontName->setEditable(true);
    m_fontName->setMinimumContentsLength(12);
    m_fontName->setInsertPolicy(QComboBox::NoInsert);
    QStringList families = QFontDatabase::families();
    families.removeAll(QString());
    families.sort(Qt::CaseInsensitive);
    m_fontName->addItems(families);
    m_fontName->setEditText(QStringLiteral("宋体"));
    m_fontName->setAccessibleName(QStringLiteral("字体"));
    m_fontName->setToolTip(QStringLiteral("字体"));
    // The boxes take the focus only when clicked: typing belongs to the document.
    m_fontName->setFocusPolicy(Qt::ClickFocus);
    m_fontSize = new QComboBox(m_standardBar);
    m_fontSize->setObjectName(QStringLiteral("cboFontSize"));
    m_fontSize->setEditable(true);
    m_fontSize->setInsertPolicy(QComboBox::NoInsert);
    for (int points : {6, 8, 9, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        m_fontSize->addItem(QString::number(points));
    // The list opens on the size shown.
    m_fontSize->setCurrentIndex(m_fontSize->findText(QStringLiteral("9")));
    m_fontSize->setFocusPolicy(Qt::ClickFocus);
    m_fontSize->setAccessibleName(QStringLiteral("字号"));
    m_fontSize->setToolTip(QStringLiteral("字号"));
    m_standardBar->addWidget(m_fontName);
    m_standardBar->addWidget(m_fontSize);
    connect(m_fontName, &QComboBox::textActivated, this, &MainWindow::applyFontName);
    connect(m_fontSize, &QComboBox::textActivated, this, &MainWindow::applyFontSize);

    m_commandBar = new CommandBar(this);
    addToolBar(m_commandBar);
    connect(m_commandBar, &CommandBar::buttonClicked, this, &MainWindow::toolbarClicked);
    // The arrow a toolbar shows when its buttons do not fit is named too.
    for (QToolBar *bar : {m_standardBar, static_cast<QToolBar *>(m_commandBar)}) {
        if (auto *more = bar->findChild<QToolButton *>(QStringLiteral("qt_toolbar_ext_button"))) {
            more->setAccessibleName(QStringLiteral("更多按钮"));
            more->setToolTip(QStringLiteral("更多按钮"));
        }
    }
}

void MainWindow::wireCommands()
{
    wire("logain", [this] { showLogin(); });
    wire("editmima", [this] {
        if (passGate(true))
            showPasswordDialog();
    });
    wire("xufu", [this] { repairSystemTables(); });
    wire("mnuFileExit", [this] { close(); });
    wire("mnuWindowNewWindow",
         [this] { openDocument()->setWindowTitle(QStringLiteral("新文档")); });
    wire("mnuWindowCascade", [this] { m_mdi->cascadeSubWindows(); });
    wire("mnuWindowTileHorizontal", [this] { MdiLayout::tile(*m_mdi, Qt::Horizontal); });
    wire("mnuWindowTileVertical", [this] { MdiLayout::tile(*m_mdi, Qt::Vertical); });
    wire("mnuWindowArrangeIcons", [this] { MdiLayout::arrangeIcons(*m_mdi); });
    // The two view entries are check boxes: they follow their own state.
    if (QAction *a = wire("mnuViewToolbar", [] {}))
        connect(a, &QAction::toggled, m_standardBar, &QToolBar::setVisible);
    if (QAction *a = wire("mnuViewStatusBar", [] {}))
        connect(a, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
    wire("mnufileHelp", [this] { showHelp(); });
    wire("mnuonlineHelp", [this] { showHelpWindow(); });
    wire("houseHelp", [this] { showHelpWindow(); });
    wire("mnuHelpAbout", [this] { showAbout(); });

    // Browse commands.
    wire("fbmum", [this] { showSource(TableNames::divisionData, TableNames::divisionData); });
    wire("kstable", [this] {
        showSource(TableNames::examinees, TableNames::examinees,
                   &DocumentWindow::centreAllColumnsAsText);
    });
    wire("kctable", [this] { showSource(TableNames::rooms, TableNames::rooms); });
    wire("mnuCopy", [this] { runDocumentCommand(QStringLiteral("mnuCopy")); });

    wire("fbsz", [this] {
        if (passGate())
            showDivisionDialog();
    });
    wire("bianpai", [this] {
        if (passGate())
            showArrangementDialog();
    });
    wire("hbjc", [this] { showMixingCheck(); });
    wire("ktiaoz", [this] {
        if (passGate())
            showExamSwapDialog();
    });
    new ReportCommands(*this); // a child of the window
    new ClassCommands(*this);
    new LateCommands(*this);
    new EditCommands(*this);
    new FormatCommands(*this);
    new TicketEntry(*this);
    new FileCommands(*this);
    m_importMenu = new ImportMenu(*this);
    new DocumentCommands(*this);
}

bool MainWindow::passGate(bool shortText)
{
    if (m_state.isLoggedIn())
        return true;
    m_message(this, QMessageBox::NoIcon, QString(),
              QString::fromUtf8(shortText ? gateShortMessage : gateMessage), QMessageBox::Ok);
    return false;
}

DocumentWindow *MainWindow::createDocument()
{
    auto *doc = new DocumentWindow(m_state, m_workspace);
    doc->setMessageFunction(m_message);
    doc->setSaveAsFunction([this](DocumentWindow &d) { return m_saveAs && m_saveAs(d); });
    connect(doc, &DocumentWindow::recordsSaved, this,
            [this, doc](const QString &table) { m_changes->announce({table}, doc); });
    connect(doc, &DocumentWindow::refreshRequested, doc, [doc] { (void)doc->refresh(); });
    connect(doc, &DocumentWindow::selectionSumChanged, this,
            [this](const QString &text) { setStatusText(2, text); });
    connect(doc, &DocumentWindow::copyRequested, this,
            [this] { runDocumentCommand(QStringLiteral("mnuCopy")); });
    return doc;
}

DocumentWindow *MainWindow::openDocument()
{
    return presentDocument(createDocument());
}

DocumentWindow *MainWindow::presentDocument(DocumentWindow *doc)
{
    ++m_documentsOpened;
    m_startPage->hide(); // a document takes the work area at once
    QMdiSubWindow *sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Placed by us, whole inside the area: the area's own placement knows the size too late.
    sub->setGeometry(MdiLayout::newWindowGeometry(m_mdi->viewport()->rect(), m_documentsOpened));
    doc->setWindowTitle(m_state.documentTitle());
    sub->show();
    m_mdi->setActiveSubWindow(sub);
    doc->focusGrid();
    return doc;
}

DocumentWindow *MainWindow::activeDocument() const
{
    // The current child stays current while another application has the focus.
    QMdiSubWindow *sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<DocumentWindow *>(sub->widget()) : nullptr;
}

DocumentWindow *MainWindow::showSource(const QString &title, const QString &source,
                                       const std::function<void(Grid &)> &look)
{
    DocumentWindow::Recipe recipe;
    recipe.tables = {source};
    recipe.build = [this, title, source, look](Grid &grid,
                                               DocumentSource &from) -> Result<ReportDocument> {
        DocumentFill::Outcome filled = m_workspace.fillDocument(grid, source, title);
        if (!filled.status.isOk())
            return filled.status;
        from = filled.source;
        if (look)
            look(grid);
        return ReportDocument{title, filled.titleText};
    };
    return openRecipe(recipe);
}

DocumentWindow *MainWindow::openRecipe(const DocumentWindow::Recipe &recipe)
{
    DocumentSource source;
    DocumentWindow *doc = openBuilt([&](Grid &grid) { return recipe.build(grid, source); },
                                    [&](DocumentWindow &d) {
                                        d.setSource(source);
                                        d.setRecipe(recipe);
                                    });
    return doc;
}

DocumentWindow *MainWindow::openBuilt(const std::function<Result<ReportDocument>(Grid &)> &build,
                                      const std::function<void(DocumentWindow &)> &prepare)
{
    // The document is built before it shows: one that cannot be built (no database, a table
    // never imported, a broken saved query) says why and leaves no empty window behind.
    std::unique_ptr<DocumentWindow> doc(createDocument());
    const Result<ReportDocument> built = build(doc->grid());
    if (!built) {
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), built.status().describe(),
                  QMessageBox::Ok);
        return nullptr;
    }
    m_state.setDocumentTitle(built->title);
    if (!built->titleText.isEmpty())
        doc->titleBox()->setText(built->titleText);
    if (prepare)
        prepare(*doc);
    return presentDocument(doc.release());
}

void MainWindow::runDocumentCommand(const QString &objectName)
{
    DocumentWindow *doc = activeDocument();
    if (!doc)
        return;
    if (objectName == QLatin1String("mnuCopy"))
        doc->copySelection();
}

void MainWindow::showDivisionDialog()
{
    if (!m_divisionDialog) {
        auto *dialog = new DivisionDialog(m_workspace, this);
        dialog->rememberIn(m_settings);
        connect(dialog, &DivisionDialog::divisionFinished, this, [this] {
            rebuildNewClassMenu();
            m_changes->announce({TableNames::divisionData});
        });
        m_divisionDialog = dialog;
    }
    m_divisionDialog->show();
    m_divisionDialog->raise();
    m_divisionDialog->activateWindow();
}

void MainWindow::showArrangementDialog()
{
    if (!m_arrangementDialog) {
        auto *dialog = new ArrangementDialog(m_workspace, this);
        dialog->rememberIn(m_settings);
        connect(dialog, &ArrangementDialog::summaryReady, this,
                [this](const QString &text) { setStatusText(1, text); });
        connect(dialog, &ArrangementDialog::arrangementFinished, this, [this] {
            rebuildRoomAndClassMenus();
            rebuildSchoolMenu();
            m_changes->announce({TableNames::examinees});
        });
        m_arrangementDialog = dialog;
    }
    m_arrangementDialog->show();
    m_arrangementDialog->raise();
    m_arrangementDialog->activateWindow();
}

void MainWindow::rebuildDynamicMenu(const QString &name, const QStringList &captions)
{
    if (DynamicMenu *menu = m_dynamic.value(name))
        menu->rebuild(captions);
    else
        qWarning("no data-driven menu named %s", qUtf8Printable(name));
}

void MainWindow::rebuildNewClassMenu()
{
    rebuildDynamicMenu(QStringLiteral("class"), m_workspace.newClassCaptions());
}

void MainWindow::rebuildRoomAndClassMenus()
{
    const QStringList rooms = m_workspace.roomCaptions();
    rebuildDynamicMenu(QStringLiteral("gkc"), rooms);
    rebuildDynamicMenu(QStringLiteral("zwb"), rooms);
    rebuildDynamicMenu(QStringLiteral("qdb"), rooms);
    rebuildDynamicMenu(QStringLiteral("mentie"), rooms);
    rebuildDynamicMenu(QStringLiteral("gbj"), m_workspace.classCaptions());
}

void MainWindow::rebuildSchoolMenu()
{
    rebuildDynamicMenu(QStringLiteral("tjschoo"), m_workspace.schoolCaptions());
}

void MainWindow::toolbarClicked(int button)
{
    // The entries that need a document are disabled while there is none; opening a file and
    // the help work without one.
    if (QAction *a = action(CommandBar::menuEntry(button)); a && a->isEnabled())
        a->trigger();
    if (DocumentWindow *doc = activeDocument(); doc && button != 15 && button != 16)
        doc->focusGrid();
}

void MainWindow::setStatusText(int panel, const QString &text)
{
    if (panel >= 1 && panel <= m_panels.size())
        m_panels[panel - 1]->setText(text);
}

QString MainWindow::statusText(int panel) const
{
    return panel >= 1 && panel <= m_panels.size() ? m_panels[panel - 1]->text() : QString();
}

QRect MainWindow::firstStartGeometry(const QRect &available)
{
    return WindowPlacement::firstStartGeometry(available);
}

void MainWindow::restorePlacement()
{
    WindowPlacement(*m_settings).restore(*this);
}

void MainWindow::savePlacement()
{
    WindowPlacement(*m_settings).save(*this);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    savePlacement();
    // Each document with unsaved edits asks in turn, shown as it asks; cancelling one keeps it
    // and the window open.
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        m_mdi->setActiveSubWindow(sub);
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void MainWindow::showLogin()
{
    if (!m_loginDialog) {
        auto *dialog = new LoginDialog(m_state, m_workspace, this);
        dialog->setMessageFunction(m_message);
        m_loginDialog = dialog;
    }
    m_loginDialog->show();
    m_loginDialog->raise();
    m_loginDialog->activateWindow();
}

void MainWindow::showPasswordDialog()
{
    auto *dialog = new PasswordDialog(m_state, m_workspace, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setMessageFunction(m_message);
    dialog->show();
}

void MainWindow::repairSystemTables()
{
    const Status s = m_workspace.repairSystemTables();
    if (!s.isOk()) {
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), s.describe(),
                  QMessageBox::Ok);
        return;
    }
    const QString done = QStringLiteral("系统表 xtsztable 和 bsxtable 已重建，恢复为默认设置。");
    setStatusText(1, done);
    m_message(this, QMessageBox::Information, QStringLiteral("修复系统表"), done, QMessageBox::Ok);
}

void MainWindow::showHelp()
{
    if (!HelpWindows(m_programDir).showManual(this))
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"),
                  QStringLiteral("帮助文件不存在。"), QMessageBox::Ok);
}

void MainWindow::showHelpWindow()
{
    HelpWindows(m_programDir).showManualWindow(this);
}

void MainWindow::showAbout()
{
    HelpWindows::showAbout(this);
}

void MainWindow::fillWindowList()
{
    QMenu *window = menu(QStringLiteral("mnuWindow"));
    for (QAction *a : std::as_const(m_windowListActions)) {
        window->removeAction(a);
        a->deleteLater();
    }
    m_windowListActions.clear();
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    m_windowListSeparator->setVisible(!windows.isEmpty());
    int n = 0;
    for (QMdiSubWindow *w : windows) {
        QString title = w->windowTitle();
        title.replace(QLatin1String("&"), QLatin1String("&&"));
        QAction *a = window->addAction(QStringLiteral("&%1 %2").arg(++n).arg(title));
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, w] { m_mdi->setActiveSubWindow(w); });
        m_windowListActions.append(a);
    }
}

void MainWindow::applyFontName(const QString &name)
{
    if (DocumentWindow *doc = activeDocument()) {
        doc->setSelectionFontName(name);
        doc->focusGrid();
    }
}

void MainWindow::applyFontSize(const QString &size)
{
    if (DocumentWindow *doc = activeDocument()) {
        doc->setSelectionFontSize(NumberText::leadingValue(size));
        doc->focusGrid();
    }
}

void MainWindow::showMixingCheck()
{
    const SeatOrder order = ArrangementDialog::rememberedSeatOrder(*m_settings);
    const Result<QStringList> findings =
        m_workspace.use([&](Database &db) { return MixingCheck::findings(db, order); });
    if (!findings) {
        m_message(this, QMessageBox::Warning, QStringLiteral("提示"), findings.status().message(),
                  QMessageBox::Ok);
        return;
    }
    if (findings->isEmpty()) {
        m_message(this, QMessageBox::NoIcon, QString(), MixingCheck::allMixedText(),
                  QMessageBox::Ok);
        return;
    }
    auto *dialog = new MixingCheckDialog(*findings, this);
    dialog->show();
}

void MainWindow::showExamSwapDialog()
{
    if (!m_swapDialog) {
        auto *dialog = new ExamSwapDialog(m_workspace, this);
        dialog->setMessageFunction(m_message);
        connect(dialog, &ExamSwapDialog::swapped, this,
                [this] { m_changes->announce({TableNames::examinees}); });
        m_swapDialog = dialog;
    }
    // The desks are numbered as the arrangement dialog was last set.
    qobject_cast<ExamSwapDialog *>(m_swapDialog.data())
        ->setSeatOrder(ArrangementDialog::rememberedSeatOrder(*m_settings));
    m_swapDialog->show();
    m_swapDialog->raise();
    m_swapDialog->activateWindow();
}

} // namespace fenpai
