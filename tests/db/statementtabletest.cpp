// Every statement the program builds in the original dialect, run on one sample database. The
// aggregate ones are checked against numbers worked out by hand from the rows below.
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
            "INSERT INTO 成绩表 (学校,姓名,语文,数学) VALUES ('一中','甲',90,NULL)",
            "INSERT INTO 成绩表 (学校,姓名,语文,数学) VALUES ('一中','乙',80,70)",
            "INSERT INTO 成绩表 (学校,姓名,语文,数学) VALUES ('二中','丙',NULL,60)",
            "INSERT INTO 教师表 (学校,班级,语文,数学) VALUES ('一中','1班','王老师','李老师')",
            "INSERT INTO 教师表 (学校,班级,语文,数学) VALUES ('一中','2班','王老师','周老师')",
            "INSERT INTO 教师表 (学校,班级,语文,数学) VALUES ('二中','1班','陈老师','吴老师')",
        });
    }

    // Runs the statement; when expected rows are given, the result must equal them.
    void check(const QString &sql, const QStringList &expected = {})
    {
        const QStringList got = t.rows(sql);
        if (!expected.isEmpty()) {
            EXPECT_EQ(got, expected) << sql.toStdString();
        }
    }

    void defineAndRead(const QString &name, const QString &sql, const QStringList &expected = {})
    {
        const Status s = SavedQueries::replace(t.db, name, sql);
        ASSERT_TRUE(s.isOk()) << sql.toStdString() << ": " << s.message().toStdString();
        check("select * from " + name, expected);
    }

    TempData t;
};

// Band columns for a highest score of 100: bands 100-110 down to 10-20.
QString bandColumns()
{
    QString b;
    for (int i = 1; i <= 10; ++i) {
        const int lo = 110 - i * 10, hi = lo + 10;
        b += QString(",Count(iif([成绩]>=%1 And [成绩]<%2, 1, Null)) as 分%1_%2段").arg(lo).arg(hi);
    }
    return b;
}

} // namespace

TEST_F(StatementTable, MenusLoginAndFill)
{
    check("select feld1,feld2 from ustarv where feld1='admin'");
    check("select  DISTINCT 新分班  from 分班数据表 ORDER BY 新分班", {"1", "2"});
    check("select  *  from 考场表 ORDER BY 考场号", {"1\t2\t一楼", "2\t3\t二楼"});
    check("select distinct 学校,班级 from 考生表 ORDER BY 学校,班级",
          {"一中\t初三(1)班", "一中\t初三(2)班", "二中\t初三(12)班"});
    check("select distinct 学校 from 考生表", {"一中", "二中"});
    check("select 姓名 & Chr(9) & 性别 & Chr(9) & 成绩 as Item  from 分班数据表 where 学号<=3",
          {"张一\t男\t98", "李二\t女\t85", "王三\t男\t72.5"});
}

TEST_F(StatementTable, Division)
{
    check("select Count([原学校]),Count([姓名]) from 分班数据表 ", {"6\t6"});
    check("select 新分班  from 分班数据表");
    check("select *  from 分班数据表 ORDER BY 成绩 DESC");
    check("select *  from 分班数据表 where 性别='男' ORDER BY 成绩 DESC");
    check("select *  from 分班数据表 where 性别='女' ORDER BY 成绩 DESC");
    check("select *  from 分班数据表 where 原学校='一中' ORDER BY 成绩 DESC");
    check("select *  from 分班数据表 where 原学校='一中' and 性别='男' ORDER BY 成绩 DESC");
    check("select DISTINCT 原学校  from 分班数据表", {"一中", "二中", "三中"});
    defineAndRead("NewQry2", "select *  from 分班数据表 where 新分班=1");
    check("select * from NewQry2 ORDER BY 成绩 DESC");
    check("select * from NewQry2 where 性别='男' ORDER BY 成绩 DESC");
    check("select *  from NewQry2 where 原学校='一中' ORDER BY 成绩 DESC");
    check("select *  from NewQry2 where 原学校='一中' and 性别='女' ORDER BY 成绩 DESC");
    defineAndRead("NewQry4",
                  "select 姓名,新分班,成绩,性别 from 分班数据表 where 新分班=1 ORDER BY 成绩 DESC",
                  {"张一\t1\t98\t男", "王三\t1\t72.5\t男", "钱五\t1\t5\t男"});
    defineAndRead(
        "NewQry5",
        "select 姓名,新分班,成绩,性别,原学校 from 分班数据表 where 新分班=2 ORDER BY 成绩 DESC");
    check("select * from 分班数据表 where 姓名='张一' and 新分班=1 and 性别='男'");
}

