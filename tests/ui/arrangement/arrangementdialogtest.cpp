#include "ui/arrangement/arrangementdialog.h"
#include "jobs/workspace.h"
#include "support/arrangementdata.h"
#include "support/tempdata.h"
#include "support/testapp.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

using namespace fenpai;

namespace {

class ArrangementDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::ensureApp();
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
    }

    void fill(int examinees, const QVariantList &rooms)
    {
        ASSERT_TRUE(test::addPupils(t.db, test::makeYear(examinees, 3, 12, 4)).isOk());
        ASSERT_TRUE(test::addRooms(t.db, rooms).isOk());
    }

    // A shown dialog whose messages are collected instead of shown.
    QPointer<ArrangementDialog> open()
    {
        auto *dialog = new ArrangementDialog(workspace);
        dialog->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                          const QString &text, QMessageBox::StandardButtons) {
            messages.append(text);
            return QMessageBox::Ok;
        });
        QObject::connect(dialog, &ArrangementDialog::arrangementFinished, [this] { ++finished; });
        dialog->show();
        QApplication::processEvents();
        return dialog;
    }

    template <typename T> static T *child(QWidget *dialog, const char *name)
    {
        T *w = dialog->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QStringList table() { return t.rows("SELECT * FROM 考生表 ORDER BY rowid"); }

    test::TempData t;
    Workspace workspace{t.directory};
    QStringList messages;
    int finished = 0;
};

} // namespace

TEST_F(ArrangementDialogTest, OpensWithCountsAndNoWarningWhenTheRoomsSuffice)
{
    fill(300, QVariantList(10, 30));
    QPointer<ArrangementDialog> dialog = open();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    EXPECT_EQ(child<QLabel>(dialog, "ksLab")->text(), "考生数 300");
    EXPECT_EQ(child<QLabel>(dialog, "kcLab")->text(), "考场数 10 (1--10)");
    EXPECT_EQ(child<QLabel>(dialog, "bjLab")->text(), "班级数 12");
    delete dialog;
}

// Each mode enables its own controls; the settings read what the chosen ones hold.
TEST_F(ArrangementDialogTest, OptionsEnableTheirControlsAndAreRead)
{
    fill(10, {30});
    QPointer<ArrangementDialog> dialog = open();
    child<QRadioButton>(dialog, "Opt2")->click();
    EXPECT_FALSE(child<QWidget>(dialog, "Text1")->isEnabled());
    EXPECT_TRUE(child<QWidget>(dialog, "Frame2")->isEnabled());
    child<QRadioButton>(dialog, "Opt1")->click();
    EXPECT_TRUE(child<QWidget>(dialog, "Text1")->isEnabled());
    EXPECT_FALSE(child<QWidget>(dialog, "Frame2")->isEnabled());
    child<QRadioButton>(dialog, "Opt22")->click();
    EXPECT_FALSE(child<QWidget>(dialog, "Text2")->isEnabled());
    EXPECT_TRUE(child<QWidget>(dialog, "Text3")->isEnabled());

    child<QComboBox>(dialog, "Combo1")->setCurrentIndex(1);
    child<QRadioButton>(dialog, "Opt13")->click();
    child<QRadioButton>(dialog, "Opt2")->click();
    child<QLineEdit>(dialog, "Text3")->setText("99");
    const ArrangementSettings s = *dialog->settings();
    EXPECT_EQ(s.mode, ArrangementSettings::Mode::ScoreMix);
    EXPECT_EQ(s.groupKind, ArrangementSettings::GroupKind::School);
    EXPECT_EQ(s.scoreOrder, ArrangementSettings::ScoreOrder::Spread);
    EXPECT_EQ(s.numbering, ArrangementSettings::Numbering::RoomSeat);
    EXPECT_EQ(s.prefix, "99");
    delete dialog;
}

TEST_F(ArrangementDialogTest, CancelWritesNothingAndTheNextOpeningStartsFromTheDefaults)
{
    fill(40, {30, 30});
    const QStringList before = table();
    QPointer<ArrangementDialog> dialog = open();
    child<QRadioButton>(dialog, "Option1")->click();
    child<QLineEdit>(dialog, "Text2")->setText("1");
    child<QPushButton>(dialog, "Command1")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull()); // closed and gone
    EXPECT_EQ(table(), before);
    EXPECT_EQ(finished, 0);

    dialog = open();
    EXPECT_TRUE(child<QRadioButton>(dialog, "Opt1")->isChecked());
    EXPECT_EQ(child<QLineEdit>(dialog, "Text2")->text(), "2100001");
    delete dialog;
}

