#include "cli/cli.h"
#include "cli/documentoutput.h"
#include "grid/grid.h"
#include "support/clirun.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

using fenpai::Cli;

namespace {

using Outcome = fenpai::test::CliOutcome;

Outcome run(const QStringList &args)
{
    return fenpai::test::runCli(args);
}

} // namespace

TEST(Cli, RepairThenListTheSettingRows)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    EXPECT_EQ(run({"--data-dir", d, "repair"}).status, 0);
    const Outcome r = run({"--data-dir", d, "sql", "select 项目,数值,类别 from xtsztable"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.count(u'\n'), 7) << r.out.toStdString();
}

// The dialect itself is the database's tests' business; here its rows come out as CSV.
TEST(Cli, SqlPrintsCsv)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    for (const char *sql :
         {"CREATE TABLE 分班数据表 (姓名 text (20),性别 text (2),成绩 "
          "double,原学校 text (20),新分班 double)",
          "INSERT INTO 分班数据表 VALUES ('甲','男',95,'一中',1)",
          "INSERT INTO 分班数据表 VALUES ('乙,\"小\"','女',85.5,'二中',2)",
          // A line break or a carriage return alone also ends a row for a reader.
          "INSERT INTO 分班数据表 VALUES ('丙\n丁','男',70,'一中',1)",
          "INSERT INTO 分班数据表 VALUES ('戊\r己','女',60,'二中',2)",
          // A NUL would end the field for many readers: it is not written.
          "INSERT INTO 分班数据表 VALUES ('庚' || char(0) || '辛','男',50,'一中',1)"}) {
        const Outcome r = run({"--data-dir", d, "sql", QString::fromUtf8(sql)});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const Outcome names = run({"--data-dir", d, "sql", "select 姓名,成绩 from 分班数据表"});
    EXPECT_EQ(names.out, "姓名,成绩\n甲,95\n\"乙,\"\"小\"\"\",85.5\n\"丙\n丁\",70\n"
                         "\"戊\r己\",60\n庚辛,50\n");

    const Outcome tables = run({"--data-dir", d, "tables"});
    EXPECT_TRUE(tables.out.contains("分班数据表\t表"));
}

// A document's trailing blank row is for typing and stays out of the file; a last row with
// data is written like any other.
TEST(Cli, CsvKeepsALastRowThatHoldsData)
{
    QTemporaryDir dir;
    fenpai::Grid grid;
    grid.setRows(1);
    grid.setCols(3);
    grid.setCellText(0, 1, "姓名");
    grid.setCellText(0, 2, "成绩");
    grid.addItem("甲\t90");
    grid.addItem("乙\t80");
    const QString path = dir.filePath("a.csv");
    auto written = [&] {
        EXPECT_TRUE(fenpai::DocumentOutput::write(grid, "csv", path).isOk());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    };
    EXPECT_EQ(written(), "姓名,成绩\n甲,90\n乙,80\n");
    grid.addItem(QString());
    EXPECT_EQ(written(), "姓名,成绩\n甲,90\n乙,80\n");
}

TEST(Cli, FailuresExitWithAMessage)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    Outcome r = run({"--data-dir", d, "sql", "selec 1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("SQL 语句有误"));
    r = run({"--data-dir", d, "sql", "select * from [ustarv] join \"另一个 表\" on 1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "找不到数据表 另一个 表\n");
    // A system's reason comes in words, not in its English.
    r = run({"--data-dir", d, "show", "ustarv", "--page-setup", d, "-o", d + "/x.csv"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法读取页面设置文件“" + d + "”：这是一个文件夹，不是文件\n");
    // Nesting deeper than SQLite takes is its syntax error, not a crash.
    for (const QString &tail : {QString(100000, u')'), QString()}) {
        r = run({"--data-dir", d, "sql", "select " + QString(100000, u'(') + "1" + tail});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains("SQL 语句有误")) << r.err.toStdString();
    }

    QDir(d).mkpath("suju");
    QFile f(d + "/suju/sujuf.mdb");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    r = run({"--data-dir", d, "tables"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("sujuf.mdb"));
    EXPECT_EQ(QFileInfo(d + "/suju/sujuf.mdb").size(), 8192);
}

TEST(Cli, UsageAndHelp)
{
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"nosuchcommand"}).status, 2);
    EXPECT_TRUE(Cli::wantsCommandLine({"sql", "x"}));
    EXPECT_FALSE(Cli::wantsCommandLine({}));
}

TEST(Cli, PasswdChangesAPasswordFromStandardInput)
{
    QTemporaryDir dir;
    const QString d = dir.path();
    auto passwd = [&](const QString &input) {
        return fenpai::test::runCli({"--data-dir", d, "passwd", "admin"}, input);
    };
    Outcome r = passwd("wrong\n新的\n新的\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("旧密码错误!"));
    r = passwd("admin\n新的\n新的\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("修改成功!"));
    EXPECT_FALSE(r.out.contains("新的")) << "passwords are never echoed";
    EXPECT_FALSE(r.err.contains("新的"));
    r = passwd("新的\nabc\nabc\n");
    EXPECT_EQ(r.status, 0) << "the new password is the one that counts now";
}

// A data directory given empty or twice is refused rather than quietly replaced by another.
TEST(Cli, TheDataDirectoryIsGivenOnceAndNotEmpty)
{
    const struct
    {
        QStringList args;
        const char *refusal;
    } cases[] = {
        {{"--data-dir", "", "tables"}, "--data-dir 的目录不能为空"},
        {{"--data-dir=", "tables"}, "--data-dir 的目录不能为空"},
        {{"--data-dir", " ", "tables"}, "--data-dir 的目录不能为空"},
        {{"--data-dir", "/a", "--data-dir=/b", "tables"}, "--data-dir 只能给一次"},
        {{"demo", "--small"}, "缺少参数 DIR"},
    };
    for (const auto &c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.section('\n', 0, 0), QString::fromUtf8(c.refusal))
            << c.args.join(' ').toStdString();
    }
}

// The program's English log stays off the command line's stderr unless FENPAI_DEBUG asks for it.
TEST(Cli, TheLogIsQuietUnlessAskedFor)
{
    QTemporaryDir dir;
    const auto stderrOf = [&](const char *message) {
        const QString path = dir.filePath("stderr.txt");
        std::fflush(stderr);
        const int saved = ::dup(2);
        FILE *file = std::fopen(QFile::encodeName(path).constData(), "w");
        ::dup2(::fileno(file), 2);
        qWarning("%s", message);
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        std::fclose(file);
        QFile written(path);
        return written.open(QIODevice::ReadOnly) ? QString::fromUtf8(written.readAll()) : "?";
    };
    Cli::quietenLog();
    EXPECT_EQ(stderrOf("SQLite 1: cannot rollback - no transaction is active"), "");
    qputenv("FENPAI_DEBUG", "1");
    EXPECT_TRUE(stderrOf("shown when debugging").contains("shown when debugging"));
    qunsetenv("FENPAI_DEBUG");
    qInstallMessageHandler(nullptr);
}
