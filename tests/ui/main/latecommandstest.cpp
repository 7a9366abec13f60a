#include "ui/main/latecommands.h"
#include "grid/grid.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/division/classdivision.h"
#include "support/arrangementdata.h"
#include "support/divisiontestdata.h"
#include "ui/division/placenewdialog.h"
#include "ui/documents/documentwindow.h"
#include "ui/main/mainwindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

// A window over a data directory with a divided intake and an arranged year, each with late
// comers, answering questions with `answer` and recording what it says.
class LateWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<test::PupilRow> rows;
        for (int i = 0; i < 12; ++i)
            rows.push_back({i % 2 ? "女" : "男", 60 + i, "一中"});
        data.add(rows);
        DivisionSettings s;
        s.classes = 3;
        ASSERT_TRUE(ClassDivision::run(data.db, s).isOk());
        data.add({{"女", 99, "二中", "新来的"}});

        ASSERT_TRUE(test::createArrangementTables(data.db).isOk());
        ASSERT_TRUE(test::addPupils(data.db, {{"一中", "1班", "甲", 90}, {"一中", "2班", "乙", 80}})
                        .isOk());
        ASSERT_TRUE(test::addRooms(data.db, {2, 2}).isOk());
        ArrangementSettings a;
        a.mode = ArrangementSettings::Mode::ScoreOnly;
        ASSERT_TRUE(Arrangement::run(data.db, a).isOk());
        ASSERT_TRUE(test::addPupils(data.db, {{"二中", "3班", "丙", 70}}).isOk());

        MainWindow::Options options;
        options.dataDirectory = data.directory.path();
        options.programDir = data.directory.path();
        options.settingsFile = data.dir.filePath("settings.ini");
        window = std::make_unique<MainWindow>(options);
        window->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
    }

    QStringList captionsOf(const char *menu)
    {
        QStringList out;
        for (QAction *a : window->menu(menu)->actions())
            out.append(a->objectName());
        return out;
    }

    // The texts of a document's rows below the header, columns joined by '|'.
    static QStringList rowsOf(DocumentWindow *doc)
    {
        QStringList out;
        const Grid &g = doc->grid();
        for (int r = 1; r + 1 < g.rows(); ++r) { // the last row is the blank one
            QStringList cells;
            for (int c = 1; c < g.cols(); ++c)
                cells.append(g.cellText(r, c));
            out.append(cells.join(u'|'));
        }
        return out;
    }

    test::DivisionData data;
    std::unique_ptr<MainWindow> window;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

} // namespace

TEST_F(LateWindow, EachEntryStandsBesideItsJobBehindTheGate)
{
    const QStringList division = captionsOf("fbop");
    EXPECT_EQ(division.indexOf("azxs"), division.indexOf("fbsz") + 1);
    EXPECT_EQ(division.indexOf("sgtz"), division.indexOf("azxs") + 1);
    const QStringList exam = captionsOf("mnukcbp");
    EXPECT_EQ(exam.indexOf("azks"), exam.indexOf("bianpai") + 1);

    for (const char *entry : {"azxs", "azks"})
        window->action(entry)->trigger();
    EXPECT_EQ(messages.size(), 2) << "the gate speaks for each";
    EXPECT_EQ(window->findChildren<PlaceNewDialog *>().size(), 0);
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 0);
}

TEST_F(LateWindow, PlacingPupilsShowsTheListOfChanges)
{
    window->state().logIn("admin");
    window->action("azxs")->trigger();
    auto *dialog = window->findChild<PlaceNewDialog *>("azxsfrm");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->findChild<QLabel *>("countLabel")->text(), "分班数据表中没有班级的学生：1人");

    dialog->findChild<QLineEdit *>("movesEdit")->setText("一个");
    EXPECT_FALSE(dialog->runPlacement());
    EXPECT_EQ(messages.last(), "允许调动的人数必须是不小于0的整数。");
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 0);

    dialog->findChild<QLineEdit *>("movesEdit")->setText("2");
    ASSERT_TRUE(dialog->runPlacement());
    EXPECT_TRUE(messages.last().startsWith("安置完成!\n安置新增学生1人，"))
        << messages.last().toStdString();
    DocumentWindow *doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    ASSERT_FALSE(rowsOf(doc).isEmpty());
    EXPECT_TRUE(rowsOf(doc).first().startsWith("新来的|女|99|二中||"))
        << rowsOf(doc).first().toStdString();
}

TEST_F(LateWindow, SeatingExamineesAsksFirstThenShowsTheirSeats)
{
    window->state().logIn("admin");
    answer = QMessageBox::No;
    window->action("azks")->trigger();
    EXPECT_TRUE(messages.last().startsWith("考生表中有1名新增考生（没有考场）。"))
        << messages.last().toStdString();
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 0);
    EXPECT_EQ(data.rows("SELECT 考场 FROM 考生表 WHERE 姓名 = '丙'"), QStringList{""});

    answer = QMessageBox::Yes;
    window->action("azks")->trigger();
    EXPECT_EQ(messages.last(), "安置完成!\n安置新增考生1人，考场还剩空座位1个");
    DocumentWindow *doc = window->activeDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(rowsOf(doc), QStringList{"二中|3班|丙|2|1|2100003|教学楼2"});

    window->action("azks")->trigger();
    EXPECT_EQ(messages.last(), "考生表中没有需要安置的新增考生（考场为空或0的考生）。");
    EXPECT_EQ(window->mdiArea()->subWindowList().size(), 1);
}
