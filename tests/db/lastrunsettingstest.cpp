#include "db/lastrunsettings.h"

#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

TEST(LastRunSettings, EachJobKeepsOnlyItsLastValues)
{
    TempData data;
    // Nothing stored yet: no table, no values, and reading creates nothing.
    Result<LastRunSettings::Values> none = LastRunSettings::read(data.db, "分班");
    ASSERT_TRUE(none.isOk());
    EXPECT_TRUE(none->isEmpty());
    EXPECT_FALSE(data.db.hasTable(LastRunSettings::tableName()));

    ASSERT_TRUE(LastRunSettings::write(data.db, "分班", {{"方式", "均衡"}, {"班数", "12"}}).isOk());
    ASSERT_TRUE(LastRunSettings::write(data.db, "编排", {{"前缀", "2'10"}}).isOk());
    ASSERT_TRUE(LastRunSettings::write(data.db, "分班", {{"方式", "分层"}}).isOk());
    EXPECT_EQ(LastRunSettings::read(data.db, "分班").value(),
              (LastRunSettings::Values{{"方式", "分层"}}));
    EXPECT_EQ(LastRunSettings::read(data.db, "编排").value(),
              (LastRunSettings::Values{{"前缀", "2'10"}}));
}

TEST(LastRunSettings, AWriteInsideAFailedTransactionLeavesTheEarlierValues)
{
    TempData data;
    ASSERT_TRUE(LastRunSettings::write(data.db, "编排", {{"考号方式", "起始考号+1"}}).isOk());
    ASSERT_TRUE(data.db.begin().isOk());
    ASSERT_TRUE(LastRunSettings::write(data.db, "编排", {{"考号方式", "考场号座位号"}}).isOk());
    ASSERT_TRUE(data.db.rollback().isOk());
    EXPECT_EQ(LastRunSettings::read(data.db, "编排").value(),
              (LastRunSettings::Values{{"考号方式", "起始考号+1"}}));
}
