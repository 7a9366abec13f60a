#include "db/database.h"
#include "db/datadirectory.h"
#include "grid/grid.h"
#include "jobs/reports/scoreinforeport.h"
#include "ui/documents/documentwindow.h"
#include "ui/documents/filterdialog.h"
#include "ui/main/commandbar.h"
#include "ui/main/dynamicmenu.h"
#include "ui/main/filecommands.h"
#include "ui/main/mainwindow.h"
#include "ui/main/mdilayout.h"
#include "ui/main/passworddialog.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>

#include <gtest/gtest.h>

#include <deque>

using namespace fenpai;

namespace {

struct Said
{
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
};

// A window on a fresh data directory; its messages are recorded, and its questions answered
// from `answers` in turn (No once they run out).
class Roads : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindow::Options options;
        options.dataDirectory = dir.path();
        options.programDir = dir.path();
        options.settingsFile = dir.filePath("settings.ini");
        w = std::make_unique<MainWindow>(options);
        w->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &title,
                                     const QString &text, QMessageBox::StandardButtons buttons) {
            said.append({title, text, buttons});
            if (buttons == QMessageBox::Ok)
                return QMessageBox::Ok;
            if (answers.empty())
                return buttons.testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Cancel;
            const QMessageBox::StandardButton a = answers.front();
            answers.pop_front();
            return a;
        });
        w->setFileChooser([this] { return files.isEmpty() ? QString() : files.takeFirst(); });
    }

    void sql(std::initializer_list<const char *> statements)
    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        for (const char *statement : statements)
            ASSERT_TRUE(db.exec(QString::fromUtf8(statement)).isOk()) << statement;
    }
    qint64 count(const char *statement)
    {
        Database db;
        EXPECT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        const Result<QVariant> n = db.scalar(QString::fromUtf8(statement));
        return n ? n->toLongLong() : -1;
    }
    int documents() const { return int(w->mdiArea()->subWindowList().size()); }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    QList<Said> said;
    std::deque<QMessageBox::StandardButton> answers;
    QStringList files;
};

const QString demo = QStringLiteral(FENPAI_SOURCE_DIR "/resources/demo/");

} // namespace

// Scores come in through the import menu like the other data; until they do, the score report
// says what is missing instead of showing the empty table's subjects as zeros.
TEST_F(Roads, ScoresImportFromTheMenuAndTheirReportWaitsForThem)
{
    EXPECT_TRUE(w->menu("daoru")->actions().contains(w->action("cjsj")));
    w->action("cjbxx")->trigger();
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0].text, ScoreInfoReport::noScoresMessage());
    EXPECT_EQ(documents(), 0);

    said.clear();
    files = {demo + "成绩数据.xlsx"};
    w->action("cjsj")->trigger();
    ASSERT_FALSE(said.isEmpty());
    EXPECT_TRUE(said[0].text.startsWith("EXCEL导入成功！")) << said[0].text.toStdString();
    EXPECT_GT(count("select count(*) from 成绩表"), 0);

    said.clear();
    w->action("cjbxx")->trigger();
    EXPECT_TRUE(said.isEmpty());
    ASSERT_EQ(documents(), 1);
    EXPECT_EQ(w->activeDocument()->windowTitle(), "基本情况表");
}

