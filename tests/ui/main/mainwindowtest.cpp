#include "ui/main/mainwindow.h"
#include "cli/cli.h"
#include "db/database.h"
#include "grid/grid.h"
#include "ui/documents/documentwindow.h"
#include "ui/documents/filterdialog.h"
#include "ui/grid/gridview.h"
#include "ui/main/alignpicker.h"
#include "ui/main/application.h"
#include "ui/main/borderpicker.h"
#include "ui/main/colorpicker.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/filecommands.h"
#include "ui/main/logindialog.h"
#include "ui/main/passworddialog.h"
#include "ui/main/pickergrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QUndoStack>
#include <QtTest/QTest>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

struct Message
{
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// A main window on a fresh data directory and settings file, recording its messages.
class Window : public ::testing::Test
{
protected:
    // What the window and its dialogs show is recorded, not shown; documents closing are let
    // go without saving.
    auto recorder()
    {
        return [this](QWidget *, QMessageBox::Icon icon, const QString &title, const QString &text,
                      QMessageBox::StandardButtons buttons) {
            messages.append({title, text, icon});
            return buttons.testFlag(QMessageBox::Discard) ? QMessageBox::Discard : QMessageBox::Ok;
        };
    }

    std::unique_ptr<MainWindow> make()
    {
        MainWindow::Options options;
        options.dataDirectory = dir.path();
        options.programDir = dir.path();
        options.settingsFile = dir.filePath("settings.ini");
        auto w = std::make_unique<MainWindow>(options);
        w->setMessageFunction(recorder());
        return w;
    }

    // Runs statements on the data directory's database.
    void sql(std::initializer_list<const char *> statements)
    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        for (const char *statement : statements)
            ASSERT_TRUE(db.exec(QString::fromUtf8(statement)).isOk()) << statement;
    }

    QTemporaryDir dir;
    QList<Message> messages;
};

} // namespace

TEST(Application, DataDirectoryWithOrWithoutEquals)
{
    EXPECT_EQ(Application::dataDirArgument({"fenpai", "--data-dir", "/a b"}), "/a b");
    EXPECT_EQ(Application::dataDirArgument({"fenpai", "--data-dir=/a b"}), "/a b");
    EXPECT_EQ(Application::dataDirArgument({"fenpai", "--data-dir=/x", "--data-dir", "/y"}), "/y");
    EXPECT_EQ(Application::dataDirArgument({"fenpai"}), "");
    EXPECT_EQ(Application::dataDirArgument({"fenpai", "--data-dir"}), "");
    EXPECT_EQ(Application::dataDirArgument({"--data-dir=/p"}), ""); // the program's own name
    // Either form starts the window, not a command.
    EXPECT_FALSE(Cli::wantsCommandLine({"--data-dir=/a"}));
    EXPECT_FALSE(Cli::wantsCommandLine({"--data-dir", "/a"}));
}

TEST_F(Window, FirstStartPlacementAndNoSaveWhileMinimised)
{
    {
        auto w = make();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_EQ(QRect(w->pos(), w->size()), MainWindow::firstStartGeometry(screen));
        w->move(150, 90);
        w->resize(600, 450);
        w->close();
    }
    QSettings s(dir.filePath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(s.value("Settings/MainLeft").toString(), "2250");
    EXPECT_EQ(s.value("Settings/MainTop").toString(), "1350");
    EXPECT_EQ(s.value("Settings/MainWidth").toString(), "9000");
    {
        auto w = make();
        EXPECT_EQ(w->pos(), QPoint(150, 90));
        w->showMinimized();
        w->setWindowState(Qt::WindowMinimized);
        w->move(10, 10);
        w->close();
    }
    QSettings again(dir.filePath("settings.ini"), QSettings::IniFormat);
    EXPECT_EQ(again.value("Settings/MainLeft").toString(), "2250") << "not written while minimised";
}

TEST(FirstStart, TakesMostOfTheScreenCentred)
{
    EXPECT_EQ(MainWindow::firstStartGeometry(QRect(0, 0, 1366, 768)), QRect(102, 58, 1161, 652));
    // A panel on the left or top moves the free area; the window stays inside it.
    const QRect avail(64, 27, 1302, 741);
    const QRect placed = MainWindow::firstStartGeometry(avail);
    EXPECT_TRUE(avail.contains(placed));
    EXPECT_EQ(placed.center().x(), avail.center().x());
    EXPECT_LE(std::abs(placed.center().y() - avail.center().y()), 1);
}

TEST(Translations, StandardButtonsAndDialogsSpeakChinese)
{
    ASSERT_TRUE(Application::installQtTranslations(*QCoreApplication::instance()))
        << "qt6-translations-l10n is installed by scripts/deps.sh";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "查找范围：");
}

