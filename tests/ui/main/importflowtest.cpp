#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/division/classdivision.h"
#include "jobs/division/divisionsettings.h"
#include "support/workbookwriter.h"
#include "ui/import/columnmappingdialog.h"
#include "ui/import/sheetchoicedialog.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace fenpai;

namespace {

// Answers the next modal dialog of type D once it shows, with `answer`.
template <typename D> void answer(std::function<void(D *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto *dialog = qobject_cast<D *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

class ImportFlowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindow::Options options;
        options.dataDirectory = dir.path();
        options.programDir = dir.path();
        options.settingsFile = dir.filePath("settings.ini");
        window = std::make_unique<MainWindow>(options);
        window->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &title,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(title + "|" + text);
            return QMessageBox::Ok;
        });
        window->setFileChooser([this] { return files.isEmpty() ? QString() : files.takeFirst(); });
    }
    QStringList columns(const QString &table)
    {
        Database db;
        EXPECT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        return db.columns(table);
    }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    QStringList messages;
    QStringList files;
};

// The school's own workbook: one sheet "初一新生" with its own headers goes through the mapping
// step in one pass, filled in with what was found, and the division runs on the result.
TEST_F(ImportFlowTest, ASchoolsWorkbookInOnePassThroughTheMappingStep)
{
    const QString book = dir.filePath("初一新生.xlsx");
    test::writeWorkbook(book, {{"初一新生", test::schoolIntake(12)}});
    files = {book};
    bool shown = false;
    answer<ColumnMappingDialog>([&shown](ColumnMappingDialog *d) {
        shown = true;
        // Which header matches which field is the matching's own test; two show it arrived.
        EXPECT_EQ(d->box("姓名")->currentText(), "考生姓名");
        EXPECT_EQ(d->box("新分班")->currentText(), "（空列）");
        EXPECT_EQ(d->preview()->rowCount(), ColumnMappingDialog::previewRows);
        EXPECT_EQ(d->preview()->item(0, 0)->text(), "学生1");
        EXPECT_TRUE(d->importButton()->isEnabled());
        if (const QByteArray grab = qgetenv("FENPAI_GRAB"); !grab.isEmpty())
            d->grab().save(QString::fromLocal8Bit(grab));
        d->importButton()->click();
    });
    window->action("xsfb")->trigger();
    ASSERT_TRUE(shown);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages[0].startsWith("导入|EXCEL导入成功！请进行相关设置\n\n导入时对应的字段：\n"
                                       "分班数据表：工作簿中没有“Sheet1”，导入了它唯一的工作表"
                                       "“初一新生”；姓名 ← 考生姓名"))
        << messages[0].toStdString();
    EXPECT_EQ(columns("分班数据表"),
              QStringList({"姓名", "性别", "成绩", "原学校", "原班级", "新分班"}));
    DivisionSettings settings;
    settings.classes = 3;
    settings.balanceSex = settings.balanceSchool = true;
    const auto divided = window->workspace().useOwnConnection(
        [&](Database &db) { return ClassDivision::run(db, settings); });
    EXPECT_TRUE(divided.isOk()) << divided.status().message().toStdString();
}

// Several sheets, none Sheet1: the sheet is asked for; a header that matches nothing is chosen in
// the mapping step, whose import button waits until every field has a column of its own.
TEST_F(ImportFlowTest, SheetChoiceAndAFieldToChoose)
{
    const QString book = dir.filePath("年级.xlsx");
    test::writeWorkbook(book, {{"说明", {{"本表由教务处整理"}}},
                               {"初一",
                                {{"名称", "性别", "分数", "学校"},
                                 {"张伟", "男", 80, "一中"},
                                 {"李娜", "女", 90, "二中"}}}});
    files = {book};
    answer<SheetChoiceDialog>([](SheetChoiceDialog *d) {
        ASSERT_EQ(d->list()->count(), 2);
        EXPECT_EQ(d->list()->item(1)->text(), "初一（2 行）");
        EXPECT_EQ(d->sheet(), "初一") << "the largest sheet is offered";
        d->accept();
        answer<ColumnMappingDialog>([](ColumnMappingDialog *d) {
            EXPECT_EQ(d->box("姓名")->currentIndex(), -1);
            EXPECT_FALSE(d->importButton()->isEnabled());
            d->box("姓名")->setCurrentText("分数"); // already 成绩's column
            EXPECT_FALSE(d->importButton()->isEnabled());
            d->box("姓名")->setCurrentText("名称");
            EXPECT_TRUE(d->importButton()->isEnabled());
            d->importButton()->click();
        });
    });
    window->action("xsfb")->trigger();
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages[0].contains("工作表“初一”；姓名 ← 名称，成绩 ← 分数，原学校 ← 学校"))
        << messages[0].toStdString();
    EXPECT_EQ(columns("分班数据表"),
              QStringList({"姓名", "性别", "成绩", "原学校", "原班级", "新分班"}));
}

// The arrangement from a text file asks for the rooms' file; cancelling any step changes nothing.
TEST_F(ImportFlowTest, ASecondFileForTheRoomsAndCancelling)
{
    const QString examinees = dir.filePath("考生.csv");
    const QString rooms = dir.filePath("考场.csv");
    QFile e(examinees), r(rooms);
    ASSERT_TRUE(e.open(QIODevice::WriteOnly) && r.open(QIODevice::WriteOnly));
    e.write("学校,班级,姓名,性别,成绩\n一中,1班,张伟,男,80\n");
    r.write("考场号,人数,考场地点\n1,30,101\n");
    e.close();
    r.close();

    files = {examinees}; // no file for the rooms: nothing happens
    window->action("kcbp")->trigger();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_TRUE(columns("考生表").isEmpty());

    files = {examinees, rooms};
    window->action("kcbp")->trigger();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("导入|EXCEL导入成功！")) << messages[0].toStdString();
    EXPECT_EQ(columns("考场表"), QStringList({"考场号", "人数", "考场地点"}));
    EXPECT_EQ(window->statusText(1), "已导入：考生表 1 行，考场表 1 行");
}

} // namespace
