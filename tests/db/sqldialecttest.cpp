#include "db/sqldialect.h"

#include <gtest/gtest.h>

using fenpai::SqlDialect;

TEST(SqlDialect, TranslatesTheProgramsStatements)
{
    const struct
    {
        const char *in;
        const char *out;
    } cases[] = {
        // & chains become one call; spaces around the chain stay outside it.
        {"select 姓名 & Chr(9) & 成绩 as Item  from 分班数据表",
         "select concat_skip_null(姓名, char(9), 成绩) as Item  from 分班数据表"},
        // & binds looser than arithmetic and tighter than comparison.
        {"select a + 1 & b from t", "select concat_skip_null(a + 1, b) from t"},
        {"select * from t where a & b = 'x'", "select * from t where concat_skip_null(a, b) = 'x'"},
        {"select iif(a & b='', 1, 0) from t", "select iif(concat_skip_null(a, b)='', 1, 0) from t"},
        // & inside a literal is text, not an operator.
        {"select 'A&B' from t", "select 'A&B' from t"},
        {"select * from t where n='it''s & co'", "select * from t where n='it''s & co'"},
        // double-quoted texts are texts.
        {"select \"a\" & \"b\"", "select concat_skip_null('a', 'b')"},
        {"select * from t where a=\"x'y\"", "select * from t where a='x''y'"},
        // bracketed names and iif pass unchanged.
        {"select Count(iif([性别]='男',1,null)) from 分班数据表",
         "select Count(iif([性别]='男',1,null)) from 分班数据表"},
        {"CREATE TABLE xtsztable (id COUNTER ,项目 text (8),数值 SHORT,类别 SHORT)",
         "CREATE TABLE xtsztable (id INTEGER PRIMARY KEY AUTOINCREMENT ,项目 TEXT,数值 "
         "INTEGER,类别 "
         "INTEGER)"},
        {"create table t (a double, b memo, c long)", "create table t (a REAL, b TEXT, c INTEGER)"},
        // An operand missing stays a syntax error rather than becoming something else.
        {"select a & from t", "select concat_skip_null(a, ) from t"},
        // Chains at several levels; parentheses left open or closed twice stay as typed.
        {"select ((a & b) & c) x", "select (concat_skip_null((concat_skip_null(a, b)), c)) x"},
        {"select (a & b from t", "select (concat_skip_null(a, b) from t"},
        {"select a) & b", "select concat_skip_null(a), b)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SqlDialect::translate(QString::fromUtf8(c.in)).toStdString(), c.out) << c.in;
}

TEST(SqlDialect, QuotesLiteralsAndNames)
{
    EXPECT_EQ(SqlDialect::quoteLiteral("O'Brien"), "'O''Brien'");
    EXPECT_EQ(SqlDialect::quoteLiteral(""), "''");
    EXPECT_EQ(SqlDialect::quoteName("初三(2)班"), "[初三(2)班]");
    EXPECT_EQ(SqlDialect::quoteName("a]b"), QString("[a") + QChar(0xFF3D) + "b]");
}

// Nesting as deep as anyone can type is translated without recursion, in one pass.
TEST(SqlDialect, DeepNestingNeitherCrashesNorCrawls)
{
    constexpr int depth = 100000;
    const QString plain = "select " + QString(depth, u'(') + "1" + QString(depth, u')');
    EXPECT_EQ(SqlDialect::translate(plain), plain);

    QString chained = "select ";
    for (int i = 0; i < depth; ++i)
        chained += "(a & ";
    chained += "b" + QString(depth, u')');
    const QString translated = SqlDialect::translate(chained);
    EXPECT_TRUE(translated.startsWith("select (concat_skip_null(a, (concat_skip_null(a, "));
    EXPECT_TRUE(translated.endsWith("(concat_skip_null(a, b)" + QString(2 * depth - 1, u')')));

    const QString unclosed = "select " + QString(depth, u'(');
    EXPECT_EQ(SqlDialect::translate(unclosed), unclosed);
}