TEST_F(Window, OffScreenPlacementIsPulledBack)
{
    {
        QSettings s(dir.filePath("settings.ini"), QSettings::IniFormat);
        s.setValue("Settings/MainLeft", "900000");
        s.setValue("Settings/MainTop", "900000");
    }
    auto w = make();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(QRect(w->pos(), w->size())));
}

TEST_F(Window, WithoutADocumentOnlyOpeningAFileAsks)
{
    auto w = make();
    // No document: only opening a file (and the help) does anything, and nothing breaks.
    int asked = 0;
    w->findChild<FileCommands *>()->setFileChooser([&](FileCommands::FileKind, bool save) {
        EXPECT_FALSE(save);
        ++asked;
        return QString();
    });
    for (int b = 1; b <= 15; ++b)
        w->toolbarClicked(b);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(Window, GateLoginAndPasswordChange)
{
    auto w = make();
    EXPECT_FALSE(w->passGate());
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "你还没有登录，请先登录。在菜单：文件/登录 下 登录。");

    w->action("logain")->trigger();
    auto *login = w->findChild<LoginDialog *>("frmLogin");
    ASSERT_NE(login, nullptr);
    login->setMessageFunction(recorder());
    login->userNameEdit()->setText(" admin ");
    login->passwordEdit()->setText("wrong");
    login->accept();
    EXPECT_EQ(messages.last().text, "无效的密码或用户名，请重试!");
    EXPECT_EQ(login->passwordEdit()->selectedText(), "wrong") << "kept and selected for retyping";
    EXPECT_FALSE(w->state().isLoggedIn());
    login->passwordEdit()->setText("admin");
    login->accept();
    EXPECT_EQ(messages.last().text, "登录成功!");
    EXPECT_TRUE(w->state().isLoggedIn());
    EXPECT_EQ(w->state().userName(), "admin");
    EXPECT_TRUE(w->passGate());

    w->action("editmima")->trigger();
    auto *change = w->findChild<PasswordDialog *>("mimafrm");
    ASSERT_NE(change, nullptr);
    change->setMessageFunction(recorder());
    change->oldPasswordEdit()->setText("admin");
    change->newUserEdit()->setText("教务处");
    change->newPasswordEdit()->setText("甲");
    change->confirmEdit()->setText("甲");
    change->accept();
    EXPECT_EQ(messages.last().text, "修改成功!");
    EXPECT_EQ(w->state().userName(), "教务处");

    // The division and arrangement dialogs open once each, modeless.
    w->action("fbsz")->trigger();
    w->action("fbsz")->trigger();
    EXPECT_EQ(w->findChildren<QDialog *>("fbszfrm").size(), 1);
    w->action("bianpai")->trigger();
    EXPECT_EQ(w->findChildren<QDialog *>("kcbpfrm").size(), 1);
    EXPECT_FALSE(w->findChild<QDialog *>("kcbpfrm")->isModal());

    // Cancelling the login dialog closes the gate again.
    w->action("logain")->trigger();
    login->reject();
    EXPECT_FALSE(w->state().isLoggedIn());
}

