#include "ui/documents/reporttitledialog.h"
#include "support/testapp.h"
#include "ui/tickets/ticketdialog.h"

#include <QCheckBox>
#include <QLineEdit>

#include <gtest/gtest.h>

using namespace fenpai;

TEST(ReportTitleDialog, ShowsTheTitlesAndGivesBackWhatWasTyped)
{
    test::ensureApp();
    ReportTitleDialog dialog({"XX县XX中学", "2008-2009年度下学期", true});
    EXPECT_EQ(dialog.leftBox()->text(), "XX县XX中学");
    EXPECT_TRUE(dialog.dateBox()->isChecked());
    dialog.leftBox()->setText(" 湖滨市第一中学 ");
    dialog.rightBox()->setText(QString(60, u'期'));
    dialog.dateBox()->setChecked(false);
    const ReportFormat::Subtitle titles = dialog.titles();
    EXPECT_EQ(titles.left, "湖滨市第一中学");
    EXPECT_EQ(titles.right.size(), 50) << "the box holds what the table holds";
    EXPECT_FALSE(titles.showDate);
}

TEST(TicketDialog, ExamineesWithoutAPhotoAreListedAShortListWhole)
{
    QStringList examinees;
    for (int i = 1; i <= 25; ++i)
        examinees.append(QString("21000%1 黄%1").arg(i, 2, 10, QChar('0')));
    QString text = TicketDialog::withoutPhotoText(examinees.mid(0, 2));
    EXPECT_EQ(text, "以下 2 名考生没有照片，准考证上照片框留空：\n2100001 黄01\n2100002 黄02");
    text = TicketDialog::withoutPhotoText(examinees);
    EXPECT_TRUE(text.contains("2100020 黄20"));
    EXPECT_FALSE(text.contains("2100021"));
    EXPECT_TRUE(text.endsWith("等 25 人"));
}
