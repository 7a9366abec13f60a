#include "db/database.h"
#include "core/heldfiles.h"
#include "db/rowcursor.h"
#include "db/savedqueries.h"
#include "db/transaction.h"
#include "support/tempdata.h"

#include <QCryptographicHash>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace fenpai;
using fenpai::test::TempData;

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace

TEST(Database, ReportsErrorKinds)
{
    TempData t;
    t.exec({"CREATE TABLE 分班数据表 (姓名 text (20), 成绩 double)"});
    // SQLite's refusals carry its result code; the message says what was wrong.
    // The user reads our words; SQLite's English goes to the log only.
    const Status error = t.db.exec("select 不存在 from 分班数据表");
    EXPECT_EQ(error.kind(), Status::Kind::Sql);
    EXPECT_EQ(error.sqliteCode(), 1); // SQLITE_ERROR
    EXPECT_EQ(error.message(), "数据库无法执行这条语句（数据表、字段或查询有误）");
    EXPECT_EQ(t.db.query("没有的表").status().message(), "找不到数据表 没有的表");
    t.exec({"CREATE TABLE 锁 (a)"});
    Database other;
    ASSERT_TRUE(other.open(t.db.path()).isOk());
    ASSERT_TRUE(other.execNative("PRAGMA busy_timeout = 0").isOk());
    ASSERT_TRUE(t.db.begin().isOk());
    ASSERT_TRUE(t.db.exec("INSERT INTO 锁 VALUES (1)").isOk());
    const Status busy = other.execNative("INSERT INTO 锁 VALUES (2)");
    EXPECT_EQ(busy.sqliteCode() & 0xff, 5); // SQLITE_BUSY
    EXPECT_EQ(busy.message(), "数据库正被其他操作使用，请稍后再试");
    ASSERT_TRUE(t.db.rollback().isOk());
    EXPECT_EQ(t.db.exec("select * from 分班数据表; drop table 分班数据表").kind(),
              Status::Kind::Sql);
    EXPECT_TRUE(t.db.hasTable("分班数据表")) << "a second statement must never run";
    EXPECT_EQ(t.db.query("没有的表").status().kind(), Status::Kind::MissingTable);
}

TEST(Database, RefusesAFileThatIsNotADatabaseAndLeavesItAlone)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("notes.mdb");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("这不是数据库。").repeated(200));
    }
    const QByteArray before = fileHash(path);
    Database db;
    const Status s = db.open(path);
    EXPECT_EQ(s.kind(), Status::Kind::Io);
    EXPECT_EQ(s.sqliteCode() & 0xff, 26); // SQLITE_NOTADB
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(fileHash(path), before);

    // Through the data directory the message names the file, and nothing is created in it.
    QDir(dir.path()).mkpath("suju");
    QFile::copy(path, dir.filePath("suju/sujuf.mdb"));
    Database db2;
    const Status s2 = DataDirectory(dir.path()).openDatabase(db2);
    EXPECT_FALSE(s2.isOk());
    EXPECT_TRUE(s2.message().contains("sujuf.mdb"));
    EXPECT_EQ(fileHash(dir.filePath("suju/sujuf.mdb")), before);
}

TEST(Database, BindsParametersThatHoldQuotesBracketsAndSemicolons)
{
    TempData t;
    t.exec({"CREATE TABLE 考生表 (学校 text (50), 姓名 text (50))"});
    const QStringList names = {"O'Brien", "一中]; DROP TABLE 考生表; --", "a'; --", "[x]"};
    for (const QString &name : names) {
        Result<Statement> ins = t.db.prepare("INSERT INTO 考生表 (学校,姓名) VALUES (?,?)");
        ASSERT_TRUE(ins.isOk());
        EXPECT_TRUE(ins->bind(1, name).bind(2, name).exec().isOk());
    }
    for (const QString &name : names) {
        Result<QVariant> v = t.db.scalar("select 姓名 from 考生表 where 学校=?", {name});
        ASSERT_TRUE(v.isOk());
        EXPECT_EQ(v->toString(), name);
    }
    EXPECT_TRUE(t.db.hasTable("考生表"));
}