// An import over a division asks before anything is written; No keeps every class, Yes
// replaces the table. An arrangement is asked about the same way.
TEST_F(Roads, ImportAsksBeforeReplacingADivisionOrAnArrangement)
{
    files = {demo + "分班数据.xlsx"};
    w->action("xsfb")->trigger();
    ASSERT_EQ(count("select count(*) from 分班数据表"), 600);
    sql({"update 分班数据表 set 新分班=rowid % 12 + 1"});

    said.clear();
    files = {demo + "分班数据.xlsx"};
    answers = {QMessageBox::No};
    w->action("xsfb")->trigger();
    ASSERT_EQ(said.size(), 1) << "the question alone: no success, no failure";
    EXPECT_EQ(said[0].text, "分班数据表中 600 名学生已分班，导入后分班结果将被替换。继续吗？");
    EXPECT_EQ(count("select count(*) from 分班数据表 where 新分班 > 0"), 600);

    said.clear();
    files = {demo + "分班数据.xlsx"};
    answers = {QMessageBox::Yes};
    w->action("xsfb")->trigger();
    ASSERT_EQ(said.size(), 2);
    EXPECT_TRUE(said[1].text.startsWith("EXCEL导入成功！"));
    EXPECT_EQ(count("select count(*) from 分班数据表 where 新分班 > 0"), 0);

    files = {demo + "考场编排数据.xlsx"};
    w->action("kcbp")->trigger();
    sql({"update 考生表 set 考场=1 where rowid <= 30"});
    said.clear();
    files = {demo + "考场编排数据.xlsx"};
    w->action("kcbp")->trigger();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].text.startsWith("考生表中 30 名考生已编排考场"));
    EXPECT_EQ(count("select count(*) from 考生表 where 考场 = 1"), 30);
}

// The command toolbar's buttons are enabled exactly when the menu entries they run are, with and
// without a document; every toolbar part has a name a screen reader says and a tooltip.
TEST_F(Roads, ToolbarButtonsFollowTheirEntriesAndEveryPartIsNamed)
{
    auto *bar = w->findChild<CommandBar *>();
    ASSERT_NE(bar, nullptr);
    auto states = [&] {
        QString out;
        for (int b = 1; b <= 16; ++b) {
            if (QAction *button = bar->button(b)) {
                EXPECT_EQ(button->isEnabled(), w->action(CommandBar::menuEntry(b))->isEnabled())
                    << "button " << b;
                out += button->isEnabled() ? u'1' : u'0';
            }
        }
        return out;
    };
    // Open, save, print, preview, copy, paste, merge, unmerge, 4 × insert/delete, preview, help.
    EXPECT_EQ(states(), "10000000000001");
    w->action("mnuWindowNewWindow")->trigger();
    EXPECT_EQ(states(), "11111111111111");
    w->mdiArea()->closeAllSubWindows();
    EXPECT_EQ(documents(), 0);
    EXPECT_EQ(states(), "10000000000001");

    int parts = 0;
    for (QToolBar *toolbar : w->findChildren<QToolBar *>()) {
        for (QWidget *part : toolbar->findChildren<QWidget *>()) {
            if (!qobject_cast<QToolButton *>(part) && !qobject_cast<QComboBox *>(part))
                continue;
            ++parts;
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(part);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty())
                << qPrintable(part->objectName()) << " in " << qPrintable(toolbar->objectName());
            EXPECT_FALSE(part->toolTip().isEmpty()) << qPrintable(part->objectName());
        }
    }
    EXPECT_GE(parts, 14 + 2 + 3 + 4) << "command buttons, font boxes, B I U, the four pickers";
}