TEST_F(Window, BrowseCommandsOpenDocumentsAndMenusFollowTheData)
{
    sql({"CREATE TABLE 考生表 (学校 text, 班级 text, 姓名 text, 成绩 double)",
         "INSERT INTO 考生表 VALUES ('一中','初三(2)班','甲',95)",
         "CREATE TABLE 考场表 (考场号 double, 人数 double, 考场地点 text)",
         "INSERT INTO 考场表 VALUES (1, 30, '一楼')"});
    auto w = make();
    EXPECT_EQ(w->dynamicMenu("gbj")->captions(), QStringList({"全部班级", "一中/初三(2)班"}));
    EXPECT_EQ(w->dynamicMenu("gkc")->captions(), QStringList({"全部考场", "1"}));
    EXPECT_EQ(w->dynamicMenu("tjschoo")->captions(), QStringList({"学校", "一中"}));

    w->action("kstable")->trigger();
    DocumentWindow *doc = w->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->windowTitle(), "考生表");
    EXPECT_EQ(doc->titleBox()->text(), "考生表 [1]");

    w->action("kctable")->trigger();
    EXPECT_TRUE(messages.isEmpty());
    // A table never imported, or a saved query whose table has gone, says so and leaves no
    // empty document behind.
    w->action("fbmum")->trigger();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(w->activeDocument()->windowTitle(), "考场表");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, "找不到数据表 分班数据表");
    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        ASSERT_TRUE(
            db.execNative("CREATE TABLE 旧表 (a); CREATE VIEW 旧查询 AS SELECT a FROM 旧表; "
                          "DROP TABLE 旧表")
                .isOk());
    }
    EXPECT_EQ(w->showSource("旧查询", "旧查询"), nullptr);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].text, "查询“旧查询”无法打开：它用到的数据表或字段不存在或有误");
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 2);

    // The selection sum reaches the status bar.
    doc->gridView()->selection().select(1, 4, 1, 4);
    EXPECT_EQ(w->statusText(2), "和  95");
}

TEST_F(Window, ImportsKeepOldDataOnFailureAndRebuildTheMenus)
{
    sql({"CREATE TABLE 分班数据表 (姓名 text, 新分班 text)",
         "INSERT INTO 分班数据表 VALUES ('甲','初三(10)班')",
         "INSERT INTO 分班数据表 VALUES ('乙','初三(2)班')"});
    auto w = make();
    EXPECT_EQ(w->dynamicMenu("class")->captions(),
              QStringList({"全部班级", "初三(2)班", "初三(10)班"}));
    const QString fixtures = QStringLiteral(FENPAI_SOURCE_DIR "/tests/workbook/fixtures/");
    QString chosen;
    w->setFileChooser([&chosen] { return chosen; });

    chosen.clear(); // cancelled: nothing happens
    w->action("xsfb")->trigger();
    EXPECT_TRUE(messages.isEmpty());

    chosen = fixtures + "same.xlsx";
    // Both pupils have a class: the import asks first, and goes on when told to.
    w->setMessageFunction([this](QWidget *, QMessageBox::Icon icon, const QString &title,
                                 const QString &text, QMessageBox::StandardButtons buttons) {
        messages.append({title, text, icon});
        return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
    w->action("xsfb")->trigger();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[1].text.startsWith("EXCEL导入成功！请进行相关设置"));
    // The reimport leaves no blank class in the menu and reports its rows.
    EXPECT_EQ(w->dynamicMenu("class")->captions(), QStringList({"全部班级"}));
    EXPECT_TRUE(w->statusText(1).startsWith("已导入：分班数据表 ")) << qPrintable(w->statusText(1));
    Database db;
    ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
    const QVariant before = *db.scalar("select count(*) from 分班数据表");
    db.close();

    messages.clear();
    chosen = fixtures + "emptysheet.xlsx";
    w->action("xsfb")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].text.contains("是空的")) << messages[0].text.toStdString();
    ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
    EXPECT_EQ(*db.scalar("select count(*) from 分班数据表"), before) << "the old table stays";

    messages.clear();
    w->action("xufu")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].text.contains("xtsztable"));
}