TEST(Database, ReportsFieldTypesThroughTablesViewsAndExpressions)
{
    TempData t;
    t.exec({"CREATE TABLE 分班数据表 (学号 double, 姓名 text (20), 成绩 double, 新分班 SHORT)",
            "INSERT INTO 分班数据表 VALUES (1, '甲', 95, 1)",
            "INSERT INTO 分班数据表 VALUES (2, '乙', NULL, 2)"});
    ASSERT_TRUE(SavedQueries::replace(t.db, "NewQry5",
                                      "select 姓名,成绩,avg(成绩) as 平均分,count(*) as 人数, "
                                      "max(成绩) as 最高分 from 分班数据表 group by 姓名")
                    .isOk());
    Result<Query> q = t.db.query("NewQry5");
    ASSERT_TRUE(q.isOk());
    ASSERT_EQ(q->fieldCount(), 5);
    EXPECT_EQ(q->fieldType(0), Query::FieldType::Text);
    EXPECT_TRUE(q->isDouble(1)) << "a REAL column read through a view";
    EXPECT_TRUE(q->isDouble(2)) << "an expression takes the type of its first value";
    EXPECT_EQ(q->fieldType(3), Query::FieldType::Integer);
    EXPECT_TRUE(q->isDouble(4));
    // Reading ahead for types must not lose rows.
    EXPECT_EQ(q->value(0).toString(), "乙");
    EXPECT_TRUE(q->next());
    EXPECT_EQ(q->value("姓名").toString(), "甲");
    EXPECT_FALSE(q->next());
    EXPECT_TRUE(q->atEnd());
    EXPECT_FALSE(q->isEmpty());

    Result<Query> empty = t.db.query("select * from 分班数据表 where 新分班=9");
    ASSERT_TRUE(empty.isOk());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_TRUE(empty->isDouble(2)) << "declared types need no row";
}

TEST(Database, ConcatenatesSkippingNullsAndPrintingNumbersAsDocumentsDo)
{
    TempData t;
    const struct
    {
        const char *sql;
        QVariant value;
    } cases[] = {
        {"select 85.5 & Chr(9) & 95.0", QVariant(QStringLiteral("85.5\t95"))},
        {"select NULL & 'a'", QVariant(QStringLiteral("a"))},
        {"select NULL & NULL", QVariant()},
        {"select '' & NULL", QVariant(QStringLiteral(""))},
    };
    for (const auto &c : cases) {
        Result<QVariant> v = t.db.scalar(QString::fromUtf8(c.sql));
        ASSERT_TRUE(v.isOk()) << c.sql;
        EXPECT_EQ(v->isNull(), c.value.isNull()) << c.sql;
        EXPECT_EQ(v->toString(), c.value.toString()) << c.sql;
    }
    // A saved query of a file written by version 0.1 names the function "jet_cat".
    ASSERT_TRUE(t.db.execNative("CREATE VIEW 旧查询 AS SELECT jet_cat(NULL, 95.0, '分')").isOk());
    Result<QVariant> old = t.db.scalar("select * from 旧查询");
    ASSERT_TRUE(old.isOk());
    EXPECT_EQ(old->toString(), QStringLiteral("95分"));
}

// A replaced query is stored for good and a broken definition leaves the previous one. A file
// that cannot be written keeps its saved query for the connection alone; a stored definition
// made later is not hidden behind it.
TEST(Database, SavedQueriesReplaceCleanlyAndOfAReadOnlyFileLiveWithTheConnection)
{
    TempData t;
    t.exec({"CREATE TABLE 考生表 (姓名 text (20), 考场 double)",
            "INSERT INTO 考生表 VALUES ('甲', 1)", "INSERT INTO 考生表 VALUES ('乙', 2)"});
    ASSERT_TRUE(SavedQueries::replace(t.db, "NewQry1", "select * from 考生表 where 考场=2").isOk());
    ASSERT_TRUE(SavedQueries::replace(t.db, "NewQry1", "select * from 考生表 where 考场=1").isOk());
    EXPECT_FALSE(SavedQueries::replace(t.db, "NewQry1", "select 无此字段 from 考生表").isOk());
    t.db.close();

    Database reader;
    ASSERT_TRUE(reader.open(t.directory.databasePath(), {.readOnly = true}).isOk());
    EXPECT_TRUE(reader.isReadOnly());
    for (const char *name : {"NewQry1", "NewQry6"}) {
        ASSERT_TRUE(SavedQueries::replace(reader, name, "select * from 考生表 where 考场=2").isOk())
            << name;
        EXPECT_EQ(reader.scalar(QString("select 姓名 from ") + name)->toString(), "乙");
        EXPECT_TRUE(reader.hasRelation(name));
    }
    EXPECT_EQ(reader.views(), (QStringList{"NewQry1", "NewQry6"}));
    EXPECT_FALSE(SavedQueries::replace(reader, "NewQry6", "select 无此字段 from 考生表").isOk());
    reader.close();

    Database db;
    ASSERT_TRUE(t.directory.openDatabase(db).isOk());
    EXPECT_EQ(db.views(), QStringList{"NewQry1"});
    EXPECT_EQ(db.scalar("select 姓名 from NewQry1")->toString(), "甲");
    ASSERT_TRUE(db.execNative("CREATE TEMP VIEW NewQry1 AS SELECT '临时' AS 姓名").isOk());
    ASSERT_TRUE(SavedQueries::replace(db, "NewQry1", "select * from 考生表 where 考场=2").isOk());
    EXPECT_EQ(db.scalar("select 姓名 from NewQry1")->toString(), "乙");
}

