#include "db/runlog.h"
#include "db/transaction.h"

#include "support/tempdata.h"

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

RunRecord at(const QString &job, int hour, const QString &file = QString())
{
    return {job, QDateTime(QDate(2026, 12, 7), QTime(hour, 30)), file, QStringLiteral("班数 12")};
}

} // namespace

TEST(RunLog, EachJobKeepsItsLastRunAndTheLatestComesFirst)
{
    TempData data;
    Result<std::optional<RunRecord>> none = RunLog::last(data.db, RunLog::division());
    ASSERT_TRUE(none.isOk());
    EXPECT_FALSE(none->has_value());
    ASSERT_TRUE(RunLog::record(data.db, at(RunLog::divisionImport(), 9, "分班'数据.xlsx")).isOk());
    ASSERT_TRUE(RunLog::record(data.db, at(RunLog::division(), 10)).isOk());
    ASSERT_TRUE(RunLog::record(data.db, at(RunLog::divisionImport(), 11, "新.xlsx")).isOk());

    const Result<std::vector<RunRecord>> all = RunLog::all(data.db);
    ASSERT_TRUE(all.isOk());
    ASSERT_EQ(all->size(), 2u);
    EXPECT_EQ(all->at(0).job, RunLog::divisionImport());
    EXPECT_EQ(all->at(0).file, QStringLiteral("新.xlsx"));
    EXPECT_EQ(all->at(0).when, QDateTime(QDate(2026, 12, 7), QTime(11, 30)));
    EXPECT_EQ(all->at(1).job, RunLog::division());
    EXPECT_EQ(RunLog::last(data.db, RunLog::division()).value()->settings,
              QStringLiteral("班数 12"));
}

// A job that fails after recording its run leaves the record of the run before it.
TEST(RunLog, ARecordInsideAFailedJobIsUndone)
{
    TempData data;
    ASSERT_TRUE(RunLog::record(data.db, at(RunLog::arrangement(), 8)).isOk());
    {
        Transaction job(data.db);
        ASSERT_TRUE(RunLog::record(data.db, at(RunLog::arrangement(), 9)).isOk());
    }
    EXPECT_EQ(RunLog::last(data.db, RunLog::arrangement()).value()->when.time(), QTime(8, 30));
}

// A transaction begun inside another is a savepoint: undone alone, or undone with the outer one
// even after it committed.
TEST(Transaction, InsideAnotherItIsKeptOrUndoneWithIt)
{
    TempData data;
    data.exec({"create table t (x integer)"});
    {
        Transaction outer(data.db);
        data.exec({"insert into t values (1)"});
        {
            Transaction inner(data.db);
            data.exec({"insert into t values (2)"});
        } // not committed: only its row goes
        {
            Transaction inner(data.db);
            data.exec({"insert into t values (3)"});
            ASSERT_TRUE(inner.commit().isOk());
        }
        EXPECT_TRUE(data.db.inTransaction());
        ASSERT_TRUE(outer.commit().isOk());
    }
    EXPECT_EQ(data.rows("select x from t order by x"), (QStringList{"1", "3"}));
    {
        Transaction outer(data.db);
        Transaction inner(data.db);
        data.exec({"insert into t values (4)"});
        ASSERT_TRUE(inner.commit().isOk());
    } // the outer one was not committed
    EXPECT_EQ(data.rows("select x from t order by x"), (QStringList{"1", "3"}));
    EXPECT_FALSE(data.db.inTransaction());
}