TEST_F(StatementTable, ClassStatistics)
{
    check("select max(成绩) as 最高分,min(成绩) as 最低分 from 分班数据表 ", {"100\t5"});
    const QString schools = ", Count(iif([原学校]='一中',1,null)) as 一中, "
                            "Count(iif([原学校]='二中',1,null)) as 二中, "
                            "Count(iif([原学校]='三中',1,null)) as 三中";
    const QString fixed = "Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,"
                          "Count(iif([性别]='女',1,null)) as 女生,max(成绩) as 最高分,"
                          "min(成绩) as 最低分";
    // Class 1: 98, 72.5, 5 (boys); class 2: 85, 60, 100 (girls). 5 lies below every band;
    // 100 opens the top band 100-110.
    defineAndRead("NewQry3",
                  "select 新分班," + fixed + ",avg(成绩) as 平均分" + bandColumns() + schools +
                      " from 分班数据表  GROUP BY 新分班",
                  {"1\t3\t3\t0\t98\t5\t58.5\t0\t1\t0\t1\t0\t0\t0\t0\t0\t0\t2\t1\t0",
                   "2\t3\t0\t3\t100\t60\t81.6666666666667\t1\t0\t1\t0\t1\t0\t0\t0\t0\t0\t1\t1\t1"});
    check("select " + fixed + ",avg(成绩) as 平均分" + bandColumns() + schools +
              " from 分班数据表 ",
          {"6\t3\t3\t100\t5\t70.0833333333333\t1\t1\t1\t1\t1\t0\t0\t0\t0\t0\t3\t2\t1"});
    defineAndRead("NewQry1",
                  "select 原学校," + fixed + bandColumns() + " from 分班数据表  GROUP BY 原学校");
    check("select " + fixed + bandColumns() + " from 分班数据表 ");
    defineAndRead("NewQry5",
                  "select 姓名,新分班,性别,成绩,原学校,原班级 from 分班数据表 where 新分班=2 ORDER "
                  "BY 成绩 desc",
                  {"孙六\t2\t女\t100\t三中\t1班", "李二\t2\t女\t85\t一中\t2班",
                   "赵四\t2\t女\t60\t二中\t1班"});
}

TEST_F(StatementTable, Arrangement)
{
    check("select count(姓名) from 考生表", {"5"});
    check("select distinct 学校,班级 from 考生表",
          {"一中\t初三(1)班", "一中\t初三(2)班", "二中\t初三(12)班"});
    check("select * from 考场表");
    check("select * from 考生表");
    check("select * from 考生表 ORDER BY 成绩 DESC");
    check("select 学校,班级,班数 from ( select 学校,班级 ,count(班级) as 班数 from 考生表 where "
          "考场=2 "
          "GROUP BY 学校 ,班级) ORDER BY 班数 DESC ",
          {"二中\t初三(12)班\t2", "一中\t初三(1)班\t1"});
    check("select *  from 考生表 where 考场=1");
    check("select *  from 考生表 where 考场=1 ORDER BY 考号");
    check("select *  from 考生表 ORDER BY 考场 ,考号");
    check("select * from 考生表 where 学校='一中' and 班级='初三(1)班' ORDER BY 成绩 DESC ");
    check("select * from 考生表 where 学校='一中' and 班级='初三(1)班' ORDER BY 成绩 ASC");
    check("select * from 考生表 where 学校='一中' and 班级='初三(1)班'");
    check("select * from 考生表 where 学校='一中'");
    check("select *  from 考生表 ORDER BY 考号");
    check("select distinct 考场  from 考生表 ORDER BY 考场", {"1", "2"});
    defineAndRead(
        "NewQry4",
        "select 学校,班级,姓名,考场,考号,座位号,性别 from 考生表 where 考场=1 ORDER BY 考号");
    check("select 考场,考号,座位号  from 考生表 where 考场=2 and 考号=2100004", {"2\t2100004\t2"});
}