// A command that needs the database says why it cannot have it, and the window goes on; an
// import and a document stand for the rest, which share the one opening path.
TEST_F(Window, ADatabaseThatCannotBeOpenedIsReportedByEachCommand)
{
    const QString file = DataDirectory(dir.path()).databasePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(file).absolutePath()));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    const QString why = "文件 " + file + " 不是本程序的数据库文件";
    auto w = make();
    EXPECT_EQ(w->dynamicMenu("gkc")->captions(), QStringList({"全部考场"}));
    EXPECT_TRUE(messages.isEmpty()) << "starting up is quiet";

    w->setFileChooser(
        [] { return QStringLiteral(FENPAI_SOURCE_DIR "/tests/workbook/fixtures/same.xlsx"); });
    w->action("xsfb")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].text, why);

    w->action("kstable")->trigger();
    EXPECT_EQ(messages.last().text, why);
    EXPECT_TRUE(w->mdiArea()->subWindowList().isEmpty()) << "no empty document is left behind";

    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(4096, 'x')) << "the file is left alone";
}

TEST_F(Window, NewWindowOpensAnEmptyDocumentInTheWorkspace)
{
    sql({"CREATE TABLE 考场表 (考场号 double, 人数 double)"});
    auto w = make();
    w->show();
    w->action("kctable")->trigger();
    w->action("mnuWindowNewWindow")->trigger();
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 2);
    DocumentWindow *doc = w->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->windowTitle(), "新文档") << "not the last document's title";
    EXPECT_TRUE(doc->titleBox()->text().isEmpty());
    EXPECT_EQ(doc->parentWidget(), w->mdiArea()->activeSubWindow());
    EXPECT_EQ(w->fontSizeBox()->currentIndex(), w->fontSizeBox()->findText("9"))
        << "the list highlights the size shown";
    EXPECT_NE(QApplication::focusWidget(), w->fontNameBox());
    EXPECT_NE(QApplication::focusWidget(), w->fontSizeBox());
}

TEST_F(Window, HelpWithoutTheManualSaysSo)
{
    auto w = make();
    w->action("mnufileHelp")->trigger();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_EQ(messages.last().text, "帮助文件不存在。");
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("分班排考");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST_F(Window, ExamListingsFromTheMenusBehindTheGate)
{
    sql({"CREATE TABLE 考生表 (学校 text, 班级 text, 姓名 text, 性别 text, 考场 double, 考号 "
         "double, 座位号 double)",
         "CREATE TABLE 考场表 (考场号 double, 人数 double, 考场地点 text)",
         "INSERT INTO 考场表 VALUES (101, 30, '一楼')",
         "INSERT INTO 考场表 VALUES (102, 30, '二楼')"});
    auto w = make();
    w->action("hbjc")->trigger();
    EXPECT_EQ(messages.last().text, "全部混排") << "an empty table is mixed";

    w->dynamicMenu("gkc")->item(2)->trigger();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 0) << "behind the gate";

    w->state().logIn("admin");
    w->dynamicMenu("gkc")->item(2)->trigger();
    ASSERT_NE(w->activeDocument(), nullptr);
    EXPECT_EQ(w->state().documentTitle(), "第 2 考场考生名单（考场号 102）");

    sql({"INSERT INTO 考生表 VALUES ('一中','1班','甲','男',1,1,1)",
         "INSERT INTO 考生表 VALUES ('一中','1班','乙','女',1,2,2)"});
    w->rebuildSchoolMenu();
    w->rebuildRoomAndClassMenus();
    w->dynamicMenu("tjschoo")->item(0)->trigger();
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 2) << "item 0 opens every school's statistics";
    EXPECT_EQ(w->activeDocument()->windowTitle(), "考场编排统计表");
    w->dynamicMenu("gbj")->item(1)->trigger();
    EXPECT_EQ(w->activeDocument()->titleBox()->text(), "一中 1班 考场考号表 [2]");

    w->action("hbjc")->trigger();
    auto *check = w->findChild<QDialog *>("hbjcfrm");
    ASSERT_NE(check, nullptr) << "the findings in one window";
    EXPECT_EQ(check->findChild<QPlainTextEdit *>()->toPlainText(),
              "在第1考场有没混排的1：考号 2 乙 与 考号 1 甲（一中 1班）\n"
              "在第1考场1号和2号座位的考生同班相邻2：考号 1 甲 与 考号 2 乙（一中 1班）");

    w->action("ktiaoz")->trigger();
    EXPECT_EQ(w->findChildren<QDialog *>("kcsgtz").size(), 1);
}

