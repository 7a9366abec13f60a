#include "ui/arrangement/examswapdialog.h"
#include "ui/arrangement/mixingcheckdialog.h"

#include "grid/grid.h"
#include "jobs/workspace.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"
#include "support/testapp.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace fenpai;

namespace {

class ExamSwapDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApp();
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        t.exec({"INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('一中','1班','甲',1,2100001,1)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('一中','2班','乙',1,2100002,2)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('二中','1班','丙',2,2100003,1)",
                // Beyond 32 bits, as a prefixed numbering can give.
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('二中','2班','丁',2,21000020002,2)",
                "INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
                "('三中','1班','戊',0,0,0)"});
        dialog = std::make_unique<ExamSwapDialog>(workspace);
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
    }

    // The row of the grid whose name column holds `name`.
    int rowOf(int side, const char *name)
    {
        const Grid &g = dialog->grid(side);
        for (int r = 1; r < g.rows(); ++r) {
            if (g.cellText(r, 3) == QString::fromUtf8(name))
                return r;
        }
        return -1;
    }

    QStringList seats() { return t.rows("select 姓名,考场,考号,座位号 from 考生表 ORDER BY 姓名"); }

    test::TempData t;
    Workspace workspace{t.directory};
    std::unique_ptr<ExamSwapDialog> dialog;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

TEST_F(ExamSwapDialogTest, PicksAndSwapsTwoExamineesAcrossRooms)
{
    ASSERT_EQ(dialog->roomBox(0)->count(), 3);
    EXPECT_TRUE(dialog->grid(0).cellText(0, 3).isEmpty()) << "empty until a room is chosen";

    dialog->swap();
    EXPECT_EQ(messages.last(), QStringLiteral("在两个考场中各选一个考生，再对调"));

    dialog->chooseRoom(0, QStringLiteral("1"));
    dialog->chooseRoom(1, QStringLiteral("2"));
    dialog->clickRow(0, rowOf(0, "乙"));
    dialog->clickRow(1, rowOf(1, "丁"));
    EXPECT_EQ(dialog->pickLabel(0)->text(),
              QStringLiteral("当前：  将 1 考场考生 乙 调整到 2考场"));
    EXPECT_EQ(dialog->pickLabel(1)->text(),
              QStringLiteral("当前：  将 2 考场考生 丁 调整到 1考场"));
    EXPECT_EQ(dialog->pick(1).examNumber, 21000020002LL);

    answer = QMessageBox::No;
    dialog->swap();
    EXPECT_EQ(messages.last(), QStringLiteral("要进行对调吗？"));
    const QStringList before = seats();
    answer = QMessageBox::Yes;
    dialog->swap();
    const QStringList after = {"丁\t1\t2100002\t2", "丙\t2\t2100003\t1", "乙\t2\t21000020002\t2",
                               "戊\t0\t0\t0", "甲\t1\t2100001\t1"};
    EXPECT_EQ(seats(), after);
    EXPECT_EQ(rowOf(0, "丁"), 2) << "both grids show the rooms again";
    EXPECT_EQ(rowOf(1, "乙"), 2);

    // The picks stay: the next swap puts both back, the one after swaps again.
    dialog->swap();
    EXPECT_EQ(seats(), before);
    dialog->swap();
    EXPECT_EQ(seats(), after);
}

// With the rooms' desks known, a swap that would seat classmates at neighbouring desks names them
// in its question; No leaves every seat as it was.
TEST_F(ExamSwapDialogTest, ASwapThatSeatsClassmatesTogetherNamesThemFirst)
{
    ASSERT_TRUE(test::addRooms(t.db, {10, 10}).isOk());
    t.exec({"INSERT INTO 考生表 (学校,班级,姓名,考场,考号,座位号) VALUES "
            "('一中','1班','己',2,2100005,3)"});
    dialog->chooseRoom(0, QStringLiteral("1"));
    dialog->chooseRoom(1, QStringLiteral("2"));
    dialog->clickRow(0, rowOf(0, "乙"));
    dialog->clickRow(1, rowOf(1, "己"));
    const QStringList before = seats();
    answer = QMessageBox::No;
    dialog->swap();
    EXPECT_EQ(messages.last(), "对调后这些同班考生会坐在相邻座位：\n"
                               "第1考场 1号座位 甲 和 2号座位 己（一中 1班）\n仍要对调吗？");
    EXPECT_EQ(seats(), before);

    // 丁 of 二中 2班 has no classmate near 乙's desk: the plain question.
    dialog->clickRow(1, rowOf(1, "丁"));
    dialog->swap();
    EXPECT_EQ(messages.last(), "要进行对调吗？");
}

TEST_F(ExamSwapDialogTest, UnseatedAndStalePicksChangeNothing)
{
    dialog->chooseRoom(0, QStringLiteral("0"));
    dialog->clickRow(0, rowOf(0, "戊"));
    EXPECT_EQ(dialog->pick(0).examNumber, 0) << "an examinee without an exam number";
    EXPECT_EQ(dialog->pickLabel(0)->text(), QStringLiteral("单击左表格中的行，选择一个考生"));

    dialog->chooseRoom(0, QStringLiteral("1"));
    dialog->chooseRoom(1, QStringLiteral("1"));
    dialog->clickRow(0, rowOf(0, "甲"));
    dialog->clickRow(1, rowOf(1, "乙"));
    // The left picker moves to room 2 after 甲 was picked in room 1.
    dialog->roomBox(0)->setCurrentText(QStringLiteral("2"));
    const QStringList before = seats();
    messages.clear();
    dialog->swap();
    EXPECT_EQ(messages.last(), ExamSwap::stalePickMessage());
    EXPECT_EQ(seats(), before);
}

} // namespace

// The heading counts neighbouring numbers and neighbouring desks apart.
TEST(MixingCheckDialogTest, HeadingCountsNumbersAndDesksApart)
{
    test::ensureApp();
    const QStringList numbers = {QStringLiteral("在第1考场3号考生与前一考号同班1"),
                                 QStringLiteral("在第2考场有没混排的2")};
    MixingCheckDialog plain(numbers);
    EXPECT_EQ(plain.findChild<QLabel *>()->text(), "考号相邻的同班考生共 2 处：");
    MixingCheckDialog both(numbers +
                           QStringList{QStringLiteral("在第1考场2号和3号座位的考生同班相邻3")});
    EXPECT_EQ(both.findChild<QLabel *>()->text(),
              "考号相邻的同班考生共 2 处，座位相邻的同班考生共 1 对：");
}