// Every document shows unsaved edits with "*"; closing one asks 保存 / 不保存 / 取消, where 保存
// is 另存为 for anything but a table's rows; quitting asks for each and 取消 keeps the window.
TEST_F(Roads, UnsavedEditsAreMarkedAndAskedAboutOnClosingAndQuitting)
{
    auto *files = w->findChild<FileCommands *>();
    QString saveTo;
    files->setFileChooser([&](FileCommands::FileKind, bool) { return saveTo; });
    auto edit = [](DocumentWindow *doc, const QString &text) {
        doc->change("输入", GridArea{1, 1, 1, 1}, [text](Grid &g) { g.setCellText(1, 1, text); });
    };

    w->action("mnuWindowNewWindow")->trigger();
    DocumentWindow *doc = w->activeDocument();
    edit(doc, "甲");
    EXPECT_TRUE(doc->isModified());
    EXPECT_EQ(doc->windowTitle(), "新文档*");
    EXPECT_EQ(doc->title(), "新文档");
    doc->undoStack()->undo();
    EXPECT_EQ(doc->windowTitle(), "新文档") << "back where it was saved";
    edit(doc, "乙");

    // 取消 keeps it; 保存 with the file dialog cancelled keeps it too.
    answers = {QMessageBox::Cancel, QMessageBox::Save};
    QMdiSubWindow *sub = w->mdiArea()->currentSubWindow();
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(said.last().text, "“新文档”已修改，是否另存为表格文件（.cel）？");
    EXPECT_FALSE(sub->close());
    EXPECT_EQ(documents(), 1);
    // 保存 writes the file and closes.
    saveTo = dir.filePath("新文档.cel");
    answers = {QMessageBox::Save};
    EXPECT_TRUE(sub->close());
    EXPECT_TRUE(QFile::exists(saveTo));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(documents(), 0);

    // Quitting: two edited documents; 取消 on the first keeps both and the window.
    w->action("mnuWindowNewWindow")->trigger();
    edit(w->activeDocument(), "丙");
    w->action("mnuWindowNewWindow")->trigger();
    edit(w->activeDocument(), "丁");
    w->action("mnuWindowNewWindow")->trigger(); // nothing typed: closes without a word
    said.clear();
    answers = {QMessageBox::Cancel};
    EXPECT_FALSE(w->close());
    EXPECT_EQ(said.size(), 1);
    EXPECT_EQ(documents(), 3);
    answers = {QMessageBox::Discard, QMessageBox::Discard};
    said.clear();
    EXPECT_TRUE(w->close());
    EXPECT_EQ(said.size(), 2) << "one question for each edited document";
}

// A document made from a table that a job then changes says so in its caption and a bar; 刷新
// (F5) makes it again from the data, keeping a page setup the user chose. The document that
// wrote the change, and documents of other tables, stay as they are.
TEST_F(Roads, DocumentsOfChangedTablesAreMarkedAndF5RefillsThem)
{
    sql({"CREATE TABLE 分班数据表 (姓名 text, 性别 text, 成绩 double, 原学校 text, 原班级 text, "
         "新分班 double)",
         "INSERT INTO 分班数据表 VALUES ('甲','男',90,'一中','1',0)",
         "INSERT INTO 分班数据表 VALUES ('乙','女',80,'二中','1',0)",
         "CREATE TABLE 考生表 (学校 text, 班级 text, 姓名 text)",
         "INSERT INTO 考生表 VALUES ('一中','1','甲')"});
    QAction *refresh = w->action("mnuRefresh");
    EXPECT_EQ(refresh->shortcut(), QKeySequence(Qt::Key_F5));

    w->action("fbbxx")->trigger(); // statistics of 分班数据表
    DocumentWindow *stats = w->activeDocument();
    ASSERT_NE(stats, nullptr);
    EXPECT_TRUE(refresh->isEnabled());
    PageSetup landscape = stats->grid().pageSetup();
    landscape.orientation = PageSetup::Orientation::Landscape;
    landscape.leftMargin = 3.5;
    stats->grid().setPageSetup(landscape);
    stats->notePageSetupChanged();
    stats->markSaved();
    w->action("kstable")->trigger();
    DocumentWindow *examinees = w->activeDocument();
    w->action("fbmum")->trigger();
    DocumentWindow *pupils = w->activeDocument();

    // A third pupil, saved back from the table's own document.
    Grid &g = pupils->grid();
    g.setCellText(3, 1, "丙");
    g.setCellText(3, 2, "男");
    g.setCellText(3, 3, "70");
    g.setCellText(3, 4, "三中");
    w->action("mnuSave")->trigger();
    ASSERT_EQ(count("select count(*) from 分班数据表"), 3);
    EXPECT_FALSE(pupils->isStale());
    EXPECT_FALSE(examinees->isStale());
    ASSERT_TRUE(stats->isStale());
    EXPECT_TRUE(stats->windowTitle().endsWith("（已过期）")) << stats->windowTitle().toStdString();
    auto *bar = stats->findChild<QWidget *>("staleBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isVisibleTo(stats));
    const int rowsBefore = stats->grid().rows();

    w->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(stats->parentWidget()));
    ASSERT_EQ(w->activeDocument(), stats);
    refresh->trigger();
    EXPECT_FALSE(stats->isStale());
    EXPECT_FALSE(bar->isVisibleTo(stats));
    EXPECT_EQ(stats->grid().rows(), rowsBefore + 1) << "三中 has a row now";
    EXPECT_EQ(stats->grid().pageSetup().orientation, PageSetup::Orientation::Landscape);
    EXPECT_EQ(stats->grid().pageSetup().leftMargin, 3.5);

    // A document with edits asks before a refill throws them away; No keeps them.
    stats->change("输入", GridArea{1, 1, 1, 1}, [](Grid &grid) { grid.setCellText(1, 1, "改"); });
    stats->markStale();
    answers = {QMessageBox::No};
    EXPECT_FALSE(stats->refresh());
    EXPECT_EQ(stats->grid().cellText(1, 1), "改");
    EXPECT_TRUE(said.last().text.startsWith("刷新会丢掉"));

    // A document of nobody's making cannot be refilled.
    w->action("mnuWindowNewWindow")->trigger();
    EXPECT_FALSE(refresh->isEnabled());
}