TEST_F(Window, ClassReportsFromTheMenus)
{
    sql({"CREATE TABLE 分班数据表 (姓名 text, 性别 text, 成绩 double, 原学校 text, 原班级 text, "
         "新分班 double)",
         "INSERT INTO 分班数据表 VALUES ('甲','男',90,'一中','1班',3)",
         "INSERT INTO 分班数据表 VALUES ('乙','女',95,'二中','2班',3)"});
    auto w = make();
    w->action("fbbxx")->trigger();
    ASSERT_NE(w->activeDocument(), nullptr) << "no login needed";

    w->action("czzpm")->trigger();
    EXPECT_EQ(w->mdiArea()->subWindowList().size(), 1) << "behind the gate";
    w->action("sgtz")->trigger();
    EXPECT_EQ(w->findChildren<QDialog *>("sgtzfrm").size(), 0);

    w->state().logIn("admin");
    w->action("czzpm")->trigger();
    EXPECT_EQ(w->state().documentTitle(), "新分班基本情况表");

    w->rebuildNewClassMenu();
    ASSERT_EQ(w->dynamicMenu("class")->count(), 2);
    w->dynamicMenu("class")->item(1)->trigger();
    EXPECT_EQ(w->activeDocument()->grid().cellText(1, 1), "乙");
    w->dynamicMenu("class")->item(0)->trigger();
    EXPECT_EQ(w->activeDocument()->windowTitle(), "0班");
    EXPECT_EQ(w->activeDocument()->grid().rows(), 2) << "everyone is placed";

    w->action("sgtz")->trigger();
    w->action("sgtz")->trigger();
    ASSERT_EQ(w->findChildren<QDialog *>("sgtzfrm").size(), 1);
    EXPECT_FALSE(w->findChild<QDialog *>("sgtzfrm")->isModal());
}

