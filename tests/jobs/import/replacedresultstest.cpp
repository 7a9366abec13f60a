#include "jobs/import/replacedresults.h"

#include "jobs/import/preparedimport.h"
#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

// A class or room counts as set unless it is null, blank or 0, whatever type the column has.
TEST(ReplacedResults, CountsOnlyRowsWithAClassOrARoom)
{
    TempData t;
    t.exec(
        {"CREATE TABLE 分班数据表 (姓名 text, 新分班 text)",
         "INSERT INTO 分班数据表 VALUES ('甲', NULL)", "INSERT INTO 分班数据表 VALUES ('乙', '')",
         "INSERT INTO 分班数据表 VALUES ('丙', '  ')", "INSERT INTO 分班数据表 VALUES ('丁', '0')",
         "INSERT INTO 分班数据表 VALUES ('戊', '3')",
         "INSERT INTO 分班数据表 VALUES ('己', '初三(10)班')",
         "CREATE TABLE 考生表 (姓名 text, 考场 double)", "INSERT INTO 考生表 VALUES ('甲', 0)",
         "INSERT INTO 考生表 VALUES ('乙', 0.0)", "INSERT INTO 考生表 VALUES ('丙', 2)",
         "CREATE TABLE 考场表 (考场号 double, 人数 double, 考场 double)",
         "INSERT INTO 考场表 VALUES (1, 30, 1)"});
    const Result<std::vector<ReplacedResult>> found =
        ReplacedResults::find(t.db, {"分班数据表", "考生表", "考场表", "成绩表"});
    ASSERT_TRUE(found.isOk()) << found.status().message().toStdString();
    ASSERT_EQ(found->size(), 2u) << "the room table and the scores hold no results";
    EXPECT_EQ((*found)[0].table, "分班数据表");
    EXPECT_EQ((*found)[0].rows, 2);
    EXPECT_EQ((*found)[0].question(),
              "分班数据表中 2 名学生已分班，导入后分班结果将被替换。继续吗？");
    EXPECT_EQ((*found)[0].notice(), "已替换：分班数据表中 2 名学生的分班结果。");
    EXPECT_EQ((*found)[1].rows, 1);
    EXPECT_EQ((*found)[1].question(),
              "考生表中 1 名考生已编排考场，导入后编排结果将被替换。继续吗？");
    EXPECT_EQ((*found)[1].notice(), "已替换：考生表中 1 名考生的考场编排结果。");
}

TEST(ReplacedResults, NothingWithoutTheTableTheColumnOrAResult)
{
    TempData t;
    EXPECT_TRUE(ReplacedResults::find(t.db, {"分班数据表", "考生表"})->empty());
    t.exec({"CREATE TABLE 分班数据表 (姓名 text)", "INSERT INTO 分班数据表 VALUES ('甲')",
            "CREATE TABLE 考生表 (姓名 text, 考场 double)",
            "INSERT INTO 考生表 VALUES ('甲', NULL)"});
    EXPECT_TRUE(ReplacedResults::find(t.db, {"分班数据表", "考生表"})->empty());
}

} // namespace