// New documents open wholly inside the work area, each a step from the one before.
TEST(NewDocuments, OpenInsideTheArea)
{
    const QRect area(0, 0, 1200, 560);
    for (int n = 1; n <= 20; ++n)
        EXPECT_TRUE(area.contains(MdiLayout::newWindowGeometry(area, n))) << n;
    EXPECT_NE(MdiLayout::newWindowGeometry(area, 2), MdiLayout::newWindowGeometry(area, 3));
    // An area too small for the least size: the window starts at its corner.
    EXPECT_EQ(MdiLayout::newWindowGeometry(QRect(0, 0, 300, 200), 5), QRect(0, 0, 400, 300));
}

// 修改密码 starts with the user's name; each refusal goes back to the box at fault.
TEST_F(Roads, PasswordChangeStartsWithTheUserAndReturnsToTheBoxAtFault)
{
    w->state().logIn("admin");
    w->action("editmima")->trigger();
    auto *change = w->findChild<PasswordDialog *>("mimafrm");
    ASSERT_NE(change, nullptr);
    EXPECT_EQ(change->newUserEdit()->text(), "admin");
    QLineEdit *old = change->oldPasswordEdit();
    QLineEdit *user = change->newUserEdit();
    QLineEdit *fresh = change->newPasswordEdit();
    QLineEdit *confirm = change->confirmEdit();
    const struct
    {
        const char *old, *user, *fresh, *confirm;
        QLineEdit *atFault;
        const char *message;
    } cases[] = {
        {"", "admin", "a", "a", old, "请输入旧密码!"},
        {"x", "", "a", "a", user, "请输入用户名!"},
        {"x", "admin", "", "a", fresh, "请输入新密码!"},
        {"x", "admin", "a", "", confirm, "请确认新密码!"},
        {"x", "admin", "a", "b", fresh, "两次输入的新密码不同!"},
        {"wrong", "admin", "a", "a", old, "旧密码错误!"},
    };
    for (const auto &c : cases) {
        old->setText(c.old);
        user->setText(c.user);
        fresh->setText(c.fresh);
        confirm->setText(c.confirm);
        confirm->setFocus();
        change->accept();
        EXPECT_EQ(said.last().text, c.message);
        EXPECT_EQ(change->focusWidget(), c.atFault) << c.message;
    }
    EXPECT_EQ(w->state().userName(), "admin");
}

