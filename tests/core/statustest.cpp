#include "core/status.h"
#include "core/result.h"

#include <gtest/gtest.h>

using namespace fenpai;

// SQLite's failures get their kind in front; the jobs' own messages already name the table
// ("找不到数据表 考生表，请先导入…") and must not be said twice.
TEST(Status, DescribeNamesTheKindOfSQLitesFailures)
{
    using K = Status::Kind;
    const struct
    {
        K kind;
        QString expected;
    } cases[] = {
        {K::Sql, "SQL 语句有误：考场表"},
        {K::Constraint, "数据不符合约束：考场表"},
        // These messages are already the whole sentence the user is shown.
        {K::MissingTable, "考场表"},
        {K::Refused, "考场表"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Status::error(c.kind, "考场表").describe(), c.expected) << int(c.kind);
    EXPECT_EQ(Status::ok().describe(), QString());
    EXPECT_EQ(Status::sqlite(K::Sql, 1, "near x").withContext("导入：").describe(),
              "SQL 语句有误：导入：near x");
}

// A Result made from an ok status would have neither a value nor a reason: a caller's fault,
// stopped in debug builds and never passed on as a success in others.
TEST(Result, RefusesAnOkStatus)
{
#ifndef QT_NO_DEBUG
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH((void)Result<int>(Status::ok()), "an ok Status without a value");
#else
    const Result<int> r = Status::ok();
    EXPECT_FALSE(r.isOk());
    EXPECT_FALSE(r.status().isOk());
    EXPECT_FALSE(r.status().message().isEmpty());
#endif
}
