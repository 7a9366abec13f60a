#include "ui/division/divisiondialog.h"

#include "jobs/workspace.h"
#include "support/divisiontestdata.h"
#include "support/testapp.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::DivisionData;
using fenpai::test::PupilRow;

namespace {

// A dialog over a table of `pupils` rows (every third without a source school, which the total
// does not count) with its messages collected.
class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { test::ensureApp(); }

    void fill(int withSchool, int withoutSchool = 0)
    {
        std::vector<PupilRow> rows;
        for (int i = 0; i < withSchool + withoutSchool; ++i)
            rows.push_back(
                {i % 2 ? "女" : "男", 50 + i, i < withSchool ? QVariant("一中") : QVariant()});
        data.add(rows);
    }

    DivisionDialog *open()
    {
        auto *d = new DivisionDialog(workspace);
        d->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                     const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
        dialog = d;
        return d;
    }

    template <typename T> T *child(const char *name)
    {
        T *w = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char *label) { return child<QLabel>(label)->text(); }
    void type(const char *box, const QString &value) { child<QLineEdit>(box)->setText(value); }

    void TearDown() override
    {
        delete dialog.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    DivisionData data;
    Workspace workspace{data.directory};
    QPointer<DivisionDialog> dialog;
    QStringList messages;
};

} // namespace

// The total counts the pupils with a source school; the average rounds half to even; an empty
// or missing table shows 0.
TEST_F(DialogTest, TotalAndAverageOnOpening)
{
    fill(45, 3);
    open();
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(text("Label7"), "总人数：45");
    EXPECT_EQ(text("Label8"), "每班平均人数：22");

    for (const int pupils : {47, 0}) {
        DivisionData table;
        table.add(std::vector<PupilRow>(static_cast<size_t>(pupils), PupilRow{"男", 60, "一中"}));
        Workspace tableWorkspace(table.directory);
        DivisionDialog d(tableWorkspace);
        EXPECT_EQ(d.findChild<QLabel *>("Label8")->text(),
                  pupils ? "每班平均人数：24" : "每班平均人数：0");
    }
    test::TempData none;
    Workspace noneWorkspace(none.directory);
    DivisionDialog d(noneWorkspace);
    EXPECT_EQ(d.findChild<QLabel *>("Label7")->text(), "总人数：0");
}

TEST_F(DialogTest, CaptionsFollowTheTypedCounts)
{
    fill(245);
    open();
    type("Text5", "6");
    EXPECT_EQ(text("Label8"), "每班平均人数：41");
    // Emptied or non-positive: the last average stays.
    type("Text5", "abc");
    EXPECT_EQ(text("Label8"), "每班平均人数：41");
    type("Text5", "5班");
    EXPECT_EQ(text("Label8"), "每班平均人数：49");

    child<QRadioButton>("fcopt")->setChecked(true);
    EXPECT_EQ(text("Label9"), "新分班数：4"); // the default layer boxes
    EXPECT_EQ(text("Label8"), "每班平均人数：61");
    type("Text1", "2");
    type("Text2", "3");
    type("Text3", "1");
    type("Text4", "0");
    EXPECT_EQ(text("Label9"), "新分班数：6");
    EXPECT_EQ(text("Label8"), "每班平均人数：41");
    type("Text1", "");
    type("Text2", "");
    EXPECT_EQ(text("Label8"), "每班平均人数：245"); // 1 class left
    type("Text3", "");
    EXPECT_EQ(text("Label9"), "新分班数：0");
    EXPECT_EQ(text("Label8"), "每班平均人数：245");

    // Switching back and forth keeps what was typed in either mode.
    child<QRadioButton>("jhopt")->setChecked(true);
    EXPECT_EQ(child<QLineEdit>("Text5")->text(), "5班");
    EXPECT_EQ(text("Label8"), "每班平均人数：49");
    child<QRadioButton>("fcopt")->setChecked(true);
    EXPECT_EQ(child<QLineEdit>("Text4")->text(), "0");
    EXPECT_EQ(child<QLineEdit>("Text1")->text(), "");
}