TEST(Database, TransactionRollsBackUnlessCommitted)
{
    TempData t;
    t.exec({"CREATE TABLE t (a double)", "INSERT INTO t VALUES (1)"});
    {
        Transaction tx(t.db);
        t.exec({"UPDATE t SET a = 2"});
    }
    EXPECT_EQ(t.db.scalar("select a from t")->toDouble(), 1.0);
    {
        Transaction tx(t.db);
        t.exec({"UPDATE t SET a = 3"});
        EXPECT_TRUE(tx.commit().isOk());
    }
    EXPECT_EQ(t.db.scalar("select a from t")->toDouble(), 3.0);
}

// The open file is held against outputs for as long as a connection, moved or not, has it.
TEST(Database, HoldsItsFileWhileOpen)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.db");
    Database db;
    ASSERT_TRUE(db.open(path).isOk());
    EXPECT_TRUE(HeldFiles::isHeld(path));
    Database moved = std::move(db);
    db.close(); // the moved-from connection has nothing to let go
    EXPECT_TRUE(HeldFiles::isHeld(path));
    moved.close();
    EXPECT_FALSE(HeldFiles::isHeld(path));
}

TEST(RowCursor, ReadsAndWritesEveryTypeWithoutConversion)
{
    TempData t;
    t.exec({"CREATE TABLE 值 (a, b, c, d, e)"});
    Result<RowCursor> insert = RowCursor::prepare(t.db, "INSERT INTO 值 VALUES (?, ?, ?, ?, ?)");
    ASSERT_TRUE(insert.isOk());
    insert->bindNull(1);
    insert->bindInteger(2, 9223372036854775807LL);
    insert->bindReal(3, 85.5);
    insert->bindText(4, QStringLiteral("城关第一小学").toUtf8());
    insert->bindBlob(5, QByteArray("\0\1", 2));
    ASSERT_TRUE(insert->run().isOk());
    // Ready for the next row straight away.
    insert->bindText(4, "第二行");
    ASSERT_TRUE(insert->run().isOk());

    Result<RowCursor> rows =
        RowCursor::prepare(t.db, "SELECT a, b, c, d, e FROM 值 ORDER BY rowid");
    ASSERT_TRUE(rows.isOk());
    Result<bool> first = rows->next();
    ASSERT_TRUE(first.isOk() && *first);
    EXPECT_EQ(rows->type(0), RowCursor::Type::Null);
    EXPECT_EQ(rows->type(1), RowCursor::Type::Integer);
    EXPECT_EQ(rows->integer(1), 9223372036854775807LL) << "64-bit integers stay exact";
    EXPECT_EQ(rows->type(2), RowCursor::Type::Real);
    EXPECT_EQ(rows->real(2), 85.5);
    EXPECT_EQ(QString::fromUtf8(rows->text(3)), QStringLiteral("城关第一小学"));
    EXPECT_EQ(rows->blob(4), QByteArray("\0\1", 2));
    Result<bool> second = rows->next();
    ASSERT_TRUE(second.isOk() && *second);
    EXPECT_EQ(QString::fromUtf8(rows->text(3)), QStringLiteral("第二行"));
    Result<bool> end = rows->next();
    ASSERT_TRUE(end.isOk());
    EXPECT_FALSE(*end);

    // Errors are statuses: a constraint at run time, a second statement at prepare time.
    t.exec({"CREATE TABLE 唯一 (a UNIQUE)", "INSERT INTO 唯一 VALUES (1)"});
    Result<RowCursor> duplicate = RowCursor::prepare(t.db, "INSERT INTO 唯一 VALUES (?)");
    ASSERT_TRUE(duplicate.isOk());
    duplicate->bindInteger(1, 1);
    EXPECT_EQ(duplicate->run().kind(), Status::Kind::Constraint);
    EXPECT_FALSE(RowCursor::prepare(t.db, "SELECT 1; DROP TABLE 值").isOk());
    EXPECT_TRUE(t.db.hasTable("值"));
}
