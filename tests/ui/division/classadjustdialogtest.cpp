#include "ui/division/classadjustdialog.h"

#include "grid/grid.h"
#include "jobs/workspace.h"
#include "support/divisiontestdata.h"
#include "support/testapp.h"
#include "ui/grid/gridview.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

using namespace fenpai;

namespace {

class ClassAdjustDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApp();
        // Classes 1..6 of two pupils each; class 2's best is 乙 with 99, class 3 all boys.
        for (int k = 1; k <= 6; ++k) {
            if (k == 2)
                d.add({{"女", 99, "一中", "乙"}, {"男", 60, "二中", "甲"}}, k);
            else if (k == 3)
                d.add({{"男", 70 + k, "一中"}, {"男", 50 + k, "二中"}}, k);
            else
                d.add({{"男", 70 + k, "一中"}, {"女", 50 + k, "二中"}}, k);
        }
        open();
    }
    void open()
    {
        dialog = std::make_unique<ClassAdjustDialog>(workspace);
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return answer;
        });
    }
    QStringList items(int side)
    {
        QStringList list;
        for (int i = 0; i < dialog->classBox(side)->count(); ++i)
            list.append(dialog->classBox(side)->itemText(i));
        return list;
    }
    QString count(int classNumber)
    {
        const Grid &g = dialog->statistics();
        for (int r = 2; r < g.rows() - 1; ++r) {
            if (g.cellText(r, 1) == QString::number(classNumber))
                return g.cellText(r, 2);
        }
        return {};
    }

    test::DivisionData d;
    Workspace workspace{d.directory};
    std::unique_ptr<ClassAdjustDialog> dialog;
    QStringList messages;
    QMessageBox::StandardButton answer = QMessageBox::Yes;
};

} // namespace

TEST_F(ClassAdjustDialogTest, StatisticsWithShortHeadersAndPickersOfTheClassesOnly)
{
    const Grid &g = dialog->statistics();
    EXPECT_EQ(g.cellText(1, 1), "合计");
    EXPECT_EQ(g.cellText(0, 7), "90_100");
    for (int c = 1; c < g.cols(); ++c)
        EXPECT_NE(g.cellText(0, c), "平均分");
    const QStringList classes{"1", "2", "3", "4", "5", "6"};
    EXPECT_EQ(items(0), classes);
    EXPECT_EQ(items(1), classes);
    EXPECT_EQ(dialog->markedRow(), 4) << "class 3 has no girls";
    EXPECT_FALSE(d.db.columns("NewQry3").contains("平均分")) << "the dialog's statement is saved";
    EXPECT_TRUE(d.db.columns("NewQry3").contains("最低分"));
}

TEST_F(ClassAdjustDialogTest, MovingTheBestPupilOfClassTwoIntoClassFive)
{
    dialog->chooseClass(0, "2");
    dialog->chooseClass(1, "5");
    dialog->clickRow(0, 1);
    EXPECT_EQ(dialog->currentLabel()->text(), "当前：  将 2 班学生 乙 调整到 5 班");
    EXPECT_FALSE(dialog->moveButton(1)->isEnabled());

    answer = QMessageBox::No;
    dialog->move(0);
    EXPECT_EQ(messages.last(), "你想将 2 班学生 乙 调整到 5 班吗?");
    EXPECT_EQ(count(2), "2");
    EXPECT_EQ(dialog->grid(0).cellText(1, 1), "乙");

    answer = QMessageBox::Yes;
    dialog->move(0);
    EXPECT_EQ(count(2), "1");
    EXPECT_EQ(count(5), "3");
    EXPECT_EQ(dialog->grid(0).cellText(1, 1), "甲");
    EXPECT_EQ(dialog->grid(1).cellText(1, 1), "乙") << "by score";
    EXPECT_EQ(dialog->grid(1).rows(), 5);
}

TEST_F(ClassAdjustDialogTest, MovesWithoutAPickOrATarget)
{
    dialog->chooseClass(0, "1");
    dialog->move(0);
    EXPECT_TRUE(messages.isEmpty()) << "no target class: nothing happens";
    dialog->chooseClass(1, "2");
    dialog->move(0);
    EXPECT_EQ(messages.last(), "请选择在左侧班级中选择一个欲调整的学生");
    dialog->clickRow(1, 3); // the blank row
    dialog->move(1);
    EXPECT_EQ(messages.last(), "请选择在右侧班级中选择一个欲调整的学生");
    EXPECT_EQ(count(1), "2");
}

TEST_F(ClassAdjustDialogTest, OfTwoSameNamedPupilsTheChosenOneMoves)
{
    d.add({{"男", 40, "一中", "戊"}, {"男", 30, "二中", "戊"}}, 1);
    open();
    dialog->chooseClass(0, "1");
    dialog->chooseClass(1, "4");
    dialog->clickRow(0, 4);
    ASSERT_EQ(dialog->grid(0).cellText(4, 3), "30");
    dialog->move(0);
    EXPECT_EQ(d.rows("select 新分班 from 分班数据表 where 姓名='戊' ORDER BY 成绩"),
              (QStringList{"4", "1"}));
}

// "当前：" names whoever is selected, by click or by key, and nobody once the pick has moved.
TEST_F(ClassAdjustDialogTest, TheCurrentLineFollowsTheSelection)
{
    dialog->chooseClass(0, "2");
    dialog->chooseClass(1, "5");
    EXPECT_EQ(dialog->currentLabel()->text(), "当前:");
    dialog->clickRow(0, 1);
    EXPECT_EQ(dialog->currentLabel()->text(), "当前：  将 2 班学生 乙 调整到 5 班");
    auto *left = dialog->findChild<GridView *>("Grid2");
    ASSERT_NE(left, nullptr);
    left->selection().setActiveCell(2, 1); // the arrow key down
    EXPECT_EQ(dialog->currentLabel()->text(), "当前：  将 2 班学生 甲 调整到 5 班");
    left->selection().setActiveCell(3, 1); // the blank row names nobody
    EXPECT_EQ(dialog->currentLabel()->text(), "当前:");
    dialog->move(0);
    EXPECT_EQ(messages.last(), "请选择在左侧班级中选择一个欲调整的学生");

    dialog->clickRow(0, 1);
    dialog->move(0);
    EXPECT_EQ(count(5), "3");
    EXPECT_EQ(dialog->currentLabel()->text(), "当前:") << "乙 has moved: nobody is picked";
    // A pick on the right does not move a pupil of the left list.
    dialog->clickRow(1, 2);
    messages.clear();
    dialog->move(0);
    EXPECT_EQ(messages, QStringList{"请选择在左侧班级中选择一个欲调整的学生"});
    EXPECT_EQ(count(2), "1");
}

// Boys and girls alike in every class, one class far above the rest in score: the means mark it.
TEST(ClassAdjustMarks, AClassWhoseMeanDepartsIsMarked)
{
    test::ensureApp();
    test::DivisionData d;
    for (int k = 1; k <= 5; ++k) {
        const int base = k == 4 ? 95 : 60 + k;
        d.add({{"男", base, "一中"}, {"女", base - 2, "二中"}}, k);
    }
    Workspace workspace{d.directory};
    ClassAdjustDialog dialog(workspace);
    EXPECT_EQ(dialog.statistics().cellText(dialog.markedRow(), 1), "4");
}
