#include "ui/main/startpage.h"

#include "db/database.h"
#include "db/datadirectory.h"
#include "jobs/arrangement/arrangement.h"
#include "jobs/division/classdivision.h"
#include "ui/common/datachanges.h"
#include "ui/division/divisiondialog.h"
#include "ui/main/logindialog.h"
#include "ui/main/mainwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;

namespace {

class StartPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindow::Options options;
        options.dataDirectory = dir.path();
        options.programDir = dir.path();
        options.settingsFile = dir.filePath("settings.ini");
        w = std::make_unique<MainWindow>(options);
        w->setMessageFunction([this](QWidget *, QMessageBox::Icon, const QString &,
                                     const QString &text, QMessageBox::StandardButtons) {
            said.append(text);
            return QMessageBox::Ok;
        });
        page = w->startPage();
        ASSERT_NE(page, nullptr);
    }

    QPushButton *link(const char *name)
    {
        QPushButton *l = page->link(QString::fromLatin1(name));
        EXPECT_NE(l, nullptr) << name;
        return l;
    }
    QString state(const char *name) { return page->stateLabel(QString::fromLatin1(name))->text(); }
    QStringList nextSteps()
    {
        QStringList next;
        for (QPushButton *l : page->findChildren<QPushButton *>()) {
            if (l->property("next").toBool())
                next.append(l->objectName());
        }
        next.sort();
        return next;
    }
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> w;
    StartPage *page = nullptr;
    QStringList said;
};

// A fresh database, logged out: the login and each road's import come first, and what needs
// data cannot be chosen yet.
TEST_F(StartPageTest, AFreshDatabaseStartsWithTheLoginAndTheImports)
{
    EXPECT_FALSE(page->isHidden());
    EXPECT_EQ(state("divisionData"), QStringLiteral("未导入新生分班数据"));
    EXPECT_EQ(state("arrangement"), QStringLiteral("未编排"));
    EXPECT_EQ(nextSteps(), (QStringList{"startkcbp", "startlogain", "startxsfb"}));
    EXPECT_FALSE(link("startfbsz")->isEnabled());
    EXPECT_FALSE(link("startgkc")->isEnabled());
    EXPECT_TRUE(link("startDemo")->isEnabled());

    // Every link has a name a screen reader says, and the next steps say so.
    for (QPushButton *l : page->findChildren<QPushButton *>()) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(l);
        ASSERT_NE(a, nullptr);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << l->objectName().toStdString();
        EXPECT_EQ(a->text(QAccessible::Description) == QStringLiteral("下一步"),
                  l->property("next").toBool())
            << l->objectName().toStdString();
    }
    link("startlogain")->click();
    auto *login = w->findChild<LoginDialog *>();
    ASSERT_NE(login, nullptr);
    EXPECT_FALSE(login->isHidden());
}

// The demo data line imports after a question; the page follows the data, the login, a division
// made elsewhere, and the documents opened and closed over it.
TEST_F(StartPageTest, FollowsTheDemoDataTheLoginAndTheDivision)
{
    page->setAsk([](const QString &) { return false; });
    link("startDemo")->click();
    EXPECT_EQ(state("divisionData"), QStringLiteral("未导入新生分班数据"));

    QString asked;
    page->setAsk([&](const QString &question) {
        asked = question;
        return true;
    });
    link("startDemo")->click();
    EXPECT_TRUE(asked.contains(QStringLiteral("示例数据")));
    EXPECT_TRUE(state("divisionData")
                    .startsWith(QStringLiteral("分班数据表 600 名学生（来自 分班数据.xlsx，")))
        << state("divisionData").toStdString();
    EXPECT_TRUE(
        state("examData").startsWith(QStringLiteral("考生表 1200 名考生 · 考场表 40 个考场")));
    EXPECT_TRUE(w->statusText(1).startsWith(QStringLiteral("已导入：")))
        << w->statusText(1).toStdString();
    EXPECT_EQ(nextSteps(), (QStringList{"startbianpai", "startfbsz", "startlogain"}));

    w->state().logIn(QStringLiteral("admin"));
    EXPECT_EQ(nextSteps(), (QStringList{"startbianpai", "startfbsz"}));
    link("startfbsz")->click();
    auto *division = w->findChild<DivisionDialog *>();
    ASSERT_NE(division, nullptr);
    EXPECT_FALSE(division->isHidden());
    division->close();

    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        DivisionSettings settings;
        settings.classes = 12;
        ASSERT_TRUE(ClassDivision::run(db, settings).isOk());
    }
    w->dataChanges().announce({QStringLiteral("分班数据表")});
    EXPECT_TRUE(state("division").startsWith(QStringLiteral("已分 12 个班（")))
        << state("division").toStdString();
    EXPECT_TRUE(link("startczzpm")->isEnabled());
    EXPECT_EQ(nextSteps(), (QStringList{"startbianpai", "startczzpm"}));

    // A document covers the page; closing the last brings it back.
    w->rebuildNewClassMenu();
    link("startczzpm")->click();
    settle();
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 1) << said.join(u'\n').toStdString();
    EXPECT_TRUE(page->isHidden());
    w->setStatusText(2, QStringLiteral("和 1"));
    w->mdiArea()->closeAllSubWindows();
    settle();
    EXPECT_FALSE(page->isHidden());
    EXPECT_TRUE(w->statusText(2).isEmpty());

    // An arrangement: its road moves on to printing, and the room list link opens every room's.
    {
        Database db;
        ASSERT_TRUE(DataDirectory(dir.path()).openDatabase(db).isOk());
        ArrangementSettings settings;
        settings.mode = ArrangementSettings::Mode::ScoreOnly;
        ASSERT_TRUE(Arrangement::run(db, settings).isOk());
    }
    w->dataChanges().announce({QStringLiteral("考生表")});
    EXPECT_TRUE(state("arrangement").startsWith(QStringLiteral("已编排 1200 名考生（")))
        << state("arrangement").toStdString();
    EXPECT_EQ(nextSteps(), (QStringList{"startczzpm", "startgkc"}));
    w->rebuildRoomAndClassMenus();
    link("startgkc")->click();
    settle();
    ASSERT_EQ(w->mdiArea()->subWindowList().size(), 1) << said.join(u'\n').toStdString();
    EXPECT_TRUE(page->isHidden());
}

} // namespace
