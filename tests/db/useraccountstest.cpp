#include "db/useraccounts.h"
#include "db/menusources.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

// The stored legacy form whose transform gives the password (what old files hold).
QString legacyFormOf(const QString &password)
{
    QString out;
    const QList<uint> codes = password.toUcs4();
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const char32_t c = static_cast<char32_t>(codes[i] - UserAccounts::legacyShift - (i + 1));
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

QString storedPassword(TempData &t, const QString &user)
{
    return t.db.scalar("select feld2 from ustarv where feld1=?", {user})->toString();
}

} // namespace

TEST(UserAccounts, LegacyRowLogsInAndBecomesAHash)
{
    TempData t;
    t.exec({"delete from ustarv"});
    Result<Statement> ins = t.db.prepare("insert into ustarv (feld1,feld2) values (?,?)");
    ASSERT_TRUE(ins->bind(1, "老师").bind(2, legacyFormOf("密码123")).exec().isOk());
    ASSERT_EQ(UserAccounts::transform(legacyFormOf("密码123"), 3), "密码123");

    EXPECT_FALSE(UserAccounts::login(t.db, "老师", "密码12").isOk());
    EXPECT_FALSE(UserAccounts::isHash(storedPassword(t, "老师")))
        << "a failed login changes nothing";

    Result<QString> ok = UserAccounts::login(t.db, "  老师 ", " 密码123 ");
    ASSERT_TRUE(ok.isOk());
    EXPECT_EQ(*ok, "老师") << "the user name is trimmed";
    EXPECT_TRUE(UserAccounts::isHash(storedPassword(t, "老师")));
    EXPECT_TRUE(UserAccounts::login(t.db, "老师", "密码123").isOk()) << "the hash is accepted";
}

TEST(UserAccounts, RefusesUnknownUsersAndWrongPasswordsAlike)
{
    TempData t;
    for (const char *name : {"nobody", "", "admin' or '1'='1", "admin'--"}) {
        Result<QString> r = UserAccounts::login(t.db, QString::fromUtf8(name), "admin");
        ASSERT_FALSE(r.isOk()) << name;
        EXPECT_EQ(r.status().message(), "无效的密码或用户名，请重试!");
    }
    EXPECT_FALSE(UserAccounts::login(t.db, "admin", "wrong").isOk());
    EXPECT_TRUE(UserAccounts::login(t.db, "admin", "admin").isOk()) << "the documented default";
}

TEST(UserAccounts, ChangeChecksInOrderAndAChangedPasswordLogsIn)
{
    TempData t;
    using C = UserAccounts::ChangeCheck;
    const struct
    {
        UserAccounts::Change change;
        C check;
        const char *message;
    } cases[] = {
        {{"admin", "", "", "", ""}, C::MissingOld, "请输入旧密码!"},
        {{"admin", "admin", "admin", "n1", ""}, C::MissingConfirm, "请确认新密码!"},
        {{"admin", "admin", "admin", "n1", "n2"}, C::Mismatch, "两次输入的新密码不同!"},
        {{"admin", "bad", "admin", "n1", "n1"}, C::WrongOld, "旧密码错误!"},
    };
    const QString before = storedPassword(t, "admin");
    for (const auto &c : cases) {
        const UserAccounts::ChangeOutcome out = UserAccounts::changePassword(t.db, c.change);
        EXPECT_EQ(out.check, c.check) << c.message;
        EXPECT_EQ(out.message, QString::fromUtf8(c.message));
    }
    EXPECT_EQ(storedPassword(t, "admin"), before) << "refused changes write nothing";

    const auto out =
        UserAccounts::changePassword(t.db, {"admin", "admin", " 校长 ", "新密码", "新密码 "});
    ASSERT_EQ(out.check, C::Ok);
    EXPECT_EQ(out.message, "修改成功!");
    EXPECT_EQ(out.userName, "校长");
    EXPECT_TRUE(UserAccounts::login(t.db, "校长", "新密码").isOk());
    EXPECT_FALSE(UserAccounts::login(t.db, "admin", "admin").isOk());
    EXPECT_FALSE(storedPassword(t, "校长").contains("新密码"));
}