// 筛选 goes by 原学校 and 新分班 on the intake's document, and says so when a document has
// neither a school nor a class column.
TEST_F(Roads, FilterOnADivisionDocumentAndOnOneWithoutTheColumns)
{
    sql({"CREATE TABLE 分班数据表 (姓名 text, 性别 text, 成绩 double, 原学校 text, 原班级 text, "
         "新分班 double)",
         "INSERT INTO 分班数据表 VALUES ('甲','男',90,'一中','1',2)",
         "INSERT INTO 分班数据表 VALUES ('乙','女',80,'二中','1',10)",
         "INSERT INTO 分班数据表 VALUES ('丙','男',70,'一中','2',2)",
         "INSERT INTO 分班数据表 VALUES ('丁','女',60,'一中','2',10)",
         "CREATE TABLE 考场表 (考场号 double, 人数 double, 考场地点 text)",
         "INSERT INTO 考场表 VALUES (1, 30, '一楼')"});
    w->action("fbmum")->trigger();
    w->action("shaixwan")->trigger();
    auto *filter = w->findChild<FilterDialog *>("frmshaixuan");
    ASSERT_NE(filter, nullptr);
    ASSERT_EQ(filter->schoolBox()->itemText(0), "一中");
    filter->schoolBox()->setCurrentIndex(0);
    QStringList classes;
    for (int i = 0; i < filter->classBox()->count(); ++i)
        classes.append(filter->classBox()->itemText(i));
    EXPECT_EQ(classes, QStringList({"", "2", "10"}));
    filter->classBox()->setCurrentIndex(1);
    filter->accept();
    DocumentWindow *doc = w->activeDocument();
    EXPECT_EQ(doc->windowTitle(), "一中2班成绩表");
    EXPECT_EQ(doc->grid().cellText(2, 1), "丙");
    EXPECT_EQ(doc->grid().rows(), 4);

    said.clear();
    w->action("kctable")->trigger();
    const int open = documents();
    w->action("shaixwan")->trigger();
    ASSERT_EQ(said.size(), 1);
    EXPECT_EQ(said[0].text, "这个文档没有“学校”或“原学校”列，也没有“班级”或“新分班”列，无法筛选。");
    EXPECT_EQ(documents(), open);
}

// A class menu past forty entries groups them by forty; the item numbers stay what the reports
// go by.
TEST_F(Roads, LongClassMenusAreGroupedByForty)
{
    Database db;
    ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
    ASSERT_TRUE(db.exec("CREATE TABLE 分班数据表 (姓名 text, 性别 text, 成绩 double, 原学校 text, "
                        "原班级 text, 新分班 double)")
                    .isOk());
    for (int k = 1; k <= 85; ++k)
        ASSERT_TRUE(
            db.exec(QStringLiteral("INSERT INTO 分班数据表 VALUES ('生%1','男',60,'一中','1',%1)")
                        .arg(k))
                .isOk());
    w->rebuildNewClassMenu();
    DynamicMenu *menu = w->dynamicMenu("class");
    ASSERT_EQ(menu->count(), 86);
    ASSERT_EQ(menu->groups().size(), 3);
    EXPECT_EQ(menu->groups()[2]->title(), "81–85");
    EXPECT_EQ(menu->groups()[1]->actions().size(), 40);
    EXPECT_TRUE(menu->groups()[1]->actions().contains(menu->item(41)));
    EXPECT_TRUE(w->menu("newcl")->actions().contains(menu->item(0)));
    EXPECT_EQ(w->menu("newcl")->actions().size(), 1 + 3);

    w->state().logIn("admin");
    menu->item(41)->trigger();
    ASSERT_NE(w->activeDocument(), nullptr) << said.value(0).text.toStdString();
    EXPECT_TRUE(w->activeDocument()->windowTitle().startsWith("41"))
        << w->activeDocument()->windowTitle().toStdString();

    ASSERT_TRUE(db.exec("DELETE FROM 分班数据表 WHERE 新分班 > 5").isOk());
    w->rebuildNewClassMenu();
    EXPECT_TRUE(menu->groups().isEmpty());
    EXPECT_EQ(w->menu("newcl")->actions().size(), 6);
}