// The run's refusals are tested with the run; one shows the dialog passes them on and stays open.
TEST_F(ArrangementDialogTest, RefusalsKeepTheDialogOpenASuccessClosesIt)
{
    fill(61, {30, 30});
    QPointer<ArrangementDialog> dialog = open();
    const QString tooSmall =
        QStringLiteral("  你设置的考场数太少(2)或每个考场的考生数太少,以至不能容纳\n"
                       "所有学生,请在原电子表格文件中修改,完成后重新导放数据");
    EXPECT_EQ(messages, QStringList{tooSmall}); // on opening
    child<QPushButton>(dialog, "Command2")->click();
    EXPECT_EQ(messages, (QStringList{tooSmall, tooSmall})); // and again on OK
    EXPECT_TRUE(dialog->isVisible());

    ASSERT_TRUE(t.db.execNative("UPDATE 考场表 SET 人数 = 31 WHERE rowid = 2").isOk());
    EXPECT_EQ(finished, 0);
    child<QPushButton>(dialog, "Command2")->click();
    // Classes of twelve mixed three to a room seat classmates side by side: what to do about it
    // comes with the news.
    EXPECT_EQ(messages.last(), "编排完成!\n勾选“同班考生不相邻”可以让同班考生不坐在相邻座位。");
    EXPECT_EQ(finished, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(dialog.isNull());
    EXPECT_EQ(
        t.rows("SELECT count(*) FROM 考生表 WHERE 考场 > 0 AND 座位号 > 0 AND 考号 >= 2100001"),
        QStringList{"61"});
}

TEST_F(ArrangementDialogTest, EmptyOrMissingTablesStillOpen)
{
    QPointer<ArrangementDialog> dialog = open();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(child<QLabel>(dialog, "kcLab")->text(), "考场数 0");
    delete dialog;

    ASSERT_TRUE(t.db.execNative("DROP TABLE 考场表").isOk());
    dialog = open();
    EXPECT_EQ(messages, QStringList{"找不到数据表 考场表，请先导入考场编排数据。"});
    delete dialog;
}

TEST_F(ArrangementDialogTest, SeparationSeatOrderAndVersionsAreRememberedAndReported)
{
    fill(60, {30, 30});
    const QString ini = t.dir.filePath("settings.ini");
    QStringList summaries;
    {
        QSettings settings(ini, QSettings::IniFormat);
        QPointer<ArrangementDialog> dialog = open();
        dialog->rememberIn(&settings);
        child<QCheckBox>(dialog, "separateClassmates")->setChecked(true);
        child<QComboBox>(dialog, "seatOrder")->setCurrentText("按行");
        EXPECT_EQ(dialog->settings()->seatOrder, SeatOrder::ByRow);
        child<QComboBox>(dialog, "versions")->setCurrentText("AB卷");
        EXPECT_EQ(dialog->settings()->versions, ArrangementSettings::Versions::AB);
        child<QRadioButton>(dialog, "Option1")->click();
        QObject::connect(dialog, &ArrangementDialog::summaryReady,
                         [&](const QString &text) { summaries.append(text); });
        ASSERT_TRUE(dialog->runArrangement()) << messages.join('|').toStdString();
        QApplication::processEvents();
        EXPECT_EQ(messages.last(), "编排完成!");
    }
    ASSERT_EQ(summaries.size(), 1);
    EXPECT_TRUE(summaries[0].startsWith("座位相邻的同班考生 0 对（调整座位前 "))
        << summaries[0].toStdString();
    EXPECT_TRUE(summaries[0].endsWith("，相邻座位试卷相同 0 对")) << summaries[0].toStdString();
    EXPECT_EQ(t.rows("SELECT count(DISTINCT 试卷) FROM 考生表"), QStringList{"2"});

    QSettings settings(ini, QSettings::IniFormat);
    EXPECT_EQ(ArrangementDialog::rememberedSeatOrder(settings), SeatOrder::ByRow);
    QPointer<ArrangementDialog> dialog = open();
    dialog->rememberIn(&settings);
    EXPECT_TRUE(child<QCheckBox>(dialog, "separateClassmates")->isChecked());
    EXPECT_EQ(child<QComboBox>(dialog, "seatOrder")->currentText(), "按行");
    EXPECT_EQ(child<QComboBox>(dialog, "versions")->currentText(), "AB卷");
    delete dialog;
}

// A number refused goes back to its box, selected for retyping: the scheme's box for the numbers,
// the count box when mode 1 has more groups per room than there are.
TEST_F(ArrangementDialogTest, ARefusalPutsTheFocusInTheBoxAtFault)
{
    fill(40, {30, 30});
    QPointer<ArrangementDialog> dialog = open();
    auto *start = child<QLineEdit>(dialog, "Text2");
    auto *prefix = child<QLineEdit>(dialog, "Text3");
    auto *groups = child<QLineEdit>(dialog, "Text1");
    const struct
    {
        const char *scheme;
        QLineEdit *box;
        QString typed;
        QString message;
    } cases[] = {
        {"Opt21", start, "123456789012345678901", "“起始考号”太长，最多18位。"},
        {"Opt21", start, "abc", "“起始考号”必须是不小于1的整数，只能由数字组成。"},
        {"Opt22", prefix, "", "“前缀固定号”不能为空"},
        {"Opt22", prefix, "2a", "“前缀固定号”只能由数字组成。"},
    };
    for (const auto &c : cases) {
        child<QRadioButton>(dialog, c.scheme)->click();
        c.box->setText(c.typed);
        groups->setFocus();
        EXPECT_FALSE(dialog->runArrangement());
        EXPECT_EQ(messages.last(), c.message);
        EXPECT_EQ(dialog->focusWidget(), c.box) << c.message.toStdString();
        EXPECT_EQ(c.box->selectedText(), c.typed);
    }
    prefix->setText("210");
    groups->setText("13"); // twelve classes
    start->setFocus();
    EXPECT_FALSE(dialog->runArrangement());
    EXPECT_TRUE(messages.last().startsWith("错误!每个考场的班级数不能大于班级总数 (12)"))
        << messages.last().toStdString();
    EXPECT_EQ(dialog->focusWidget(), groups);
    EXPECT_EQ(finished, 0);
    delete dialog;
}
