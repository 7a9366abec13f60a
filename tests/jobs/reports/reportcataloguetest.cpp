#include "jobs/reports/reportcatalogue.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace fenpai;
using Parameter = ReportCatalogue::Parameter;

namespace {

const ReportCatalogue::Entry &entry(const char *name)
{
    const ReportCatalogue::Entry *e = ReportCatalogue::find(QString::fromLatin1(name));
    EXPECT_NE(e, nullptr) << name;
    return *e;
}

} // namespace

TEST(ReportCatalogue, EveryRowIsCompleteAndNamedOnce)
{
    QSet<QString> names, menus;
    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries()) {
        EXPECT_FALSE(names.contains(e.name)) << e.name.toStdString();
        EXPECT_FALSE(menus.contains(e.menu.name)) << e.menu.name.toStdString();
        names.insert(e.name);
        menus.insert(e.menu.name);
        EXPECT_FALSE(e.caption.isEmpty()) << e.name.toStdString();
        EXPECT_FALSE(e.menu.parent.isEmpty()) << e.name.toStdString();
        EXPECT_NE(e.build, nullptr) << e.name.toStdString();
        EXPECT_EQ(ReportCatalogue::find(e.name), &e);
    }
    EXPECT_EQ(ReportCatalogue::find(QStringLiteral("nosuch")), nullptr);
}

// What the command line types for each kind of argument.
TEST(ReportCatalogue, ArgumentsAreCheckedWhereTheyAreRead)
{
    const QString room = QStringLiteral("考场应为考场序号 1、2、3……，0 为全部考场");
    const QString newClass = QStringLiteral("班级应为新分班的班号 1、2、3……，0 为未分班的学生");
    const struct
    {
        const char *report;
        const char *argument;
        int number; // -1: refused with `message`
        QString message;
    } cases[] = {
        {"room-list", " 0 ", 0, {}},
        {"seat-chart", "all", 0, {}},
        {"room-list", "1.5", -1, room},
        {"room-list", "99999999999", -1, room},
        {"new-class-list", "12", 12, {}},
        {"new-class-list", "all", -1, newClass},
        {"brief-stats", "", 0, {}},
        {"brief-stats", "1", -1, QStringLiteral("报表 brief-stats 不带参数")},
    };
    for (const auto &c : cases) {
        const Result<ReportCatalogue::Request> r =
            ReportCatalogue::request(entry(c.report), QString::fromUtf8(c.argument));
        if (c.number < 0) {
            EXPECT_EQ(r.status().message(), c.message) << c.report << ' ' << c.argument;
            continue;
        }
        ASSERT_TRUE(r.isOk()) << c.report << ' ' << c.argument;
        EXPECT_EQ(r->number, c.number);
    }
    const Result<ReportCatalogue::Request> cls =
        ReportCatalogue::request(entry("exam-class-list"), QStringLiteral("一中/初三(1)班/甲"));
    EXPECT_EQ(cls->school, QStringLiteral("一中"));
    EXPECT_EQ(cls->className, QStringLiteral("初三(1)班/甲"));
}

// The submenus' first items: every room or class, the unplaced pupils, and nothing for the
// school menu's heading.
TEST(ReportCatalogue, MenuItemsBecomeRequests)
{
    EXPECT_EQ(
        ReportCatalogue::menuRequest(entry("room-list"), 0, QStringLiteral("全部考场"))->number, 0);
    EXPECT_EQ(ReportCatalogue::menuRequest(entry("seat-chart"), 3, QStringLiteral("103"))->number,
              3)
        << "rooms by position, not by their door number";
    const auto cls = ReportCatalogue::menuRequest(entry("exam-class-list"), 0, QString());
    EXPECT_TRUE(cls->school.isEmpty() && cls->className.isEmpty());
    const auto one = ReportCatalogue::menuRequest(entry("exam-class-list"), 2, "二中/1班");
    EXPECT_EQ(one->school, QStringLiteral("二中"));
    EXPECT_FALSE(ReportCatalogue::menuRequest(entry("school-stats"), 0, QStringLiteral("学校")));
    EXPECT_EQ(ReportCatalogue::menuRequest(entry("school-stats"), 1, "一中")->school, "一中");
    EXPECT_EQ(ReportCatalogue::menuRequest(entry("new-class-list"), 1, "7")->number, 7);
}