TEST_F(DialogTest, SettingsAreReadAsTyped)
{
    fill(10);
    open();
    dialog->show();
    type("Text5", " 3 ");
    child<QCheckBox>("Check2")->setChecked(true);
    Result<DivisionSettings> s = dialog->settings();
    ASSERT_TRUE(s.isOk());
    EXPECT_EQ(s->mode, DivisionSettings::Mode::Balanced);
    EXPECT_EQ(s->classes, 3);
    EXPECT_FALSE(s->balanceSex);
    EXPECT_TRUE(s->balanceSchool);
    // Text after the number is no count: it is not read as 3, and OK says so without a run.
    type("Text5", "3班");
    EXPECT_EQ(dialog->settings().status().message(), "新分班级数必须是不小于1的整数。");
    // In layered mode only the layer boxes count.
    child<QRadioButton>("fcopt")->setChecked(true);
    type("Text2", "x");
    EXPECT_EQ(dialog->settings().status().message(), "B层的新分班级数必须是不小于0的整数。");
    type("Text2", "0");
    type("Text3", "2");
    s = dialog->settings();
    ASSERT_TRUE(s.isOk());
    EXPECT_EQ(s->mode, DivisionSettings::Mode::Layered);
    EXPECT_EQ(s->layers, (std::array<int, 4>{1, 0, 2, 1}));
}

TEST_F(DialogTest, OkDividesAnnouncesAndCloses)
{
    fill(12);
    open();
    dialog->show();
    int finished = 0;
    QObject::connect(dialog, &DivisionDialog::divisionFinished, [&] { ++finished; });
    type("Text5", "4");
    child<QCheckBox>("Check1")->setChecked(true);
    child<QPushButton>("Command1")->click();
    // The message ends with the certificate's line.
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("分班完成!\n均衡证明：各班平均分最大差 "))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].contains("次随机分班的中位差")) << messages[0].toStdString();
    EXPECT_EQ(finished, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    for (int c : data.classes())
        EXPECT_TRUE(c >= 1 && c <= 4) << c;
}

// The run's refusals are tested with the run; here one shows the dialog passes them on and stays.
TEST_F(DialogTest, RefusalKeepsTheDialogAndTheSettings)
{
    fill(6);
    open();
    dialog->show();
    int finished = 0;
    QObject::connect(dialog, &DivisionDialog::divisionFinished, [&] { ++finished; });
    type("Text5", "7");
    child<QCheckBox>("Check1")->setChecked(true);
    child<QPushButton>("Command1")->click();
    EXPECT_EQ(messages, QStringList{"新分班级数不能超过学生人数(6)"});
    EXPECT_EQ(finished, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(child<QLineEdit>("Text5")->text(), "7");
    EXPECT_TRUE(child<QCheckBox>("Check1")->isChecked());
    EXPECT_EQ(data.classes(), std::vector<int>(6, 0));
}

// The refinement itself and its before/after lines are the run's; the dialog passes and keeps it.
TEST_F(DialogTest, RefinementIsOffUntilCheckedAndRemembered)
{
    fill(24);
    QTemporaryDir dir;
    QSettings settings(dir.filePath("fenpai.ini"), QSettings::IniFormat);
    open();
    dialog->rememberIn(&settings);
    QCheckBox *refine = child<QCheckBox>("Check3");
    EXPECT_FALSE(refine->isChecked());
    EXPECT_FALSE(dialog->settings()->refine);
    refine->setChecked(true);
    EXPECT_TRUE(dialog->settings()->refine);
    delete dialog.data();

    open();
    dialog->rememberIn(&settings);
    EXPECT_TRUE(child<QCheckBox>("Check3")->isChecked());
    EXPECT_TRUE(dialog->settings()->refine);
}

// A count refused goes back to its box, selected for retyping: the class count, or the layer box
// at fault.
TEST_F(DialogTest, ARefusedCountPutsTheFocusInItsBox)
{
    fill(6);
    open();
    dialog->show();
    type("Text5", "0");
    child<QPushButton>("Command1")->click();
    EXPECT_EQ(messages.last(), "新分班级数必须是不小于1的整数。");
    EXPECT_EQ(dialog->focusWidget(), child<QLineEdit>("Text5"));
    EXPECT_EQ(child<QLineEdit>("Text5")->selectedText(), "0");

    child<QRadioButton>("fcopt")->click();
    const struct
    {
        std::array<const char *, 4> typed;
        const char *atFault;
    } cases[] = {
        {{"1", "1", "x", "1"}, "Text3"},
        {{"1", "-1", "x", "1"}, "Text2"},
        {{"0", "0", "0", "0"}, "Text1"},
    };
    for (const auto &c : cases) {
        for (int k = 0; k < 4; ++k)
            type(QStringLiteral("Text%1").arg(k + 1).toLatin1().constData(), c.typed[size_t(k)]);
        child<QPushButton>("Command1")->click();
        EXPECT_EQ(dialog->focusWidget(), child<QLineEdit>(c.atFault)) << c.atFault;
    }
    EXPECT_EQ(data.classes(), std::vector<int>(6, 0));
}
