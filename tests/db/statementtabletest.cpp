// The statements the program builds, run on one sample database and checked against results
// worked out by hand from the rows below: the dialect translation, bound parameters and the
// first-appearance order the jobs rely on.
#include "db/savedqueries.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

class StatementTable : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.exec({
            "CREATE TABLE 分班数据表 (学号 double, 姓名 text, 性别 text, 成绩 double, 原学校 text, "
            "原班级 text, 新分班 double)",
            "INSERT INTO 分班数据表 VALUES (1,'张一','男',98,'一中','1班',1)",
            "INSERT INTO 分班数据表 VALUES (2,'李二','女',85,'一中','2班',2)",
            "INSERT INTO 分班数据表 VALUES (3,'王三','男',72.5,'二中','1班',1)",
            "INSERT INTO 分班数据表 VALUES (4,'赵四','女',60,'二中','1班',2)",
            "INSERT INTO 分班数据表 VALUES (5,'钱五','男',5,'一中','3班',1)",
            "INSERT INTO 分班数据表 VALUES (6,'孙六','女',100,'三中','1班',2)",
            "CREATE TABLE 考生表 (学校 text, 班级 text, 姓名 text, 性别 text, 成绩 double, "
            "考场 double, 考号 double, 座位号 double, 照片 text)",
            "INSERT INTO 考生表 VALUES ('一中','初三(1)班','甲','男',90,1,2100001,1,'p1')",
            "INSERT INTO 考生表 VALUES ('一中','初三(2)班','乙','女',80,1,2100002,2,'p2')",
            "INSERT INTO 考生表 VALUES ('一中','初三(1)班','丙','女',70,2,2100003,1,'p3')",
            "INSERT INTO 考生表 VALUES ('二中','初三(12)班','丁','男',60,2,2100004,2,'p4')",
            "INSERT INTO 考生表 VALUES ('二中','初三(12)班','戊','男',50,2,2100005,3,'p5')",
            "CREATE TABLE 考场表 (考场号 double, 人数 double, 考场地点 text)",
            "INSERT INTO 考场表 VALUES (1,2,'一楼')",
            "INSERT INTO 考场表 VALUES (2,3,'二楼')",
        });
    }

    // Runs the statement; its rows must equal the expected ones.
    void check(const QString &sql, const QStringList &expected)
    {
        EXPECT_EQ(t.rows(sql), expected) << sql.toStdString();
    }

    void defineAndRead(const QString &name, const QString &sql, const QStringList &expected)
    {
        const Status s = SavedQueries::replace(t.db, name, sql);
        ASSERT_TRUE(s.isOk()) << sql.toStdString() << ": " << s.message().toStdString();
        check("select * from " + name, expected);
    }

    TempData t;
};

} // namespace

TEST_F(StatementTable, MenusLoginAndReportTitles)
{
    check("select  DISTINCT 新分班  from 分班数据表 ORDER BY 新分班", {"1", "2"});
    check("select  *  from 考场表 ORDER BY 考场号", {"1\t2\t一楼", "2\t3\t二楼"});
    check("select distinct 学校,班级 from 考生表 ORDER BY 学校,班级",
          {"一中\t初三(1)班", "一中\t初三(2)班", "二中\t初三(12)班"});
    check("select distinct 学校 from 考生表", {"一中", "二中"});

    // The login lookup binds the name: a quote in it is a character, not SQL.
    Result<Query> user =
        t.db.query("select rowid,feld1,feld2 from ustarv where feld1=?", {QStringLiteral("admin")});
    ASSERT_TRUE(user.isOk());
    EXPECT_FALSE(user->atEnd());
    Result<Query> quoted = t.db.query("select rowid,feld2 from ustarv where feld1=?",
                                      {QStringLiteral("admin' or '1'='1")});
    ASSERT_TRUE(quoted.isOk());
    EXPECT_TRUE(quoted->atEnd());

    check("select 副左标题,副右标题,显示日期 from bsxtable",
          {"XX县XX中学\t2008-2009年度下学期\t0"});
}

TEST_F(StatementTable, Division)
{
    check("select Count([原学校]) from 分班数据表 ", {"6"});
    check("SELECT rowid, [成绩], CASE WHEN [性别] = '男' THEN 0 WHEN [性别] = '女' THEN 1 ELSE 2 "
          "END, [原学校] FROM [分班数据表] ORDER BY rowid",
          {"1\t98\t0\t一中", "2\t85\t1\t一中", "3\t72.5\t0\t二中", "4\t60\t1\t二中",
           "5\t5\t0\t一中", "6\t100\t1\t三中"});
    defineAndRead("NewQry2", "select *  from 分班数据表 where 新分班=1",
                  {"1\t张一\t男\t98\t一中\t1班\t1", "3\t王三\t男\t72.5\t二中\t1班\t1",
                   "5\t钱五\t男\t5\t一中\t3班\t1"});
}

TEST_F(StatementTable, Arrangement)
{
    check("SELECT count(姓名) FROM 考生表", {"5"});
    check("SELECT count(*) FROM 考场表", {"2"});
    check("SELECT * FROM 考场表 ORDER BY rowid", {"1\t2\t一楼", "2\t3\t二楼"});
    // Groups come in order of first appearance, whatever their sort order.
    t.exec({"INSERT INTO 考生表 VALUES ('一中','初三(0)班','己','女',40,NULL,NULL,NULL,'p6')"});
    check("SELECT 学校, 班级 FROM 考生表 GROUP BY 学校, 班级 ORDER BY min(rowid)",
          {"一中\t初三(1)班", "一中\t初三(2)班", "二中\t初三(12)班", "一中\t初三(0)班"});
    check("SELECT 学校 FROM 考生表 GROUP BY 学校 ORDER BY min(rowid)", {"一中", "二中"});
    // The summary reads the seated examinees by exam number.
    check("SELECT 学校, 班级, 考场, 考号 FROM 考生表 WHERE 考场 >= 1 ORDER BY 考号, rowid",
          {"一中\t初三(1)班\t1\t2100001", "一中\t初三(2)班\t1\t2100002",
           "一中\t初三(1)班\t2\t2100003", "二中\t初三(12)班\t2\t2100004",
           "二中\t初三(12)班\t2\t2100005"});
}