TEST_F(Window, EditAndFormatCommandsOnTheActiveDocumentAreUndoSteps)
{
    auto w = make();
    w->show();
    auto *align = w->findChild<AlignPicker *>("AlignButton1");
    auto *border = w->findChild<BorderPicker *>("BorderButton1");
    auto *fill = w->findChild<ColorPicker *>("ColorButton1");
    ASSERT_TRUE(align && border && fill && w->findChild<ColorPicker *>("ColorButton2"));
    // No document: the commands are there but disabled.
    for (const char *name : {"mnuPaste", "mnuMerge", "zdypm", "mnuSave", "mnuExportPdf"})
        EXPECT_FALSE(w->findChild<QAction *>(name)->isEnabled()) << name;
    EXPECT_FALSE(align->isEnabled());
    EXPECT_FALSE(w->findChild<QAction *>("mnuUndo")->isEnabled());

    w->action("mnuWindowNewWindow")->trigger();
    DocumentWindow *doc = w->activeDocument();
    ASSERT_NE(doc, nullptr);
    Grid &g = doc->grid();
    g.setCols(4);
    g.setRows(1);
    for (const char *row : {"一中\t1班\t90", "一中\t2班\t85", "二中\t1班\t", "一中\t1班\t90"})
        g.addItem(QString::fromUtf8(row));
    g.setCellText(0, 1, "学校");
    g.setCellText(0, 2, "班级");
    g.setCellText(0, 3, "成绩");
    EXPECT_TRUE(w->findChild<QAction *>("mnuMerge")->isEnabled());
    EXPECT_TRUE(w->findChild<QAction *>("mnuExportPdf")->isEnabled());
    EXPECT_TRUE(align->isEnabled());
    const QByteArray start = g.toJson();

    // Text from another program, pasted with the keys; one step, undone exactly.
    QGuiApplication::clipboard()->setText("x\ty\r\nz\tw\r\n");
    doc->selection().setActiveCell(2, 1);
    QTest::keyClick(doc->gridView(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(g.cellText(2, 1), "x");
    EXPECT_EQ(g.cellText(3, 2), "w");
    EXPECT_EQ(g.cellText(3, 3), "") << "only the pasted cells";
    QAction *undo = w->findChild<QAction *>("mnuUndo");
    EXPECT_EQ(undo->text(), "撤销 粘贴");
    undo->trigger();
    EXPECT_EQ(g.toJson(), start);

    // The toolbar on the selection: the active cell decides bold; index 4 centres.
    doc->selection().select(1, 1, 2, 3);
    g.range(1, 1, 1, 1).setFontBold(true);
    w->findChild<QAction *>("FontButton1_0")->trigger();
    EXPECT_FALSE(g.cellFont(1, 1).bold);
    w->findChild<QAction *>("FontButton1_0")->trigger();
    EXPECT_TRUE(g.cellFont(2, 3).bold);
    align->pick(4);
    EXPECT_EQ(g.cellAlignment(2, 2), GridAlign::CenterMiddle);
    border->pick(9);
    EXPECT_EQ(g.cellStyle(1, 1).borders[0], GridBorder::Style::Thick);
    fill->pick(Qt::yellow);
    EXPECT_EQ(g.cellStyle(2, 2).backColor, QColor(Qt::yellow));
    w->action("mnuMerge")->trigger();
    EXPECT_EQ(g.mergeAt(2, 2), (GridArea{1, 1, 2, 3}));
    EXPECT_EQ(undo->text(), "撤销 合并单元格");
    for (int i = 0; i < 6; ++i)
        undo->trigger();
    EXPECT_TRUE(g.cellFont(1, 1).bold) << "set outside the stack: no step of it";
    EXPECT_FALSE(g.cellFont(2, 3).bold);
    EXPECT_TRUE(g.merges().isEmpty());

    // Rank, then a step back; header sorting; hide and show.
    doc->selection().setActiveCell(1, 3);
    const QByteArray unranked = g.toJson();
    w->action("zdypm")->trigger();
    EXPECT_EQ(g.cellText(0, 4), "成绩排名");
    EXPECT_EQ(g.cellText(4, 4), "1");
    undo->trigger();
    EXPECT_EQ(g.toJson(), unranked);
    w->action("zdypm")->trigger();
    w->action("pm")->trigger();
    EXPECT_TRUE(g.allowUserSort());
    doc->selection().select(1, 1, 1, 3);
    w->action("mnuHideCols")->trigger();
    EXPECT_EQ(g.columnWidth(2), 0);
    doc->selection().select(1, 1, 1, 5);
    w->findChild<QAction *>("mnuShowCols")->trigger();
    EXPECT_GT(g.columnWidth(2), 0);
    EXPECT_EQ(g.columnWidth(5), 0) << "the order column stays hidden";

    // Typing and Delete in the grid are steps too.
    ASSERT_TRUE(doc->gridView()->editCell(4, 1, "三中", true));
    doc->gridView()->commitEdit();
    EXPECT_EQ(undo->text(), "撤销 输入");
    doc->selection().select(1, 1, 4, 1);
    QTest::keyClick(doc->gridView(), Qt::Key_Delete);
    EXPECT_EQ(g.cellText(4, 1), "");
    undo->trigger();
    undo->trigger();
    EXPECT_EQ(g.cellText(4, 1), "一中");
    EXPECT_EQ(g.cellText(2, 1), "一中");

    // Filter: one school into a new document.
    w->action("shaixwan")->trigger();
    auto *filter = w->findChild<FilterDialog *>("frmshaixuan");
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->schoolBox()->count(), 2);
    filter->schoolBox()->setCurrentIndex(0);
    EXPECT_EQ(filter->classBox()->count(), 3);
    filter->accept();
    DocumentWindow *filtered = w->activeDocument();
    ASSERT_NE(filtered, doc);
    EXPECT_EQ(filtered->windowTitle(), "一中成绩表");
    EXPECT_EQ(filtered->grid().rows(), 5);

    w->mdiArea()->closeAllSubWindows();
    EXPECT_FALSE(w->action("mnuMerge")->isEnabled());
    EXPECT_FALSE(align->isEnabled());
}
