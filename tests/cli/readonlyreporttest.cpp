#include "jobs/reports/reportcatalogue.h"
#include "support/clirun.h"
#include "support/tempdata.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

using namespace fenpai;

namespace {

QByteArray digest(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class ReadOnlyReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.db.close();
        const QString dir = t.dir.path();
        // The manual's templates: every field there (no warning), arranged and divided.
        ASSERT_EQ(run({"demo", "--small", dir}).status, 0);
        for (const auto &[kind, book] :
             {std::pair{"division", "分班数据.xlsx"}, std::pair{"arrangement", "考场编排数据.xlsx"},
              std::pair{"scores", "成绩数据.xlsx"}}) {
            const test::CliOutcome r = run({"import", kind, dir + "/" + book});
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
            EXPECT_EQ(r.err, "") << kind;
        }
        ASSERT_EQ(run({"divide", "--classes", "2"}).status, 0);
        ASSERT_EQ(run({"arrange", "--mode", "2"}).status, 0);
        const QStringList first = run({"sql", "select 学校, 班级 from 考生表 limit 1"})
                                      .out.split('\n')
                                      .value(1)
                                      .split(',');
        ASSERT_EQ(first.size(), 2);
        arguments = {{ReportCatalogue::Parameter::Room, "1"},
                     {ReportCatalogue::Parameter::Class, first[0] + "/" + first[1]},
                     {ReportCatalogue::Parameter::School, first[0]},
                     {ReportCatalogue::Parameter::NewClass, "1"}};
    }

    test::CliOutcome run(const QStringList &args)
    {
        return test::runCli(QStringList{"--data-dir", t.dir.path()} + args);
    }
    QStringList report(const ReportCatalogue::Entry &e, const QString &output)
    {
        QStringList args{"report", e.name};
        if (e.parameter != ReportCatalogue::Parameter::None)
            args.append(arguments.value(e.parameter));
        return args + QStringList{"-o", output};
    }

    test::TempData t;
    QHash<ReportCatalogue::Parameter, QString> arguments;
};

} // namespace

// Marked read-only, the data directory still gives every report, as it gives `show`; the file
// stays byte for byte what it was.
TEST_F(ReadOnlyReportTest, EveryReportWorksOnAReadOnlyDataDirectory)
{
    const QString database = t.directory.databasePath();
    const QString suju = t.dir.filePath("suju");
    const QString out = t.dir.filePath("out.csv");
    ASSERT_TRUE(QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    ASSERT_TRUE(QFile::setPermissions(suju, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const QByteArray before = digest(database);
    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries()) {
        QFile::remove(out);
        const test::CliOutcome r = run(report(e, out));
        EXPECT_EQ(r.status, 0) << e.name.toStdString() << ": " << r.err.toStdString();
        EXPECT_GT(QFileInfo(out).size(), 0) << e.name.toStdString();
    }
    EXPECT_EQ(run({"show", "考生表", "-o", out}).status, 0);
    // Changes are refused, in words.
    const test::CliOutcome divided = run({"divide", "--classes", "3"});
    EXPECT_EQ(divided.status, 1);
    EXPECT_TRUE(divided.err.contains("数据库文件是只读的")) << divided.err.toStdString();
    QFile::setPermissions(suju,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QFile::setPermissions(database, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(digest(database), before);
}

// A report whose output cannot be written leaves its saved query, and the whole file, as they
// were; written, it keeps the query it made.
TEST_F(ReadOnlyReportTest, AReportWhoseOutputFailsChangesNothing)
{
    const QString database = t.directory.databasePath();
    ASSERT_EQ(run({"sql", "CREATE VIEW NewQry5 AS SELECT 1 AS 旧"}).status, 0);
    ASSERT_EQ(run({"sql", "CREATE VIEW NewQry3 AS SELECT 1 AS 旧"}).status, 0);
    const QByteArray before = digest(database);
    const QString folder = t.dir.filePath("a folder");
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const ReportCatalogue::Entry &e : ReportCatalogue::entries()) {
        const test::CliOutcome r = run(report(e, folder));
        EXPECT_EQ(r.status, 1) << e.name.toStdString();
        EXPECT_TRUE(r.err.contains("这是一个文件夹")) << r.err.toStdString();
    }
    EXPECT_EQ(digest(database), before);

    ASSERT_EQ(run({"report", "room-list", "1", "-o", t.dir.filePath("out.csv")}).status, 0);
    EXPECT_EQ(run({"sql", "select * from NewQry5 limit 1"}).out.section('\n', 0, 0),
              "姓名,考场,考号,座位号,性别,学校,班级");
}