TEST(UserAccounts, AChangeInsideACallersTransactionGoesWithIt)
{
    TempData t;
    const QString before = storedPassword(t, "admin");
    // The change's own transaction is a part of the caller's: undone with it.
    ASSERT_TRUE(t.db.begin().isOk());
    const auto out =
        UserAccounts::changePassword(t.db, {"admin", "admin", "admin", "新密码", "新密码"});
    EXPECT_EQ(out.check, UserAccounts::ChangeCheck::Ok);
    ASSERT_TRUE(t.db.rollback().isOk());
    EXPECT_EQ(storedPassword(t, "admin"), before);
    EXPECT_TRUE(UserAccounts::login(t.db, "admin", "admin").isOk());
}

// Items follow the data: none without a table, classes in natural order without blanks, schools
// in order of first appearance, one room item per stored row (item k is room ordinal k), numbers
// without decimals.
TEST(MenuSources, ItemsFollowTheData)
{
    TempData t;
    EXPECT_TRUE(MenuSources::newClasses(t.db).isEmpty()) << "no table, no items, no error";
    EXPECT_TRUE(MenuSources::rooms(t.db).isEmpty());
    EXPECT_TRUE(MenuSources::classes(t.db).isEmpty());
    EXPECT_TRUE(MenuSources::schools(t.db).isEmpty());

    t.exec({"CREATE TABLE 分班数据表 (姓名 text, 新分班 double)"});
    for (int i = 12; i >= 1; --i)
        t.exec({QString("INSERT INTO 分班数据表 VALUES ('p%1', '初三(%1)班')").arg(i)});
    t.exec({"INSERT INTO 分班数据表 VALUES ('x', NULL)", "INSERT INTO 分班数据表 VALUES ('y', '')",
            "INSERT INTO 分班数据表 VALUES ('z', '  ')"});
    QStringList expected;
    for (int i = 1; i <= 12; ++i)
        expected.append(QString("初三(%1)班").arg(i));
    EXPECT_EQ(MenuSources::newClasses(t.db), expected);

    // A re-import leaves 新分班 empty: the menu has nothing to list.
    t.exec({"UPDATE 分班数据表 SET 新分班 = NULL"});
    EXPECT_TRUE(MenuSources::newClasses(t.db).isEmpty());
    t.exec({"UPDATE 分班数据表 SET 新分班 = 0"});
    EXPECT_EQ(MenuSources::newClasses(t.db), QStringList({"0"})) << "class 0 is no blank";

    t.exec({"CREATE TABLE 考生表 (学校 text, 班级 text, 姓名 text)",
            "INSERT INTO 考生表 VALUES ('二中','初三(10)班','甲')",
            "INSERT INTO 考生表 VALUES ('一中','初三(10)班','乙')",
            "INSERT INTO 考生表 VALUES ('一中','初三(9)班','戊')",
            "INSERT INTO 考生表 VALUES ('二中',NULL,'丙')",
            "INSERT INTO 考生表 VALUES ('','初三(1)班','丁')",
            "CREATE TABLE 考场表 (考场号 double, 人数 double)",
            "INSERT INTO 考场表 VALUES (10, 30)", "INSERT INTO 考场表 VALUES (9, 30)",
            "INSERT INTO 考场表 VALUES (NULL, 30)"});
    EXPECT_EQ(MenuSources::classes(t.db),
              QStringList({"一中/初三(9)班", "一中/初三(10)班", "二中/初三(10)班"}));
    EXPECT_EQ(MenuSources::schools(t.db), QStringList({"二中", "一中"})) << "first appearance";
    EXPECT_EQ(MenuSources::rooms(t.db), QStringList({"10", "9", "第3考场"}));
}
