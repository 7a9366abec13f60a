#include "support/arrangementdata.h"
#include "support/clirun.h"
#include "support/filesizelimit.h"
#include "support/tempdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using namespace fenpai;

namespace {

class OutputTargetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::createArrangementTables(t.db).isOk());
        ASSERT_TRUE(test::addPupils(t.db, {{"一中", "1班", "甲", 90, 1, 2100001, 1},
                                           {"二中", "2班", "乙", 70, 1, 2100002, 2}})
                        .isOk());
        ASSERT_TRUE(test::addRooms(t.db, {30}).isOk());
        t.db.close();
        database = t.directory.databasePath();
    }

    test::CliOutcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }
    QStringList pupils()
    {
        Database db;
        EXPECT_TRUE(t.directory.openDatabase(db).isOk());
        QStringList names;
        Result<Query> q = db.query("SELECT 姓名 FROM 考生表 ORDER BY rowid");
        for (; q && !q->atEnd(); q->next())
            names.append(q->value(0).toString());
        return names;
    }

    test::TempData t;
    QString database;
};

} // namespace

// Every command that writes a document refuses to write it over the database, whether the path
// names the file itself, a link to it or the file relative to the working folder.
TEST_F(OutputTargetTest, NoOutputReplacesTheDatabase)
{
    const QString link = t.dir.filePath("x.pdf");
    ASSERT_TRUE(QFile::link(database, link));
    // A second name of the same file is the same file.
    ASSERT_EQ(::link(QFile::encodeName(database).constData(),
                     QFile::encodeName(t.dir.filePath("second.mdb")).constData()),
              0);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(t.dir.path()));
    const QStringList formats = {"csv", "xlsx", "html", "pdf"};
    std::vector<QStringList> commands;
    for (const QString &target :
         {database, QString("suju/sujuf.mdb"), QString("x.pdf"), QString("second.mdb")}) {
        for (const QString &format : formats) {
            commands.push_back({"show", "考生表", "--format", format, "-o", target});
            commands.push_back({"report", "room-list", "1", "--format", format, "-o", target});
            if (format != "csv")
                commands.push_back({"seats", "--room", "1", "--format", format, "-o", target});
        }
    }
    for (const QString &target : {link, QString("x.pdf"), QString("./suju/../x.pdf")}) {
        commands.push_back({"labels", "--room", "1", "--seat", "-o", target});
        commands.push_back({"tickets", "--room", "1", "-o", target});
    }
    for (const QStringList &args : commands) {
        const test::CliOutcome r = run(args);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("不能把输出写到数据库文件上"))
            << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
    ASSERT_TRUE(QDir::setCurrent(before));
    EXPECT_EQ(pupils(), (QStringList{"甲", "乙"}));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

// A CSV export onto a disk that fills up fails, says why, and leaves the older file whole.
TEST_F(OutputTargetTest, ACsvOntoAFullDiskKeepsTheOldFile)
{
    std::vector<test::Pupil> many;
    for (int i = 0; i < 300; ++i)
        many.push_back({"一中", "1班", QString("学生%1").arg(i), 60, 1, 2100100 + i, i + 1});
    {
        Database db;
        ASSERT_TRUE(t.directory.openDatabase(db).isOk());
        ASSERT_TRUE(test::addPupils(db, many).isOk());
    }
    const QString csv = t.dir.filePath("out.csv");
    QFile old(csv);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old,good\n");
    old.close();
    test::CliOutcome r;
    {
        test::FileSizeLimit full(4096);
        r = run({"show", "考生表", "-o", csv});
    }
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err,
              "无法写入 " + csv + "：文件超过了允许的大小，无法写完文件，原来的文件未改动\n");
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old,good\n");
    EXPECT_EQ(QDir(t.dir.path()).entryList({"out.csv*"}, QDir::Files), QStringList{"out.csv"});
}