TEST_F(StatementTable, Listings)
{
    defineAndRead("NewQry5",
                  "select 姓名,考场,考号,座位号,性别,学校,班级 from 考生表  ORDER BY 考号");
    defineAndRead(
        "NewQry5",
        "select 姓名,考场,考号,座位号,性别,学校,班级 from 考生表 where 考场=2 ORDER BY 考号");
    check("select max(考号),min(考号) from 考生表 where 考场=2", {"2100005\t2100003"});
    defineAndRead("NewQry5",
                  "select 姓名,考场,考号,座位号,性别,学校,班级 from 考生表  ORDER BY 学校,班级");
    defineAndRead("NewQry5",
                  "select 姓名,考场,考号,座位号,性别,学校,班级 from 考生表 where 学校='一中' and "
                  "班级='初三(2)班' ORDER BY 考场,考号",
                  {"乙\t1\t2100002\t2\t女\t一中\t初三(2)班"});
    const QString perSchool =
        ",count( iif([学校]='一中',1,null)) as 一中,count( iif([学校]='二中',1,null)) as 二中";
    defineAndRead("NewQry3",
                  "select 考场 ,count(姓名) as 人数" + perSchool +
                      " from 考生表  GROUP BY 考场 ORDER BY 考场",
                  {"1\t2\t2\t0", "2\t3\t1\t2"});
    check("select count(姓名) as 人数" + perSchool + " from 考生表", {"5\t3\t2"});
    check("select distinct 班级 from 考生表 where 学校='一中'", {"初三(1)班", "初三(2)班"});
    const QString perClass = ",count(iif([班级]='初三(1)班',1,null)) as 第1班,"
                             "count(iif([班级]='初三(2)班',1,null)) as 第2班";
    defineAndRead("NewQry3",
                  "select 考场 ,count([姓名]) as 人数" + perClass +
                      " from 考生表 where 学校='一中' GROUP BY 考场 ORDER BY 考场",
                  {"1\t2\t1\t1", "2\t1\t1\t0"});
    check("select count([姓名]) as 人数" + perClass + " from 考生表 where 学校='一中'",
          {"3\t2\t1"});
    defineAndRead(
        "NewQry6",
        "select 考场 ,min(考号) as 首考号 ,max(考号) as 尾考号,count(考号) as 人数 from 考生表  "
        "GROUP BY 考场 ORDER BY 考场",
        {"1\t2100001\t2100002\t2", "2\t2100003\t2100005\t3"});
    check("select 考场号,考场地点 from 考场表 ORDER BY 考场号", {"1\t一楼", "2\t二楼"});
    check("select * from 考生表  ORDER BY 考号");
    defineAndRead(
        "NewQry5",
        "select 学校,班级,Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,"
        "Count(iif([性别]='女',1,null)) as 女生  from 考生表  GROUP BY 学校,班级",
        {"一中\t初三(1)班\t2\t1\t1", "一中\t初三(2)班\t1\t0\t1", "二中\t初三(12)班\t2\t2\t0"});
    defineAndRead("NewQry5",
                  "select 学校,Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,"
                  "Count(iif([性别]='女',1,null)) as 女生  from 考生表  GROUP BY 学校");
    check("select Count([姓名]) as 学生数,Count(iif([性别]='男',1,null)) as 男生,"
          "Count(iif([性别]='女',1,null)) as 女生  from 考生表",
          {"5\t3\t2"});
}

TEST_F(StatementTable, TicketsLabelsAndScoreReport)
{
    check("select 姓名,考号,座位号,考场,性别,学校,班级,照片  from 考生表 where 学校='一中'and "
          "班级='初三(1)班' ORDER BY 考号",
          {"甲\t2100001\t1\t1\t男\t一中\t初三(1)班\tp1",
           "丙\t2100003\t1\t2\t女\t一中\t初三(1)班\tp3"});
    check("select 姓名,考号,座位号,考场,性别,学校,班级,照片   from 考生表 where 考场=1 ORDER BY "
          "考号");
    check("select distinct 学校  from 考生表 ORDER BY 学校");
    check("select distinct 学校,班级  from 考生表 where 学校='一中' ORDER BY 学校");
    check("select 姓名,考号,考场,座位号,性别,学校,班级  from 考生表 ORDER BY 学校");
    check("select min(座位号),max(座位号) from 考生表  where 考场=2", {"1\t3"});
    check("select min(考号),max(考号) from 考生表  where 考场=1", {"2100001\t2100002"});
    // Score report: per school the rows, the non-empty and the empty scores of each subject.
    check("select 学校, Count(*),count([语文]) ,count(*)-count([语文]),count([数学]) "
          ",count(*)-count([数学]) from 成绩表   GROUP BY 学校 ORDER BY 学校",
          {"一中\t2\t2\t0\t1\t1", "二中\t1\t0\t1\t1\t0"});
    // The same teacher in two classes counts once.
    check("select 学校,count(语文) as 教数 from (select DISTINCT 语文 ,学校 from 教师表) group by "
          "学校 "
          "ORDER BY 学校 ",
          {"一中\t1", "二中\t1"});
    check("select 学校,count(数学) as 教数 from (select DISTINCT 数学 ,学校 from 教师表) group by "
          "学校 "
          "ORDER BY 学校 ",
          {"一中\t2", "二中\t1"});
    check("select 学校,count(班级) from 教师表 group by 学校 ORDER BY 学校",
          {"一中\t2", "二中\t1"});
    check("select count(语文) as 语数 from (select DISTINCT 语文 ,学校 from 教师表)", {"2"});
}
